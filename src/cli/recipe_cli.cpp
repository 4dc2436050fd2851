// SPDX-License-Identifier: GPL-3.0-or-later
// Reading, writing and batch-running recipes on the command line.
#include "cli/recipe_cli.h"

#include "cli/cli_host.h"
#include "cli/cli_steps.h"
#include "core/file_names.h"
#include "tools/offscreen_tool_host.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

std::vector<RecipeStep> LoadRecipe(const QString& path, QString* error) {
    return ReadRecipeFile(path, error, &OffscreenToolHost::checkGesture);
}

int SaveRecipe(const CLumasetDoc& doc, const QString& path) {
    int skipped = 0;
    const QByteArray text = RecipeText(doc, &skipped).toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        PrintError("Failed to save recipe " + path + ": " + file.errorString());
        return ExitFile;
    }
    if (skipped > 0)
        PrintError(QStringLiteral("warning: %1: %2 step(s) left out; see its comment lines")
                       .arg(path)
                       .arg(skipped));
    return ExitDone;
}

QString EachOutputName(const QString& pattern, const QString& input) {
    QString out = pattern;
    return out.replace(QLatin1String("{name}"), QFileInfo(input).completeBaseName());
}

int RunEach(const QStringList& inputs, const std::function<int(const QString&)>& runOne) {
    bool anyFailed = false;
    for (const QString& input : inputs) {
        const int status = runOne(input);
        anyFailed = anyFailed || status != ExitDone;
        const QByteArray name = EncodeFileName(input);
        if (status == ExitDone)
            std::printf("done: %s\n", name.constData());
        else
            std::printf("failed: %s (exit status %d)\n", name.constData(), status);
        std::fflush(stdout);
    }
    return anyFailed ? ExitFile : ExitDone;
}
