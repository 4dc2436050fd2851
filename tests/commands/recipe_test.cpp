// SPDX-License-Identifier: GPL-3.0-or-later
// Recipes in the engine: selections written and read back exactly, the step
// each history entry remembers, and bad recipe lines.
#include "commands/recipe.h"
#include "commands/step_language.h"
#include "core/selection/tracing.h"
#include "testing/edit_session.h"

namespace {

SelectionPath rectangle(const Rect& r) {
    SelectionPath p;
    p.AddRectangle(r);
    return p;
}

SelectionPath ellipse(const QRectF& r) {
    SelectionPath p;
    p.AddEllipse(r);
    return p;
}

SelectionPath minus(const SelectionPath& a, const SelectionPath& b) {
    return CombineSelections(a.GetRegion(), CombineSubtract, b.GetRegion());
}

const CommandDef& command(const char* name) {
    return *FindCommandByName(QString::fromLatin1(name));
}

} // namespace

// Whatever made the outline, the SHAPE written for it rebuilds exactly the same
// path, so a replayed step sees the same pixels and draws the same outline.
TEST(RecipeTest, SelectionsAreWrittenAsShapesThatRebuildThemExactly) {
    EditSession s(MakePatternBitmap(60, 40, PixelFormat24bppRGB));
    struct Row {
        const char* name;
        SelectionPath made;
        const char* written; // the start of the SHAPE written
    };
    SelectionPath polygon;
    polygon.AddPolygon(QPolygon({QPoint(1, 1), QPoint(30, 5), QPoint(9, 25)}));
    SelectionPath click; // the rectangle tool's click without a drag
    click.AddPath(rectangle(Rect{7, 3, 0, 0}));
    const Row rows[] = {
        {"rectangle", rectangle(Rect{3, 4, 20, 10}), "rect:3,4,20,10"},
        {"ellipse", ellipse(QRectF(5, 6, 31, 17)), "ellipse:5,6,31,17"},
        {"polygon", polygon, "polygon:1,1,30,5,9,25"},
        {"half-pixel ellipse", ellipse(QRectF(2.5, 3.25, 20.1, 9)), "path:M"},
        {"combined", minus(rectangle(Rect{0, 0, 20, 20}), ellipse(QRectF(10, 10, 30, 20))),
         "polygon:0,0,20,0,20,11,17,11"},
        {"with a hole", minus(rectangle(Rect{0, 0, 30, 30}), rectangle(Rect{10, 10, 5, 5})),
         "path:M0,0 L30,0 L30,30 L0,30 L0,0 M10,10"},
        {"nothing", SelectionPath(), "none"},
        {"a click", click, "rect:0,0,0,0"},
    };
    for (const Row& row : rows) {
        const SelectionPath& made = row.made;
        const QString written = DescribeSelection(made);
        EXPECT_TRUE(written.startsWith(QLatin1String(row.written)))
            << row.name << ": " << written.toStdString();
        SelectionPath read;
        EXPECT_EQ(ApplySelectionStep("select", written, s.doc, read), "") << row.name;
        EXPECT_TRUE(SameOutline(made.GetPath(), read.GetPath())) << row.name;
        EXPECT_EQ(made.HasSelection(), read.HasSelection()) << row.name;
    }
    // A wand click keeps its name until the outline changes.
    ASSERT_EQ(ApplySelectionStep("select", "wand:2,3", s.doc, s.selection), "");
    EXPECT_EQ(DescribeSelection(s.selection), "wand:2,3");
    s.selection.Translate(1, 0);
    EXPECT_NE(DescribeSelection(s.selection), "wand:2,3");
}

// Each entry keeps the step that made it with the values it ran with (a
// dialog's accepted values), its selection and the settings it read; the
// recipe follows the history position through Undo and Redo.
TEST(RecipeTest, HistoryEntriesRememberTheirStepsAndTheRecipeFollowsUndo) {
    EditSession s(MakePatternBitmap(40, 30, PixelFormat24bppRGB));
    s.host.answer = [](const CommandDef&, EditContext&, const Params& values) {
        Params accepted = values;
        accepted.set("brightness", "7"); // the user moved the slider
        return std::optional<Params>(accepted);
    };
    s.doc.m_crForeground = 0xFF102030;
    s.doc.m_nPenWidth = 3;
    ASSERT_EQ(ApplySelectionStep("select", "rect:2,2,10,8", s.doc, s.selection), "");
    ASSERT_EQ(ExecuteCommand(s.context, command("Fill"), Params()), CommandResult::Done);
    ASSERT_EQ(ExecuteCommand(s.context, command("Strock"), Params()), CommandResult::Done);
    ASSERT_EQ(ExecuteCommand(s.context, command("Select All"), Params()), CommandResult::Done);
    ASSERT_EQ(ExecuteCommand(s.context, command("Brightness/Contrast"),
                             Params(command("Brightness/Contrast").params)),
              CommandResult::Done);
    ASSERT_EQ(ExecuteCommand(s.context, command("Crop"), Params()), CommandResult::Done);
    EXPECT_EQ(s.doc.GetHistoryStep(0), "");
    EXPECT_EQ(s.doc.GetHistoryStep(1), "--fg #FF102030\n--select rect:2,2,10,8\n--do Fill");
    EXPECT_EQ(s.doc.GetHistoryStep(3),
              "--select rect:0,0,40,30\n--do Brightness/Contrast:brightness=7,contrast=0");
    EXPECT_EQ(s.doc.GetHistoryStep(4), "--select rect:0,0,40,30\n--do Crop\n#after none");

    const QString head = QStringLiteral("# lumaset-cli %1 recipe\n").arg(LUMASET_VERSION);
    const QString all =
        head + "--fg #FF102030\n--select rect:2,2,10,8\n--do Fill\n"
               "--pen-width 3\n--do Strock\n"
               "--select rect:0,0,40,30\n--do Brightness/Contrast:brightness=7,contrast=0\n"
               "--do Crop\n";
    EXPECT_EQ(RecipeText(s.doc), all);
    ASSERT_EQ(ExecuteCommand(s.context, command("Undo"), Params()), CommandResult::Done);
    ASSERT_EQ(ExecuteCommand(s.context, command("Undo"), Params()), CommandResult::Done);
    const QString twoSteps = head + "--fg #FF102030\n--select rect:2,2,10,8\n--do Fill\n"
                                    "--pen-width 3\n--do Strock\n";
    EXPECT_EQ(RecipeText(s.doc), twoSteps);
    ASSERT_EQ(ExecuteCommand(s.context, command("Redo"), Params()), CommandResult::Done);
    EXPECT_TRUE(RecipeText(s.doc).endsWith("--do Brightness/Contrast:brightness=7,contrast=0\n"));
    // A new step after Undo replaces the undone ones.
    ASSERT_EQ(ExecuteCommand(s.context, command("Undo"), Params()), CommandResult::Done);
    ASSERT_EQ(ExecuteCommand(s.context, command("Gray"), Params()), CommandResult::Done);
    EXPECT_EQ(RecipeText(s.doc), twoSteps + "--select none\n--do Gray\n");
    // An entry no step describes (a stroke drawn in the editor) is left out, said so.
    s.doc.PushBackup(false);
    int skipped = 0;
    EXPECT_TRUE(RecipeText(s.doc, &skipped)
                    .endsWith("# step 4 left out: a tool stroke made in the editor\n"));
    EXPECT_EQ(skipped, 1);
}

// A recipe replayed through RunRecipeStep gives the very bytes of the session
// it was written from, and makes one history entry per command.
TEST(RecipeTest, ReplayingARecipeGivesTheSameBytes) {
    EditSession original(MakePatternBitmap(50, 40, PixelFormat32bppARGB));
    original.doc.m_crForeground = 0x80FF0000;
    ASSERT_EQ(ApplySelectionStep("select", "ellipse:4,4,30,20", original.doc, original.selection),
              "");
    ASSERT_EQ(ExecuteCommand(original.context, command("Fill"), Params()), CommandResult::Done);
    original.selection.Translate(0.5, 1);
    ASSERT_EQ(ExecuteCommand(original.context, command("Emboss"), Params()), CommandResult::Done);
    QString error;
    const std::vector<RecipeStep> steps =
        ParseRecipe(RecipeText(original.doc).toUtf8(), "r.txt", &error);
    ASSERT_EQ(error, "");

    EditSession replay(MakePatternBitmap(50, 40, PixelFormat32bppARGB));
    for (const RecipeStep& step : steps)
        ASSERT_EQ(RunRecipeStep(replay.context, step, &error), CommandResult::Done)
            << error.toStdString();
    EXPECT_EQ(replay.doc.GetHistoryCount(), 3);
    EXPECT_TRUE(SameBitmaps(*original.doc.GetImage(), *replay.doc.GetImage()));
    EXPECT_EQ(replay.host.dialogs, 0);
}

// A new picture makes no history entry, so its first edit is entry 0; it
// belongs in the recipe all the same.
TEST(RecipeTest, ANewPicturesFirstEditIsInTheRecipe) {
    TestCommandHost host;
    TempDir backups;
    CLumasetDoc doc(&host, backups.path());
    doc.m_nWidth = 8;
    doc.m_nHeight = 6;
    ASSERT_TRUE(doc.OnNewDocument());
    SelectionPath selection;
    EditContext context{doc, selection, host};
    ASSERT_EQ(ExecuteCommand(context, command("Reverse"), Params()), CommandResult::Done);
    EXPECT_TRUE(RecipeText(doc).endsWith("--select none\n--do Reverse\n"))
        << RecipeText(doc).toStdString();
}

TEST(RecipeTest, BadLinesAreRefusedNamingFileAndLine) {
    const struct {
        const char* text;
        const char* error;
    } rows[] = {
        {"--do GaussBlur\n--do Blurr", "r.txt:2: unknown command 'Blurr' (see --list)"},
        {"# comment\n\n--select rect:1,2",
         "r.txt:3: bad rect '1,2' (X,Y,W,H with W and H 0 or more)"},
        {"--select path:M1,2 L3", "r.txt:1: bad path element 'L3'"},
        {"--select path:L1,2", "r.txt:1: bad path element 'L1,2'"},
        {"--do Add Noise:amplitude=abc",
         "r.txt:1: Add Noise: parameter amplitude: 'abc' is not a whole number"},
        {"-o /tmp/out.png", "r.txt:1: a recipe cannot save"},
        {"--save x.png", "r.txt:1: a recipe cannot save"},
        {"--backup-dir /tmp", "r.txt:1: '--backup-dir' is not a step"},
        {"photo.jpg", "r.txt:1: 'photo.jpg' is not a step"},
        {"--fg red", "r.txt:1: bad colour 'red'"},
        {"--alpha 256", "r.txt:1: bad alpha '256' (a whole number from 0 to 255)"},
        {"--pen-width", "r.txt:1: --pen-width needs a value"},
        {"--do Print...", "r.txt:1: Print... works only in the editor"},
    };
    for (const auto& row : rows) {
        QString error;
        EXPECT_TRUE(ParseRecipe(row.text, "r.txt", &error).empty()) << row.text;
        EXPECT_TRUE(error.startsWith(QLatin1String(row.error)))
            << row.text << " -> " << error.toStdString();
    }
    QString error;
    const auto steps =
        ParseRecipe("  --do   \"Add Noise:amplitude=3\"  \r\n--select-add 'all'", "r.txt", &error);
    ASSERT_EQ(steps.size(), 2u) << error.toStdString();
    EXPECT_EQ(steps[0].value, "Add Noise:amplitude=3");
    EXPECT_EQ(steps[1].kind, "select-add");
    EXPECT_EQ(steps[1].line, 2);
}

// Written step texts name commands that read back as the same command.
TEST(RecipeTest, EveryCommandsStepTextFindsItAgain) {
    for (const CommandDef& c : CommandTable()) {
        if (!c.handler) continue;
        const CommandDef* found =
            FindCommandByName(CommandStepText(c, Params(c.params)).section(':', 0, 0));
        ASSERT_TRUE(found) << c.text;
        // Two rows share a text only when they run the same handler (Select All).
        EXPECT_TRUE(found->id == c.id || found->handler == c.handler) << c.text;
    }
}
