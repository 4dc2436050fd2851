// SPDX-License-Identifier: GPL-3.0-or-later
// Parameter parsing and range checks.
#include "core/params.h"

#include <QRegularExpression>
#include <cmath>

QString ParamSpec::defaultText() const {
    if (defaultValue) return QString::fromLatin1(defaultValue);
    return kind == ParamKind::Integer ? QString::number(int(defaultNumber))
                                      : QString::number(defaultNumber);
}

Params::Params(ParamSpecs specs) : m_specs(specs) {
    for (const ParamSpec& s : specs)
        m_values.insert(QString::fromLatin1(s.name), s.defaultText());
}

const ParamSpec* Params::find(const QString& name) const {
    for (const ParamSpec& s : m_specs)
        if (name.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

QString Params::set(const QString& name, const QString& text) {
    const ParamSpec* spec = find(name);
    if (!spec) return QStringLiteral("unknown parameter '%1'").arg(name);
    QString value = text.trimmed();
    if (spec->kind == ParamKind::Integer)
        for (std::size_t i = 0; i < spec->choices.size(); ++i)
            if (value.compare(QLatin1String(spec->choices[i]), Qt::CaseInsensitive) == 0)
                value = QString::number(spec->minimum + double(i));
    if (spec->kind != ParamKind::Text) {
        bool ok = false;
        double number = 0;
        // A whole number too long for an int is still a whole number: it is
        // reported as out of range below, not as a malformed one.
        if (spec->kind == ParamKind::Integer) number = double(value.toLongLong(&ok));
        if (spec->kind == ParamKind::Integer && !ok) {
            static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]+$"));
            ok = digits.match(value).hasMatch();
            number = value.startsWith('-') ? -HUGE_VAL : HUGE_VAL;
        }
        if (spec->kind != ParamKind::Integer) number = value.toDouble(&ok);
        if (!ok || (spec->kind != ParamKind::Integer && !std::isfinite(number)))
            return QStringLiteral("parameter %1: '%2' is not %3")
                .arg(name, text,
                     spec->kind == ParamKind::Integer ? QStringLiteral("a whole number")
                                                      : QStringLiteral("a number"));
        if (number < spec->minimum || number > spec->maximum)
            return QStringLiteral("parameter %1: %2 is outside %3..%4")
                .arg(name, text)
                .arg(spec->minimum)
                .arg(spec->maximum);
    }
    m_values.insert(QString::fromLatin1(spec->name), value);
    return {};
}

const QString& Params::value(const char* name) const {
    const auto it = m_values.constFind(QString::fromLatin1(name));
    // Readers name parameters in code; a name the command does not have is a
    // programming error, caught here rather than read as 0.
    if (it == m_values.constEnd()) qFatal("Params: no parameter named '%s'", name);
    return *it;
}

int Params::integer(const char* name) const {
    return value(name).toInt();
}
double Params::real(const char* name) const {
    return value(name).toDouble();
}
QString Params::text(const char* name) const {
    return value(name);
}
