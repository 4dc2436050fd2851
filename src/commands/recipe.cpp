// SPDX-License-Identifier: GPL-3.0-or-later
// Recording the step behind each history entry, and recipe files.
#include "commands/recipe.h"

#include "commands/step_language.h"
#include "core/selection/selection_path.h"
#include "document/lumaset_doc.h"

#include <QFile>
#include <QRegularExpression>
#include <map>
#include <optional>
#include <span>

namespace {

constexpr qint64 kMaxRecipeBytes = 16 * 1024 * 1024;

// Passes everything to the host that runs the command, and keeps the values
// a dialog was accepted with: those are the values the command ran with. A
// replay answers dialogs itself with the recipe's values, as lumaset-cli does,
// so a recipe runs without stopping at each dialog.
class RelayHost : public CommandHost {
  public:
    explicit RelayHost(CommandHost& inner, bool answerDialogs = false)
        : m_inner(inner), m_answerDialogs(answerDialogs) {}
    void showMessage(const QString& text, const QString& detail) override {
        m_inner.showMessage(text, detail);
    }
    void showWarning(const QString& text) override { m_inner.showWarning(text); }
    bool confirm(const QString& question) override { return m_inner.confirm(question); }
    void setBusy(bool busy) override { m_inner.setBusy(busy); }
    void startOutlineTimer() override { m_inner.startOutlineTimer(); }
    std::optional<Params> runDialog(const CommandDef& command, EditContext& context,
                                    const Params& values) override {
        accepted = m_answerDialogs ? values : m_inner.runDialog(command, context, values);
        return accepted;
    }
    std::optional<Params> accepted;

  private:
    CommandHost& m_inner;
    bool m_answerDialogs;
};

// The drawing settings a command reads; tool strokes read them all.
unsigned settingsUsedBy(const CommandDef& command) {
    switch (command.id) {
    case 32797: // Fill
        return StepRecorder::UsesForeground;
    case 32798: // Strock
        return StepRecorder::UsesForeground | StepRecorder::UsesPenWidth;
    default:
        return 0;
    }
}

const char* const kSettingKinds[] = {"fg", "bg", "pen-width", "alpha"};
const char* const kStepKinds[] = {"select", "select-add", "select-sub", "do", "gesture"};

bool isOneOf(const QString& kind, std::span<const char* const> kinds) {
    for (const char* k : kinds)
        if (kind == QLatin1String(k)) return true;
    return false;
}

QString checkWholeNumber(const QString& text, const QString& what, int lo, int hi) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (ok && v >= lo && v <= hi) return {};
    return QStringLiteral("bad %1 '%2' (a whole number from %3 to %4)")
        .arg(what, text)
        .arg(lo)
        .arg(hi);
}

// Why a step's value cannot be used, or an empty string.
QString checkStep(const RecipeStep& step,
                  const std::function<QString(const QString&)>& gestureCheck) {
    if (step.kind == "fg" || step.kind == "bg") {
        ARGB unused;
        return ParseColour(step.value, &unused)
                   ? QString()
                   : "bad colour '" + step.value + "' (use #RRGGBB or #AARRGGBB)";
    }
    if (step.kind == "pen-width") return checkWholeNumber(step.value, "pen width", 1, 1000);
    if (step.kind == "alpha") return checkWholeNumber(step.value, "alpha", 0, 255);
    if (step.kind == "do") {
        const CommandDef* command = nullptr;
        Params params;
        const QString error = ParseCommandStep(step.value, command, params);
        if (!error.isEmpty()) return error;
        if (command->editorOnly) return PlainText(*command) + " works only in the editor";
        return {};
    }
    if (step.kind == "gesture") return gestureCheck ? gestureCheck(step.value) : QString();
    return CheckShapeSyntax(step.value);
}

} // namespace

StepRecorder::StepRecorder(const CLumasetDoc& doc, const SelectionPath& selection)
    : m_historyPos(doc.GetHistoryPos()), m_selection(selection), m_fg(doc.m_crForeground),
      m_bg(doc.m_crBackground), m_penWidth(doc.m_nPenWidth), m_alpha(doc.m_nAlpha) {}

void StepRecorder::finish(CLumasetDoc& doc, const SelectionPath& selection, const QString& stepLine,
                          unsigned uses) {
    const int pos = doc.GetHistoryPos();
    if (pos == m_historyPos || pos < 1 || !doc.GetHistoryStep(pos - 1).isEmpty()) return;
    QStringList lines;
    if (uses & UsesForeground) lines << "--fg " + ColourText(m_fg);
    if (uses & UsesBackground) lines << "--bg " + ColourText(m_bg);
    if (uses & UsesPenWidth) lines << "--pen-width " + QString::number(m_penWidth);
    if (uses & UsesAlpha) lines << "--alpha " + QString::number(m_alpha);
    const QString before = DescribeSelection(m_selection);
    lines << "--select " + before << stepLine;
    // A step that changes the selection itself (Crop drops it) leaves a note,
    // so the recipe knows what the next step starts from.
    if (selection.GetRevision() != m_selection.GetRevision()) {
        const QString after = DescribeSelection(selection);
        if (after != before) lines << "#after " + after;
    }
    doc.SetHistoryStep(pos - 1, lines.join('\n'));
}

CommandResult RunAndRecord(EditContext& context, const CommandDef& command, const Params& params) {
    // Undo and Redo move along the history; they make no entry of their own.
    if (command.enable == EnableRule::CanUndo || command.enable == EnableRule::CanRedo)
        return command.handler(context, command, params);
    StepRecorder recorder(context.doc, context.selection);
    RelayHost host(context.host);
    EditContext recorded{context.doc, context.selection, host};
    const CommandResult result = command.handler(recorded, command, params);
    if (result == CommandResult::Done)
        recorder.finish(context.doc, context.selection,
                        "--do " + CommandStepText(command, host.accepted.value_or(params)),
                        settingsUsedBy(command));
    return result;
}

QString RecipeText(const CLumasetDoc& doc, int* skipped) {
    QString out = QStringLiteral("# lumaset-cli %1 recipe\n").arg(QLatin1String(LUMASET_VERSION));
    // What the steps written so far leave in effect; unknown at the start, so
    // the first step that reads a setting or the selection states it.
    std::map<QString, QString> running;
    int left = 0;
    for (int i = 0; i < doc.GetHistoryPos(); ++i) {
        const QString record = doc.GetHistoryStep(i);
        // The first entry is the opened picture, or a new picture's first
        // edit (a new picture itself makes no entry).
        if (i == 0 && record.isEmpty()) continue;
        if (record.isEmpty()) {
            out += QStringLiteral("# step %1 left out: a tool stroke made in the editor\n").arg(i);
            running.clear();
            ++left;
            continue;
        }
        for (const QString& line : record.split('\n')) {
            const QString key = line.section(' ', 0, 0), value = line.section(' ', 1);
            if (key == "#after") {
                running["--select"] = value;
                continue;
            }
            if (key != "--do" && key != "--gesture") {
                if (running.count(key) && running[key] == value) continue;
                running[key] = value;
            }
            out += line + '\n';
        }
    }
    if (skipped) *skipped = left;
    return out;
}

std::vector<RecipeStep> ParseRecipe(const QByteArray& text, const QString& fileName, QString* error,
                                    const std::function<QString(const QString&)>& gestureCheck) {
    std::vector<RecipeStep> steps;
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QString word = line.section(QRegularExpression(QStringLiteral("\\s+")), 0, 0);
        QString value = line.mid(word.size()).trimmed();
        if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        const QString kind = word.startsWith(QLatin1String("--")) ? word.mid(2) : QString();
        QString problem;
        if (word == "-o" || kind == "save")
            problem = "a recipe cannot save (give -o on the command line)";
        else if (!isOneOf(kind, kStepKinds) && !isOneOf(kind, kSettingKinds))
            problem = "'" + word +
                      "' is not a step (--select, --select-add, --select-sub, --do, "
                      "--gesture, --fg, --bg, --pen-width or --alpha)";
        else if (value.isEmpty())
            problem = word + " needs a value";
        RecipeStep step{kind, value, i + 1};
        if (problem.isEmpty()) problem = checkStep(step, gestureCheck);
        if (!problem.isEmpty()) {
            *error = QStringLiteral("%1:%2: %3").arg(fileName).arg(i + 1).arg(problem);
            return {};
        }
        steps.push_back(step);
    }
    error->clear();
    return steps;
}

std::vector<RecipeStep> ReadRecipeFile(const QString& path, QString* error,
                                       const std::function<QString(const QString&)>& gestureCheck) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + ": " + file.errorString();
        return {};
    }
    const QByteArray text = file.read(kMaxRecipeBytes + 1);
    if (text.size() > kMaxRecipeBytes) {
        *error = path + ": larger than 16 MiB; not a recipe";
        return {};
    }
    return ParseRecipe(text, path, error, gestureCheck);
}

CommandResult RunRecipeStep(EditContext& context, const RecipeStep& step, QString* error,
                            const std::function<QString(const QString&)>& runGesture) {
    CLumasetDoc& doc = context.doc;
    error->clear();
    if (step.kind == "fg" || step.kind == "bg") {
        ParseColour(step.value, step.kind == "fg" ? &doc.m_crForeground : &doc.m_crBackground);
    } else if (step.kind == "pen-width") {
        doc.m_nPenWidth = step.value.toInt();
    } else if (step.kind == "alpha") {
        doc.m_nAlpha = step.value.toInt();
    } else if (step.kind == "gesture") {
        *error = runGesture ? runGesture(step.value)
                            : QStringLiteral("gestures cannot be replayed here");
        return error->isEmpty() ? CommandResult::Done : CommandResult::Refused;
    } else if (step.kind == "do") {
        const CommandDef* command = nullptr;
        Params params;
        *error = ParseCommandStep(step.value, command, params);
        if (!error->isEmpty()) return CommandResult::BadValue;
        RelayHost host(context.host, true);
        EditContext replay{context.doc, context.selection, host};
        const CommandResult result = ExecuteCommand(replay, *command, params);
        if (result == CommandResult::Disabled)
            *error = PlainText(*command) + " is disabled" +
                     (command->enable == EnableRule::NeedsSelection ? ": there is no selection"
                                                                    : QString());
        return result;
    } else {
        *error = ApplySelectionStep(step.kind, step.value, doc, context.selection);
        if (!error->isEmpty()) return CommandResult::BadValue;
    }
    return CommandResult::Done;
}
