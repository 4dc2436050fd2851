// SPDX-License-Identifier: GPL-3.0-or-later
// The main frame's recipe commands: Save Recipe and Apply Recipe.
#include "commands/recipe.h"
#include "document/lumaset_doc.h"
#include "tools/offscreen_tool_host.h"
#include "ui/main_frame.h"
#include "view/lumaset_view.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

// A recipe line as the dialog lists it.
QString stepText(const RecipeStep& step) {
    return "--" + step.kind + " " + step.value;
}

} // namespace

bool CMainFrame::saveRecipeWithDialog() {
    const QString path = prompts().recipeFileName(this, true);
    return !path.isEmpty() && saveRecipe(path);
}

bool CMainFrame::saveRecipe(const QString& path) {
    int skipped = 0;
    const QByteArray text = RecipeText(m_doc, &skipped).toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        prompts().tell(this, "Failed to save\n" + path + ": " + file.errorString(),
                       QMessageBox::Information);
        return false;
    }
    if (skipped > 0)
        prompts().tell(this,
                       QStringLiteral("%1 step(s) drawn with a tool could not be written to the "
                                      "recipe; its comment lines mark where.")
                           .arg(skipped),
                       QMessageBox::Warning);
    return true;
}

bool CMainFrame::applyRecipeWithDialog() {
    const QString path = prompts().recipeFileName(this, false);
    return !path.isEmpty() && applyRecipe(path);
}

bool CMainFrame::applyRecipe(const QString& path) {
    QString error;
    const std::vector<RecipeStep> steps =
        ReadRecipeFile(path, &error, &OffscreenToolHost::checkGesture);
    if (!error.isEmpty()) {
        prompts().tell(this, error, QMessageBox::Warning);
        return false;
    }
    QStringList lines;
    for (const RecipeStep& step : steps)
        lines << stepText(step);
    if (!prompts().confirmRecipe(this, QFileInfo(path).fileName(), lines)) return false;
    EditContext& context = m_view->context();
    // Gestures run as lumaset-cli runs them: in image pixels, whatever the
    // view's zoom and scrolling.
    OffscreenToolHost tools(m_doc, context.selection);
    const auto runGesture = [&](const QString& spec) { return tools.runGesture(spec); };
    bool ok = true;
    for (const RecipeStep& step : steps) {
        const CommandResult result = RunRecipeStep(context, step, &error, runGesture);
        if (result != CommandResult::Done && result != CommandResult::Cancelled) {
            // The command has shown its own message when it has one.
            if (!error.isEmpty())
                prompts().tell(this,
                               QStringLiteral("%1:%2: %3").arg(path).arg(step.line).arg(error),
                               QMessageBox::Warning);
            ok = false;
            break;
        }
    }
    context.host.startOutlineTimer();
    m_doc.UpdateAllViews(true);
    updateCommandStates();
    updateTitle();
    return ok;
}
