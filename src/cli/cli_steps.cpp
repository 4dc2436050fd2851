// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's steps, run in order in one document.
#include "cli/cli_steps.h"

#include "cli/cli_host.h"
#include "cli/cli_recover.h"
#include "cli/command_list.h"
#include "cli/progress_line.h"
#include "cli/recipe_cli.h"
#include "cli/step_timing.h"
#include "commands/command.h"
#include "commands/step_language.h"
#include "core/file_names.h"
#include "core/large_image.h"
#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"
#include "document/lumaset_doc.h"
#include "tools/offscreen_tool_host.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace {

const char* const kUsage =
    R"(Usage: lumaset-cli [OPTION...] (INPUT | --new WxH | --recover=DIR) [STEP...]

Opens a picture, or starts a blank one, runs menu commands exactly as the
editor does, and saves.

Steps, run in the order given:
  --select SHAPE        make SHAPE the selection
  --select-add SHAPE    add SHAPE to the selection (like Ctrl with a selection tool)
  --select-sub SHAPE    remove SHAPE from the selection (like Shift)
  --do COMMAND[:KEY=VALUE,...]
                        run a menu command by its text, alias or number
  --gesture TOOL:[MODS:]X,Y;X,Y;...
                        drag a canvas tool through image pixels: press at the
                        first point, move to each later one, release at the
                        last (one point is a click); MODS: ctrl, shift, x1
  --save FILE, -o FILE  save; the format comes from FILE's extension (jpg,
                        jpeg, jpe, tif, tiff, bmp, gif, png in any case;
                        anything else is PNG, with a warning); - is
                        standard output

Shapes: rect:X,Y,W,H  ellipse:X,Y,W,H  polygon:X1,Y1,X2,Y2,...
        wand:X,Y (magic wand click)  color:X,Y (magic wand Shift-click)  all  none
        path:M X,Y L X,Y C X1,Y1,X2,Y2,X,Y ... (an outline exactly, as recipes
        write it)

Recipes:
  --save-recipe R.txt   after the steps, write the steps that led to the
                        current history position to R.txt, one a line
  --recipe R.txt        run the steps of R.txt first, as if typed
  --each IN...          with --recipe: one picture after another; -o names
                        the output, {name} standing for the input's name
                        without extension (-o 'out/{name}.png')

INPUT - reads standard input. -- ends the options: the word after it is the
input, even when it starts with - (lumaset-cli --do Blur -o b.png -- -a.jpg).

Settings, in effect for the steps that follow them:
  --fg COLOUR, --bg COLOUR   drawing colours, #RRGGBB or #AARRGGBB
  --pen-width N, --alpha N   pen width in pixels, drawing alpha 0..255
  --quality N                JPEG quality of the saves, 1..100 (default 90)

Options:
  --format FMT               save in FMT (png, jpg, gif, tif, bmp) whatever the
                             name; saves to - are PNG without it
  --backup-dir DIR           folder for the undo backups (default
                             $XDG_CACHE_HOME/lumaset/BackUp)
  --recover                  list the sessions a crash left behind
  --recover=DIR              start from the session in DIR: its picture and
                             its whole history (Undo and Redo reach every step)
  --force                    save over a file that opened damaged
  --info                     print width, height, format, selection and the
                             drawing colours at the end
  --time                     print each step's time in milliseconds on stderr,
                             and the total
  --list                     list every command with its number, parameters
                             and choices, and whether it keeps to the selection
  --help, --version

Exit status: 0 done, 1 bad usage, 2 a file could not be read or written,
3 a command refused.
)";

struct Step {
    QString kind; // select, select-add, select-sub, do, gesture, save, or a setting
    QString value;
};

struct Options {
    QString input;
    QString newSize;
    QString recover; // the session folder of --recover=DIR
    bool listSessions = false;
    QString backupDir;
    QString format; // MIME type of --format, empty for the name's
    QString recipe, saveRecipe;
    QStringList each;
    bool force = false, info = false, time = false, list = false, help = false, version = false;
    std::vector<Step> steps;
};

// A usage error: the message names the offending word.
struct UsageError {
    QString message;
};

// The MIME type --format names.
QString formatMime(const QString& format) {
    bool known = false;
    const QString mime = MimeTypeForPath("." + format, &known);
    if (!known) throw UsageError{"unknown format '" + format + "' (use png, jpg, gif, tif or bmp)"};
    return mime;
}

bool isSetting(const QString& kind) {
    return kind == "fg" || kind == "bg" || kind == "pen-width" || kind == "alpha" ||
           kind == "quality";
}
// Checks a setting's value; with a document, also makes it the document's.
void applySetting(const Step& step, CLumasetDoc* doc);

Options parseArguments(const QStringList& args) {
    Options o;
    bool optionsEnded = false; // after --, the one remaining word is the input
    auto value = [&](int& i) {
        if (i + 1 >= args.size()) throw UsageError{args[i] + " needs a value"};
        return args[++i]; // any word, "-x.png" too
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (optionsEnded) {
            // The input may follow the steps here: lumaset-cli --do Blur -o out.png -- -x.jpg
            if (o.input.isEmpty())
                o.input = a;
            else
                throw UsageError{"unexpected argument '" + a + "'"};
        } else if (a == "--")
            optionsEnded = true;
        else if (a == "--format")
            o.format = formatMime(value(i));
        else if (a == "--select" || a == "--select-add" || a == "--select-sub" || a == "--do" ||
                 a == "--gesture")
            o.steps.push_back({a.mid(2), value(i)});
        else if (a == "--save" || a == "-o")
            o.steps.push_back({"save", value(i)});
        else if (a == "--new")
            o.newSize = value(i);
        else if (a.startsWith("--") && isSetting(a.mid(2))) {
            o.steps.push_back({a.mid(2), value(i)});
            applySetting(o.steps.back(), nullptr);
        } else if (a == "--backup-dir")
            o.backupDir = value(i);
        else if (a == "--recipe")
            o.recipe = value(i);
        else if (a == "--save-recipe")
            o.saveRecipe = value(i);
        else if (a == "--each") {
            while (i + 1 < args.size() && !args[i + 1].startsWith('-'))
                o.each << args[++i];
            if (o.each.isEmpty()) throw UsageError{"--each needs at least one input file"};
        } else if (a == "--force")
            o.force = true;
        else if (a == "--info")
            o.info = true;
        else if (a == "--time")
            o.time = true;
        else if (a == "--list")
            o.list = true;
        else if (a == "--help" || a == "-h")
            o.help = true;
        else if (a == "--version")
            o.version = true;
        else if (a == "--recover")
            o.listSessions = true;
        else if (a.startsWith("--recover=") && a.size() > 10)
            o.recover = a.mid(10);
        else if (a.startsWith('-') && a != "-")
            throw UsageError{"unknown option " + a};
        else if (o.input.isEmpty() && std::all_of(o.steps.begin(), o.steps.end(),
                                                  [](const Step& s) { return isSetting(s.kind); }))
            o.input = a; // settings may stand before the input
        else
            throw UsageError{"unexpected argument '" + a + "'"};
    }
    return o;
}

ARGB parseColour(const QString& text) {
    ARGB c = 0;
    if (!ParseColour(text, &c))
        throw UsageError{"bad colour '" + text + "' (use #RRGGBB or #AARRGGBB)"};
    return c;
}

int parseInt(const QString& text, const QString& what, int lo, int hi) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < lo || v > hi)
        throw UsageError{QStringLiteral("bad %1 '%2' (a whole number from %3 to %4)")
                             .arg(what, text)
                             .arg(lo)
                             .arg(hi)};
    return v;
}

void applySetting(const Step& step, CLumasetDoc* doc) {
    if (step.kind == "fg" || step.kind == "bg") {
        const ARGB colour = parseColour(step.value);
        if (doc) (step.kind == "fg" ? doc->m_crForeground : doc->m_crBackground) = colour;
    } else if (step.kind == "pen-width") {
        const int width = parseInt(step.value, "pen width", 1, 1000);
        if (doc) doc->m_nPenWidth = width;
    } else if (step.kind == "alpha") {
        const int alpha = parseInt(step.value, "alpha", 0, 255);
        if (doc) doc->m_nAlpha = alpha;
    } else {
        const int quality = parseInt(step.value, "quality", 1, 100);
        if (doc) doc->m_nJpegQuality = quality;
    }
}

void applySelection(const Step& step, CLumasetDoc& doc, SelectionPath& selection) {
    const QString error = ApplySelectionStep(step.kind, step.value, doc, selection);
    if (!error.isEmpty()) throw UsageError{error};
}

// Runs one --do step; returns an exit status. label is the command's text.
int runCommand(const QString& spec, EditContext& context, QString& label) {
    const CommandDef* command = nullptr;
    Params params;
    if (const QString error = ParseCommandStep(spec, command, params); !error.isEmpty()) {
        PrintError(error);
        return ExitUsage;
    }
    label = PlainText(*command);
    if (command->editorOnly) {
        PrintError(PlainText(*command) + " works only in the editor");
        return ExitUsage;
    }
    if (command->scope == PixelScope::WholePicture && context.selection.HasSelection() &&
        IsCommandEnabled(*command, context))
        PrintError("note: " + PlainText(*command) +
                   " changes the whole picture; the selection is not used");
    CommandResult result;
    {
        const ProgressLine progress(PlainText(*command), ProgressLine::stderrIsTerminal());
        result = ExecuteCommand(context, *command, params);
    }
    switch (result) {
    case CommandResult::Done:
    case CommandResult::Cancelled:
        return ExitDone;
    case CommandResult::Disabled:
        PrintError(PlainText(*command) + " is disabled" +
                   (command->enable == EnableRule::NeedsSelection
                        ? QStringLiteral(": there is no selection")
                    : command->enable == EnableRule::CanUndo ? QStringLiteral(": nothing to undo")
                    : command->enable == EnableRule::CanRedo ? QStringLiteral(": nothing to redo")
                                                             : QString()));
        return ExitRefused;
    case CommandResult::Unavailable:
        PrintError(PlainText(*command) + " is not available yet");
        return ExitRefused;
    case CommandResult::BadValue:
        return ExitUsage;
    case CommandResult::Refused:
        return ExitRefused;
    case CommandResult::Failed:
        return ExitFile;
    }
    return ExitRefused;
}

// A file saved as PNG only because its extension says nothing gets one
// warning line; devices and pipes have no extension to speak of.
void warnOfUnknownExtension(const QString& path, CliHost& host) {
    bool known = false;
    MimeTypeForPath(path, &known);
    struct stat st {};
    if (known || ::stat(EncodeFileName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    host.showWarning(path + ": the name has no known picture extension; saved as PNG");
}

void printInfo(CLumasetDoc& doc, const SelectionPath& selection) {
    const Bitmap& image = *doc.GetImage();
    std::printf("width: %u\nheight: %u\nformat: %s\n", image.GetWidth(), image.GetHeight(),
                PixelFormatName(image.GetPixelFormat()));
    if (!selection.HasSelection()) {
        std::printf("selection: none\n");
        return;
    }
    const SelectionRegion region(selection.GetPath());
    const Rect b = region.GetBounds();
    std::printf("selection: %d,%d,%d,%d area %d\n", b.X, b.Y, b.Width, b.Height, region.GetArea());
}

void printColours(const CLumasetDoc& doc) {
    std::printf("foreground: #%08X\nbackground: #%08X\n", doc.m_crForeground, doc.m_crBackground);
}

int run(const Options& o) {
    StepTimer timer(o.time);
    CliHost host;
    host.force = o.force;
    CLumasetDoc doc(&host, o.backupDir);
    // A backup folder that cannot be used stops the run before any work.
    if (!doc.backups().error().isEmpty()) {
        PrintError("backup folder " + doc.backups().folder() + ": " + doc.backups().error());
        return ExitUsage;
    }
    if (!doc.backups().note().isEmpty()) PrintError("note: " + doc.backups().note());

    if (!o.newSize.isEmpty()) {
        static const QRegularExpression re(QStringLiteral("^(\\d+)[xX](\\d+)$"));
        const auto m = re.match(o.newSize);
        if (!m.hasMatch()) throw UsageError{"bad size '" + o.newSize + "' (use WxH)"};
        doc.m_nWidth = parseInt(m.captured(1), "width", 1, 30000);
        doc.m_nHeight = parseInt(m.captured(2), "height", 1, 30000);
        if (!IsWithinPictureLimit(doc.m_nWidth, doc.m_nHeight))
            throw UsageError{"size " + o.newSize + ": " +
                             PictureLimitRefusal(doc.m_nWidth, doc.m_nHeight)};
        timer.start();
        if (!doc.OnNewDocument()) return ExitFile;
        timer.finish("new");
    } else if (!o.recover.isEmpty()) {
        timer.start();
        if (!OpenRecoveredSession(doc, o.recover)) return ExitFile;
        timer.finish("recover");
    } else {
        timer.start();
        if (!doc.OnNewDocument()) return ExitFile;
        if (!doc.OnOpenDocument(o.input)) return ExitFile;
        timer.finish("open");
    }

    SelectionPath selection;
    EditContext context{doc, selection, host};
    OffscreenToolHost tools(doc, selection);
    for (const Step& step : o.steps) {
        int status = ExitDone;
        if (isSetting(step.kind)) {
            applySetting(step, &doc);
            continue;
        }
        timer.start();
        QString label = step.kind; // the command's text for --do
        if (step.kind == "do") {
            status = runCommand(step.value, context, label);
        } else if (step.kind == "gesture") {
            const QString error = tools.runGesture(step.value);
            if (!error.isEmpty()) {
                PrintError(error);
                return ExitUsage;
            }
        } else if (step.kind == "save") {
            host.refused = false;
            if (!doc.OnSaveDocument(step.value, o.format))
                status = host.refused ? ExitRefused : ExitFile;
            else if (o.format.isEmpty())
                warnOfUnknownExtension(step.value, host);
        } else {
            applySelection(step, doc, selection);
        }
        if (status != ExitDone) return status;
        timer.finish(label);
    }
    if (!o.saveRecipe.isEmpty())
        if (const int status = SaveRecipe(doc, o.saveRecipe); status != ExitDone) return status;
    if (o.info) {
        printInfo(doc, selection);
        printColours(doc);
    }
    timer.printTotal();
    return ExitDone;
}

// --each: the same steps on one input after another, in this one process,
// so the random generator runs on from file to file.
int runEach(const Options& o) {
    if (!o.input.isEmpty() || !o.newSize.isEmpty() || !o.recover.isEmpty())
        throw UsageError{
            QStringLiteral("--each takes the inputs; give no other input, --new or --recover")};
    if (!o.saveRecipe.isEmpty())
        throw UsageError{QStringLiteral("--save-recipe does not go with --each")};
    for (const Step& step : o.steps)
        if (step.kind == "save" &&
            (step.value == "-" || (o.each.size() > 1 && !step.value.contains("{name}"))))
            throw UsageError{"with --each, the output '" + step.value + "' needs {name} in it"};
    return RunEach(o.each, [&](const QString& input) {
        Options one = o;
        one.each.clear();
        one.input = input;
        for (Step& step : one.steps)
            if (step.kind == "save") step.value = EachOutputName(step.value, input);
        try {
            return run(one);
        } catch (const UsageError& e) {
            PrintError(input + ": " + e.message);
            return int(ExitUsage);
        }
    });
}

} // namespace

int RunCommandLine(const QStringList& args) {
    try {
        Options o = parseArguments(args);
        if (o.help) {
            std::fputs(kUsage, stdout);
            return ExitDone;
        }
        if (o.version) {
            std::printf("lumaset-cli %s\n", LUMASET_VERSION);
            return ExitDone;
        }
        if (o.listSessions) return ListRecoverableSessions(o.backupDir);
        if (o.list) {
            PrintCommandList();
            if (o.input.isEmpty() && o.newSize.isEmpty() && o.recover.isEmpty()) return ExitDone;
        }
        if (!o.recipe.isEmpty()) {
            QString error;
            std::vector<Step> steps;
            for (const RecipeStep& step : LoadRecipe(o.recipe, &error))
                steps.push_back({step.kind, step.value});
            if (!error.isEmpty()) throw UsageError{error};
            o.steps.insert(o.steps.begin(), steps.begin(), steps.end());
        }
        if (!o.each.isEmpty()) return runEach(o);
        const int starts = !o.input.isEmpty() + !o.newSize.isEmpty() + !o.recover.isEmpty();
        if (starts != 1)
            throw UsageError{starts == 0
                                 ? QStringLiteral("give an input file or --new WxH (see --help)")
                             : o.recover.isEmpty()
                                 ? QStringLiteral("give either an input file or --new, not both")
                                 : QStringLiteral("give only one of an input file, --new and "
                                                  "--recover=DIR")};
        return run(o);
    } catch (const UsageError& e) {
        PrintError(e.message);
        return ExitUsage;
    }
}
