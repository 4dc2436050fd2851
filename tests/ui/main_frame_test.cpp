// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's main window driven through its menus, buttons, keys and file
// commands, with the message boxes answered by the test.
#include "app/lumaset_app.h"
#include "commands/command.h"
#include "core/codecs.h"
#include "document/lumaset_doc.h"
#include "testing/test_images.h"
#include "ui/main_frame.h"
#include "ui/menu_layout.h"
#include "ui/setting_bar.h"
#include "ui/themed_icon.h"
#include "ui/true_color_toolbar.h"
#include "view/lumaset_view.h"

#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QUrl>

namespace {

// Answers the editor's questions and records them.
struct Answers {
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    QString fileName;
    QColor color;
    QStringList asked;
    QStringList told;
    QString recipeFile;
    QStringList recipeShown; // the steps the recipe dialog listed

    Prompts prompts() {
        Prompts p;
        p.ask = [this](QWidget*, const QString& text, QMessageBox::StandardButtons) {
            asked.append(text);
            return answer;
        };
        p.tell = [this](QWidget*, const QString& text, QMessageBox::Icon) { told.append(text); };
        p.fileName = [this](QWidget*, bool, const QString&) { return fileName; };
        p.color = [this](QWidget*, const QColor&) { return color; };
        p.recipeFileName = [this](QWidget*, bool) { return recipeFile; };
        p.confirmRecipe = [this](QWidget*, const QString&, const QStringList& steps) {
            recipeShown = steps;
            return true;
        };
        return p;
    }
};

class MainFrameTest : public ::testing::Test {
  public:
    // The recent-file list goes to a private settings folder, not the user's.
    static void SetUpTestSuite() {
        static TempDir config;
        for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, config.path());
    }
    // Starts the editor with args (after the program name).
    bool start(const QStringList& args = {}) {
        app = std::make_unique<CLumasetApp>(backups.path(), answers.prompts());
        if (!app->InitInstance(QStringList{"lumaset"} + args, true)) return false;
        // Keys reach the shortcuts of the active window only.
        frame().activateWindow();
        return QTest::qWaitForWindowActive(&frame());
    }
    CMainFrame& frame() { return app->frame(); }
    CLumasetDoc& doc() { return app->document(); }
    QByteArray imageBytes() {
        const QImage& image = doc().GetImage()->image();
        return QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    }
    // A picture file in the temporary folder.
    QString picture(const QString& name, int width = 40, int height = 30) {
        const QString path = files.file(name);
        MakePatternBitmap(width, height, PixelFormat24bppRGB)->image().save(path);
        return path;
    }

    TempDir backups;
    TempDir files;
    Answers answers;
    std::unique_ptr<CLumasetApp> app;
};

// Every menu action by command number.
QHash<int, QAction*> menuActions(QMenuBar* bar) {
    QHash<int, QAction*> found;
    std::function<void(const QList<QAction*>&)> walk = [&](const QList<QAction*>& actions) {
        for (QAction* a : actions) {
            if (a->menu())
                walk(a->menu()->actions());
            else if (!a->isSeparator())
                found.insert(a->data().toInt(), a);
        }
    };
    walk(bar->actions());
    return found;
}

TEST_F(MainFrameTest, EveryMenuCommandStandsInTheMenusWithItsText) {
    ASSERT_TRUE(start());
    const QHash<int, QAction*> menus = menuActions(frame().menuBar());
    // Context-menu commands live in the canvas's own menu, the palette button
    // and Print Direct in no menu.
    const QSet<int> elsewhere = {32863, 32864, 32865, 32799, 57608};
    for (const CommandDef& def : CommandTable()) {
        if (elsewhere.contains(def.id)) continue;
        ASSERT_TRUE(menus.contains(def.id)) << def.id << " " << def.text;
        EXPECT_EQ(menus[def.id]->text().section('\t', 0, 0), QString::fromLatin1(def.text))
            << def.id;
    }
    const std::pair<int, const char*> shortcutTexts[] = {
        {32794, "CTRL+A"}, {32795, "CTRL+I"}, {32797, "CTRL+F"}, {32780, "Ctrl+T"}};
    for (const auto& [id, text] : shortcutTexts) {
        EXPECT_EQ(menus[id]->text().section('\t', 1), QString::fromLatin1(text)) << id;
        EXPECT_TRUE(menus[id]->shortcuts().isEmpty()) << id << " shows a text, binds no key";
    }
    const std::pair<int, QList<QKeySequence>> keys[] = {
        {57643, {QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}},
        {57635, {QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")}},
        {57637, {QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")}},
        {57607, {QKeySequence("Ctrl+P")}},
    };
    for (const auto& [id, sequences] : keys)
        EXPECT_EQ(menus[id]->shortcuts(), sequences) << id;
}

TEST_F(MainFrameTest, StartsWithATransparentPictureAndRectangleSelect) {
    ASSERT_TRUE(start());
    const Bitmap* image = doc().GetImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 400u);
    EXPECT_EQ(image->GetHeight(), 300u);
    EXPECT_EQ(image->image().pixel(200, 150) >> 24, 0u);
    EXPECT_TRUE(frame().action(32771)->isChecked());
    EXPECT_FALSE(frame().action(32772)->isChecked());
    EXPECT_FALSE(frame().action(57643)->isEnabled());
    EXPECT_FALSE(frame().action(57644)->isEnabled());
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Untitled - Lumaset"));
    // The option bar wrote its own defaults when it first showed.
    EXPECT_EQ(doc().m_crForeground, 0xFFFFFFFFu);
    EXPECT_EQ(doc().m_crBackground, 0xFF000000u);
    EXPECT_EQ(doc().m_nPenWidth, 4);
    // Bars where they belong.
    EXPECT_EQ(frame().toolBarArea(frame().standardBar()), Qt::TopToolBarArea);
    EXPECT_EQ(frame().toolBarArea(frame().settingBar()), Qt::TopToolBarArea);
    EXPECT_EQ(frame().toolBarArea(frame().toolPalette()), Qt::LeftToolBarArea);
    EXPECT_EQ(frame().dockWidgetArea(frame().effectListBar()), Qt::RightDockWidgetArea);
    EXPECT_FALSE(frame().effectListBar()->features() & QDockWidget::DockWidgetClosable);
    EXPECT_FALSE(frame().effectListBar()->toggleViewAction()->isVisible());
}

TEST_F(MainFrameTest, StartsWithTheFileOnTheCommandLine) {
    const QString path = picture("start.png", 64, 48);
    ASSERT_TRUE(start({path}));
    EXPECT_EQ(doc().GetImage()->GetWidth(), 64u);
    EXPECT_EQ(doc().GetPathName(), QFileInfo(path).absoluteFilePath());
    EXPECT_FALSE(frame().action(57643)->isEnabled());
    EXPECT_EQ(frame().recentFiles().value(0), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("start.png - Lumaset"));

    // A file that cannot be opened ends the start after its message.
    app.reset();
    EXPECT_FALSE(start({files.file("missing.png")}));
    ASSERT_FALSE(answers.told.isEmpty());
    EXPECT_TRUE(answers.told.last().startsWith("Failed to open document."))
        << answers.told.last().toStdString();
}

TEST_F(MainFrameTest, DisabledCommandsDoNotRunFromMenuButtonOrKey) {
    ASSERT_TRUE(start({picture("a.png")}));
    enum How { Menu, Button, Key };
    struct Case {
        int id;
        How how;
        QKeyCombination key = {};
    };
    const Case cases[] = {
        {57635, Menu},
        {57635, Button},
        {57635, Key, Qt::CTRL | Qt::Key_X},
        {32826, Menu},
        {32861, Menu},
        {32799, Button},
        {32795, Menu},
        {32796, Menu},
        {32830, Menu},
        {32797, Menu},
        {32798, Menu},
        {32795, Key, Qt::CTRL | Qt::Key_I},
        {32797, Key, Qt::CTRL | Qt::Key_F},
        {57643, Menu},
        {57643, Button},
        {57643, Key, Qt::CTRL | Qt::Key_Z},
        {57643, Key, Qt::ALT | Qt::Key_Backspace},
        {57644, Key, Qt::CTRL | Qt::Key_Y},
    };
    const QByteArray before = imageBytes();
    for (const Case& c : cases) {
        QAction* action = frame().action(c.id);
        ASSERT_TRUE(action) << c.id;
        EXPECT_FALSE(action->isEnabled()) << c.id;
        if (c.how == Menu) action->trigger();
        if (c.how == Key) QTest::keyClick(&frame(), c.key.key(), c.key.keyboardModifiers());
        if (c.how == Button) {
            QWidget* button = frame().standardBar()->widgetForAction(action);
            if (!button) button = frame().toolPalette()->widgetForAction(action);
            ASSERT_TRUE(button) << c.id;
            QTest::mouseClick(button, Qt::LeftButton);
        }
        // Asked directly, the rule is asked again and says no.
        EXPECT_FALSE(frame().runCommand(c.id)) << c.id;
        EXPECT_EQ(doc().GetHistoryPos(), 1) << c.id;
        EXPECT_EQ(doc().GetHistoryCount(), 1) << c.id;
        EXPECT_FALSE(doc().IsModified()) << c.id;
        EXPECT_FALSE(frame().view().selection().HasSelection()) << c.id;
    }
    EXPECT_EQ(imageBytes(), before);

    // The same commands run once their rules allow them.
    EXPECT_TRUE(frame().runCommand(32794)); // Select All
    EXPECT_TRUE(frame().action(32797)->isEnabled());
    frame().action(32830)->trigger(); // Delete
    EXPECT_EQ(doc().GetHistoryPos(), 2);
    EXPECT_TRUE(frame().action(57643)->isEnabled());
    QTest::keyClick(&frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc().GetHistoryPos(), 1);
    EXPECT_EQ(imageBytes(), before);
}

TEST_F(MainFrameTest, ToolChecksFollowTheCurrentTool) {
    ASSERT_TRUE(start());
    QTest::mouseClick(frame().toolPalette()->widgetForAction(frame().action(32778)),
                      Qt::LeftButton);
    EXPECT_EQ(doc().m_nToolType, 9); // 32778 selects the ellipse, number 9
    EXPECT_TRUE(frame().action(32778)->isChecked());
    EXPECT_FALSE(frame().action(32771)->isChecked());
    doc().m_nToolType = 10; // as the canvas's T key does
    emit frame().view().commandStateChanged();
    EXPECT_TRUE(frame().action(32780)->isChecked());
    EXPECT_FALSE(frame().action(32778)->isChecked());
}

TEST_F(MainFrameTest, RecentFilesHoldAtMostFourAndOutliveTheRun) {
    ASSERT_TRUE(start());
    QStringList opened;
    for (int i = 0; i < 5; ++i) {
        opened.prepend(QFileInfo(picture(QStringLiteral("r%1.png").arg(i))).absoluteFilePath());
        ASSERT_TRUE(frame().openFile(opened.first()));
    }
    ASSERT_TRUE(frame().openFile(opened[2])); // reopening moves it to the top
    const QStringList expected = {opened[2], opened[0], opened[1], opened[3]};
    EXPECT_EQ(frame().recentFiles(), expected);
    int shown = 0;
    for (QAction* a : menuActions(frame().menuBar()))
        if (a->data().toInt() >= CMainFrame::kFirstRecentFileId &&
            a->data().toInt() < CMainFrame::kFirstRecentFileId + 16)
            ++shown;
    EXPECT_EQ(shown, 4);

    app.reset();
    ASSERT_TRUE(start());
    EXPECT_EQ(frame().recentFiles(), expected);
}

TEST_F(MainFrameTest, ViewMenuShowsAndHidesTheBarsWithCheckMarks) {
    ASSERT_TRUE(start());
    const std::pair<int, QWidget*> bars[] = {{32787, frame().settingBar()},
                                             {59392, frame().standardBar()},
                                             {59393, frame().statusBar()}};
    for (const auto& [id, bar] : bars) {
        QAction* action = frame().action(id);
        EXPECT_TRUE(action->isChecked()) << id;
        action->trigger();
        EXPECT_FALSE(bar->isVisible()) << id;
        EXPECT_FALSE(action->isChecked()) << id;
        action->trigger();
        EXPECT_TRUE(bar->isVisible()) << id;
        EXPECT_TRUE(action->isChecked()) << id;
    }
}

TEST_F(MainFrameTest, UnsavedWorkIsNeverThrownAwaySilently) {
    const QString first = picture("first.png");
    const QString other = picture("other.png");
    struct Case {
        const char* name;
        std::function<void(MainFrameTest&)> act;
    };
    const Case cases[] = {
        {"open", [&](MainFrameTest& t) { t.frame().openFile(other); }},
        {"open dialog",
         [&](MainFrameTest& t) {
             t.answers.fileName = other;
             t.frame().runCommand(57601);
         }},
        {"drop",
         [&](MainFrameTest& t) {
             QMimeData data;
             data.setUrls({QUrl::fromLocalFile(other)});
             // Qt delivers a drop to the widget that accepted the drag's entry.
             QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                   Qt::NoModifier);
             QApplication::sendEvent(&t.frame(), &enter);
             QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(&t.frame(), &drop);
             QTest::qWait(20); // the open is queued after the drop
         }},
        {"quit", [](MainFrameTest& t) { t.frame().runCommand(57665); }},
        {"new", [](MainFrameTest& t) { t.frame().runCommand(57600); }},
    };
    for (const Case& c : cases) {
        for (bool failingSave : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (failingSave ? ", save fails" : ", cancelled"));
            app.reset();
            answers = {};
            picture("first.png");
            ASSERT_TRUE(start({first}));
            ASSERT_TRUE(frame().runCommand(32815)); // Sharpen: modified, history 2
            const QByteArray image = imageBytes();
            if (failingSave) {
                // The picture's file is now a folder, which a save cannot replace.
                QFile::remove(first);
                QDir().mkdir(first);
                answers.answer = QMessageBox::Yes;
            }
            c.act(*this);
            EXPECT_EQ(answers.asked, QStringList{"Save changes to first.png?"});
            EXPECT_EQ(imageBytes(), image);
            EXPECT_EQ(doc().GetHistoryPos(), 2);
            EXPECT_EQ(doc().GetHistoryCount(), 2);
            EXPECT_TRUE(doc().IsModified());
            EXPECT_EQ(doc().GetPathName(), QFileInfo(first).absoluteFilePath());
            EXPECT_TRUE(frame().isVisible());
            if (failingSave) QDir().rmdir(first);
        }
    }

    // Yes saves, then the open goes ahead; No opens without saving.
    app.reset();
    answers = {};
    picture("first.png");
    ASSERT_TRUE(start({first}));
    ASSERT_TRUE(frame().runCommand(32815));
    answers.answer = QMessageBox::Yes;
    ASSERT_TRUE(frame().openFile(other));
    EXPECT_EQ(doc().GetPathName(), QFileInfo(other).absoluteFilePath());
    QImage saved(first);
    ASSERT_FALSE(saved.isNull());
    EXPECT_NE(saved.convertToFormat(QImage::Format_RGB888),
              QImage(other).convertToFormat(QImage::Format_RGB888).scaled(saved.size()))
        << "the sharpened picture was saved";
}

TEST_F(MainFrameTest, OptionBarWritesItsSettingsIntoTheDocument) {
    ASSERT_TRUE(start());
    CSettingBar& bar = *frame().settingBar();
    QSpinBox& pen = *bar.penWidthBox();
    struct Step {
        int from;
        int steps;
        int expected;
    };
    for (const Step& s : {Step{60, 1, 60}, Step{1, -1, 1}, Step{4, 3, 7}}) {
        pen.setValue(s.from);
        pen.stepBy(s.steps);
        EXPECT_EQ(doc().m_nPenWidth, s.expected) << s.from << "+" << s.steps;
    }
    bar.alphaSlider()->setValue(128);
    EXPECT_EQ(bar.alphaField()->text(), QStringLiteral("128"));
    EXPECT_EQ(doc().m_nAlpha, 128);
    EXPECT_EQ(doc().m_crForeground, 0x80FFFFFFu);
    EXPECT_EQ(doc().m_crBackground, 0x80000000u);

    // A chosen colour lands in the swatch; a cancelled chooser keeps it, and
    // both clicks write the settings.
    answers.color = QColor(10, 20, 30);
    QTest::mouseClick(bar.swatch(false), Qt::LeftButton);
    EXPECT_EQ(doc().m_crBackground, 0x800A141Eu);
    answers.color = QColor();
    doc().m_nPenWidth = 99;
    QTest::mouseClick(bar.swatch(false), Qt::LeftButton);
    EXPECT_EQ(doc().m_crBackground, 0x800A141Eu);
    EXPECT_EQ(doc().m_nPenWidth, 7);

    // The colour picker's swatch reaches the document at the next push.
    bar.SetForegroundSwatch(QColor(1, 2, 3));
    EXPECT_EQ(doc().m_crForeground, 0x80FFFFFFu);
    bar.PushSettings();
    EXPECT_EQ(doc().m_crForeground, 0x80010203u);
}

TEST_F(MainFrameTest, StatusBarPanesAndLockIndicators) {
    ASSERT_TRUE(start());
    for (int id : CMainFrame::kPaneIds)
        ASSERT_TRUE(frame().pane(id)) << id;
    emit frame().view().paneTextChanged(101, QStringLiteral("x:1234,y:1234,0.660000 "));
    QLabel* zoom = frame().pane(101);
    EXPECT_EQ(zoom->text(), QStringLiteral("x:1234,y:1234,0.660000 "));
    EXPECT_GE(zoom->width(), zoom->fontMetrics().horizontalAdvance(zoom->text()));
    // The panes stand in the order 103, 102, 101 left to right.
    EXPECT_LT(frame().pane(103)->x(), frame().pane(102)->x());
    EXPECT_LT(frame().pane(102)->x(), frame().pane(101)->x());
    emit frame().view().lockKeysChanged(true, false);
    EXPECT_EQ(frame().lockIndicatorText(0), QStringLiteral("CAP"));
    EXPECT_EQ(frame().lockIndicatorText(1), QString());
    EXPECT_EQ(frame().lockIndicatorText(2), QString());
}

TEST_F(MainFrameTest, PrintsThePictureToAPdfPage) {
    ASSERT_TRUE(start({picture("print.png", 200, 150)}));
    const QString pdf = files.file("out.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(frame().printTo(printer));
    ASSERT_GT(QFileInfo(pdf).size(), 1000);
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) GTEST_SKIP() << "no pdftoppm";
    QProcess render;
    render.start("pdftoppm", {"-r", "30", "-png", "-singlefile", pdf, files.file("page")});
    ASSERT_TRUE(render.waitForFinished(30000));
    const QImage page(files.file("page.png"));
    ASSERT_FALSE(page.isNull());
    int inked = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            inked += page.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(inked, 100) << "the page shows the picture";
}

TEST_F(MainFrameTest, AboutBoxNamesTheProgramAndVersion) {
    ASSERT_TRUE(start());
    const auto box = frame().makeAboutBox();
    EXPECT_EQ(box->windowTitle(), QStringLiteral("About Lumaset"));
    EXPECT_EQ(box->text(), QStringLiteral("Lumaset Version 1.0"));
    EXPECT_FALSE(box->iconPixmap().isNull());
}

TEST_F(MainFrameTest, IconsDrawInThePalettesColours) {
    ASSERT_TRUE(start());
    // The text tool's icon is outline only: on a dark desktop it turns light.
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::WindowText, QColor(240, 240, 240));
    QApplication::setPalette(dark);
    const QIcon icon = ThemedIcon(32780);
    const QImage normal = icon.pixmap(24, 24).toImage();
    const QImage disabled = icon.pixmap(QSize(24, 24), QIcon::Disabled).toImage();
    QApplication::setPalette(light);
    int opaque = 0, lightPixels = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const QRgb p = normal.pixel(x, y);
            if (qAlpha(p) < 200) continue;
            ++opaque;
            lightPixels += qGray(p) > 200;
        }
    EXPECT_GT(opaque, 20);
    EXPECT_EQ(lightPixels, opaque);
    EXPECT_NE(normal, disabled);
}

// A session a crash left in the backup folder is offered at start: Yes
// restores the picture with its history and marks it modified, No removes it.
TEST_F(MainFrameTest, StartOffersToRestoreACrashedSession) {
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        const QString crashed = backups.file("session-1");
        const QString opened = picture("a.png");
        std::unique_ptr<Bitmap> expected;
        {
            TempDir live;
            CLumasetDoc killed(nullptr, live.path());
            ASSERT_TRUE(killed.OnOpenDocument(opened));
            killed.SetImage(MakePatternBitmap(40, 30, PixelFormat24bppRGB, 7));
            killed.PushBackup(false);
            killed.backups().flush();
            expected = killed.GetImage()->Clone();
            QDir().mkpath(crashed);
            for (const QString& name : QDir(live.path()).entryList({"Lumaset.*"}, QDir::Files))
                QFile::copy(live.file(name), crashed + "/" + name);
        }
        answers.answer = answer;
        answers.asked.clear();
        ASSERT_TRUE(start());
        EXPECT_EQ(answers.asked,
                  QStringList{"Lumaset closed unexpectedly. Restore the picture and its history?"});
        EXPECT_FALSE(QFileInfo::exists(crashed));
        if (answer == QMessageBox::Yes) {
            EXPECT_TRUE(SameBitmaps(*expected, *doc().GetImage()));
            EXPECT_EQ(doc().GetHistoryPos(), 2);
            EXPECT_TRUE(doc().IsModified());
            EXPECT_EQ(doc().GetPathName(), QFileInfo(opened).absoluteFilePath());
            ASSERT_TRUE(doc().StepHistory(true));
            EXPECT_TRUE(SameBitmaps(*DecodeImageFile(opened).bitmap, *doc().GetImage()));
        } else {
            EXPECT_EQ(doc().GetHistoryCount(), 0);
        }
        EXPECT_TRUE(answers.told.isEmpty()) << answers.told.join("\n").toStdString();
        app.reset();
    }
}

} // namespace

// File ends with Save Recipe and Apply Recipe; applying lists the steps and
// runs them as lumaset-cli does, one history entry per command.
TEST_F(MainFrameTest, RecipesAreSavedAndAppliedFromTheFileMenu) {
    const QString photo = picture("p.png", 60, 40);
    ASSERT_TRUE(start({photo}));
    const QList<QAction*> file = frame().menuBar()->actions().first()->menu()->actions();
    ASSERT_GE(file.size(), 3);
    EXPECT_EQ(file[file.size() - 2]->data().toInt(), 32900);
    EXPECT_EQ(file.last()->data().toInt(), 32901);

    const QString recipe = files.file("r.txt");
    QFile out(recipe);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("# a recipe\n--select ellipse:5,5,40,25\n--do GaussBlur\n--select none\n"
              "--do Brightness/Contrast:brightness=30,contrast=0\n");
    out.close();
    answers.recipeFile = recipe;
    ASSERT_TRUE(frame().runCommand(32901));
    EXPECT_EQ(answers.recipeShown.size(), 4);
    EXPECT_EQ(answers.recipeShown.value(3), "--do Brightness/Contrast:brightness=30,contrast=0");
    EXPECT_EQ(doc().GetHistoryPos(), 3);
    EXPECT_TRUE(answers.asked.isEmpty() && answers.told.isEmpty())
        << answers.told.join('|').toStdString();

    // The same bytes as lumaset-cli gives, and Undo takes back one step.
    const CliRun cli = RunCli({"--backup-dir", backups.file("cli"), "--recipe", recipe, photo, "-o",
                               files.file("cli.png")});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    ASSERT_TRUE(doc().OnSaveDocument(files.file("editor.png")));
    QFile a(files.file("cli.png")), b(files.file("editor.png"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());

    // Save Recipe writes the steps up to the history position.
    ASSERT_TRUE(frame().runCommand(57643));
    answers.recipeFile = files.file("saved.txt");
    ASSERT_TRUE(frame().runCommand(32900));
    QFile saved(answers.recipeFile);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().endsWith("--select ellipse:5,5,40,25\n--do GaussBlur\n"));

    // Gestures run in image pixels as lumaset-cli runs them; a bad line is
    // refused before anything runs, naming the line.
    out.open(QIODevice::WriteOnly);
    out.write("--fg #FF00FF00\n--pen-width 3\n--gesture Draw line:1,1;30,20\n");
    out.close();
    answers.recipeFile = recipe;
    ASSERT_TRUE(frame().runCommand(32901));
    EXPECT_EQ(doc().GetHistoryPos(), 3);
    const QString step = doc().GetHistoryStep(2);
    EXPECT_TRUE(step.startsWith("--fg #FF00FF00\n")) << step.toStdString();
    EXPECT_TRUE(step.endsWith("\n--pen-width 3\n--alpha 255\n--select none\n"
                              "--gesture Draw line:1,1;30,20"))
        << step.toStdString();
    out.open(QIODevice::WriteOnly);
    out.write("--do Gray\n--gesture Pen:1,1\n");
    out.close();
    answers.recipeShown.clear();
    frame().runCommand(32901);
    EXPECT_TRUE(answers.recipeShown.isEmpty());
    EXPECT_EQ(doc().GetHistoryPos(), 3);
    ASSERT_EQ(answers.told.size(), 1);
    EXPECT_TRUE(answers.told[0].startsWith(recipe + ":2: unknown tool 'Pen'"))
        << answers.told[0].toStdString();
}
