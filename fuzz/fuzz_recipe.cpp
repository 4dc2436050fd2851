// SPDX-License-Identifier: GPL-3.0-or-later
// Reads random bytes as a recipe file and runs whatever steps it accepts on a
// small blank picture: recipe files come from anywhere, so every line the
// parser lets through must run or be refused without harm.
#include "commands/recipe.h"
#include "core/selection/selection_path.h"
#include "document/lumaset_doc.h"
#include "fuzz_support.h"
#include "tools/offscreen_tool_host.h"

#include <cstdlib>

namespace {

// New and Resize make pictures of any size asked for.
bool makesLargePicture(const RecipeStep& step) {
    if (step.kind != "do") return false;
    const CommandDef* command = FindCommandByName(step.value.section(':', 0, 0));
    return command && (command->id == 57600 || command->id == 32857);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzSetUp();
    QString error;
    const std::vector<RecipeStep> steps =
        ParseRecipe(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), "fuzz.txt",
                    &error, &OffscreenToolHost::checkGesture);
    if (steps.empty()) return 0;
    QuietHost host;
    CLumasetDoc doc(&host, FuzzScratchFolder() + "/backups");
    doc.m_nWidth = 7;
    doc.m_nHeight = 5;
    if (!doc.OnNewDocument()) std::abort();
    doc.PushBackup(true);
    SelectionPath selection;
    EditContext context{doc, selection, host};
    OffscreenToolHost tools(doc, selection);
    const auto runGesture = [&](const QString& spec) { return tools.runGesture(spec); };
    for (const RecipeStep& step : steps)
        if (!makesLargePicture(step)) RunRecipeStep(context, step, &error, runGesture);
    // The recipe the history now holds must read back.
    ParseRecipe(RecipeText(doc).toUtf8(), "again.txt", &error, &OffscreenToolHost::checkGesture);
    if (!error.isEmpty()) std::abort();
    return 0;
}
