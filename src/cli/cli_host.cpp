// SPDX-License-Identifier: GPL-3.0-or-later
// Messages and dialog answers for lumaset-cli.
#include "cli/cli_host.h"

#include "core/file_names.h"

#include <cstdio>

void PrintError(const QString& text) {
    // File names in the text come out as the bytes they were given as.
    std::fprintf(stderr, "lumaset-cli: %s\n", EncodeFileName(text.simplified()).constData());
    std::fflush(stderr);
}

void CliHost::showMessage(const QString& text, const QString& detail) {
    if (detail.isEmpty())
        PrintError(text);
    else
        PrintError(text + (text.endsWith(QLatin1Char('.')) ? " " : ": ") + detail);
}

void CliHost::showWarning(const QString& text) {
    PrintError("warning: " + text);
}

bool CliHost::confirm(const QString& question) {
    if (force) return true;
    PrintError(question + " Refused; use --force to save anyway.");
    refused = true;
    return false;
}

std::optional<Params> CliHost::runDialog(const CommandDef&, EditContext&, const Params& values) {
    return values;
}
