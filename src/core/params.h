// SPDX-License-Identifier: GPL-3.0-or-later
// Named command parameters: what a command's dialog or fixed values provide,
// and what lumaset-cli reads from KEY=VALUE pairs.
#pragma once

#include <QMap>
#include <QString>
#include <array>
#include <cstddef>
#include <optional>
#include <span>

enum class ParamKind { Integer, Real, Text };

// One parameter a command takes: its name, kind, default (as text, exactly as
// the menu command passes it or its dialog starts with; or, when that is null,
// the number defaultNumber) and, for numbers, the inclusive range a value must
// lie in.
struct ParamSpec {
    const char* name;
    ParamKind kind = ParamKind::Integer;
    const char* defaultValue = "0";
    double minimum = -1e9;
    double maximum = 1e9;
    const char* help = "";
    double defaultNumber = 0;
    // Named values. Text: the words the parameter takes (any case; their
    // numbers 0, 1, ... too). Whole number: what minimum, minimum + 1, ...
    // stand for, accepted by name as well.
    std::span<const char* const> choices = {};
    // The command line must give this parameter or another required one of
    // its command: its default is only where a dialog starts.
    bool required = false;

    QString defaultText() const;
};

using ParamSpecs = std::span<const ParamSpec>;

// One member of a routine's parameter struct P: its name, the member (a whole
// number or a real), the inclusive range the routine accepts, and a help text.
// The default is the member's own initialiser, so a struct with its field list
// is the one place stating a parameter's name, default and range.
template <class P> struct ParamField {
    const char* name;
    int P::*integer = nullptr;
    double P::*real = nullptr;
    double minimum;
    double maximum;
    const char* help = "";
    std::span<const char* const> choices = {}; // as ParamSpec::choices
};

// The specs of a parameter struct P, which lists its members in
// static constexpr ParamField<P> kFields[].
template <class P, std::size_t N>
constexpr std::array<ParamSpec, N> ParamSpecsOf(const ParamField<P> (&fields)[N]) {
    std::array<ParamSpec, N> specs{};
    const P defaults{};
    for (std::size_t i = 0; i < N; ++i) {
        const ParamField<P>& f = fields[i];
        specs[i] = {.name = f.name,
                    .kind = f.integer ? ParamKind::Integer : ParamKind::Real,
                    .defaultValue = nullptr,
                    .minimum = f.minimum,
                    .maximum = f.maximum,
                    .help = f.help,
                    .defaultNumber = f.integer ? double(defaults.*f.integer) : defaults.*f.real,
                    .choices = f.choices};
    }
    return specs;
}
template <class P> inline constexpr auto kParamSpecs = ParamSpecsOf(P::kFields);

// Values by name. Built from the specs' defaults, then overridden; a value is
// checked against its spec when it is set, so readers see only valid values.
class Params {
  public:
    Params() = default;
    explicit Params(ParamSpecs specs);

    // Sets name to text. Returns an error message naming the key and the value
    // when the name is unknown, the text is not of the parameter's kind or the
    // number lies outside its range; an empty string when it was set. A whole
    // number with choices may be given by its choice's name.
    QString set(const QString& name, const QString& text);

    // The value of name, which must be one of the specs' names (exact case);
    // any other name aborts with a message naming it.
    int integer(const char* name) const;
    double real(const char* name) const;
    QString text(const char* name) const;

    // A parameter struct P (see ParamField) filled from these values.
    template <class P> P read() const {
        P p;
        for (const ParamField<P>& f : P::kFields) {
            if (f.integer)
                p.*f.integer = integer(f.name);
            else
                p.*f.real = real(f.name);
        }
        return p;
    }

  private:
    const ParamSpec* find(const QString& name) const;
    const QString& value(const char* name) const;
    ParamSpecs m_specs;
    QMap<QString, QString> m_values;
};
