// SPDX-License-Identifier: GPL-3.0-or-later
// lumaset-cli's recipe options: --recipe, --each and --save-recipe.
#pragma once

#include "commands/recipe.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class CLumasetDoc;

// The steps of a recipe file, gestures checked as --gesture would; on a bad
// line or an unreadable file, error is the one-line reason naming the file
// (and the line).
std::vector<RecipeStep> LoadRecipe(const QString& path, QString* error);

// Writes the recipe of the document's history up to its current position to
// path, replacing it only once complete. Returns an exit status; failures are
// printed.
int SaveRecipe(const CLumasetDoc& doc, const QString& path);

// The output name for one input of --each: {name} in pattern becomes the
// input's file name without its last extension.
QString EachOutputName(const QString& pattern, const QString& input);

// Runs runOne for every input in turn, printing one line per file on stdout
// ("done: IN" or "failed: IN (exit status N)"), going on past failures.
// Returns 0 when every file was done, else 2.
int RunEach(const QStringList& inputs, const std::function<int(const QString&)>& runOne);
