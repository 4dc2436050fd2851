// SPDX-License-Identifier: GPL-3.0-or-later
// Named command parameters: what a command's dialog or fixed values provide,
// and what lumaset-cli reads from KEY=VALUE pairs.
#pragma once

#include <QMap>
#include <QString>
#include <optional>
#include <span>

enum class ParamKind { Integer, Real, Text };

// One parameter a command takes: its name, kind, default (as text, exactly as
// the menu command passes it or its dialog starts with) and, for numbers, the
// inclusive range a value must lie in.
struct ParamSpec {
    const char* name;
    ParamKind kind = ParamKind::Integer;
    const char* defaultValue = "0";
    double minimum = -1e9;
    double maximum = 1e9;
    const char* help = "";
};

using ParamSpecs = std::span<const ParamSpec>;

// Values by name. Built from the specs' defaults, then overridden; a value is
// checked against its spec when it is set, so readers see only valid values.
class Params {
public:
    Params() = default;
    explicit Params(ParamSpecs specs);

    // Sets name to text. Returns an error message naming the key and the value
    // when the name is unknown, the text is not of the parameter's kind or the
    // number lies outside its range; an empty string when it was set.
    QString set(const QString& name, const QString& text);

    int integer(const char* name) const;
    double real(const char* name) const;
    QString text(const char* name) const;

private:
    const ParamSpec* find(const QString& name) const;
    ParamSpecs m_specs;
    QMap<QString, QString> m_values;
};
