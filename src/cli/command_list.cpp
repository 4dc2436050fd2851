// SPDX-License-Identifier: GPL-3.0-or-later
// lumaset-cli --list: the command table as a user reads it.
#include "cli/command_list.h"

#include <QStringList>
#include <cstdio>

namespace {

QString rangeText(const ParamSpec& p) {
    return QStringLiteral("%1..%2").arg(p.minimum).arg(p.maximum);
}

// "NAME: label (0), label (1), ..." for a parameter with choices.
QString choicesText(const ParamSpec& p) {
    const double first = p.kind == ParamKind::Integer ? p.minimum : 0;
    QStringList labels;
    for (std::size_t i = 0; i < p.choices.size(); ++i)
        labels << QStringLiteral("%1 (%2)").arg(QLatin1String(p.choices[i])).arg(first + double(i));
    return QStringLiteral("%1: %2").arg(QLatin1String(p.name), labels.join(QStringLiteral(", ")));
}

// The parameters as NAME=DEFAULT, the required ones with their ranges first,
// and where the defaults come from.
QString paramsText(const CommandDef& c) {
    QStringList optional, starts;
    for (const ParamSpec& p : c.params) {
        const QString pair = QStringLiteral("%1=%2").arg(QLatin1String(p.name), p.defaultText());
        if (!p.required)
            optional << pair;
        else if (!p.defaultText().isEmpty())
            starts << pair;
    }
    QString text = RequiredParamsText(c);
    if (!text.isEmpty()) {
        text += QStringLiteral(", one of them required");
        if (!optional.isEmpty()) text += QStringLiteral("; ") + optional.join(',');
        if (c.dialog && !starts.isEmpty())
            text += QStringLiteral(" (the dialog starts at %1)").arg(starts.join(','));
        return text;
    }
    text = optional.join(',');
    if (c.dialog && !text.isEmpty()) text += QStringLiteral(" (the dialog's starting values)");
    return text;
}

} // namespace

QString RequiredParamsText(const CommandDef& command) {
    QStringList required;
    for (const ParamSpec& p : command.params)
        if (p.required)
            required << QStringLiteral("%1=%2").arg(QLatin1String(p.name), rangeText(p));
    return required.join(QStringLiteral(" or "));
}

void PrintCommandList() {
    for (const CommandDef& c : CommandTable()) {
        QString line = QStringLiteral("%1  %2").arg(c.id).arg(PlainText(c));
        if (c.alias) line += QStringLiteral(" (also %1)").arg(c.alias);
        const QString params = paramsText(c);
        if (!params.isEmpty()) line += "  " + params;
        if (c.enable == EnableRule::Never)
            line += "  [disabled: no handler]";
        else if (c.editorOnly)
            line += "  [editor only]";
        else if (!c.handler)
            line += "  [not available yet]";
        else if (c.enable == EnableRule::NeedsSelection)
            line += "  [needs a selection]";
        if (c.scope == PixelScope::WholePicture)
            line += "  [whole picture]";
        else if (c.scope == PixelScope::Selection)
            line += "  [keeps to the selection]";
        for (const ParamSpec& p : c.params)
            if (!p.choices.empty()) line += "\n      " + choicesText(p);
        std::printf("%s\n", line.toLocal8Bit().constData());
    }
}
