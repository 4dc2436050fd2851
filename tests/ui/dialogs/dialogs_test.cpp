// SPDX-License-Identifier: GPL-3.0-or-later
// Every dialog as a widget, offscreen: its controls and texts, and a change of
// a control repainting the preview. With LUMASET_DIALOG_SHOTS=DIR and an X
// display, each dialog is also shown and photographed into DIR.
#include "commands/clipboard_commands.h"
#include "core/codecs.h"
#include "testing/edit_session.h"
#include "ui/dialogs/adjust_dialogs.h"
#include "ui/dialogs/command_dialogs.h"
#include "ui/dialogs/curve_dialog.h"
#include "ui/dialogs/lomo_dialog.h"
#include "ui/dialogs/size_dialogs.h"
#include "ui/dialogs/text_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "test_dialogs";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

std::unique_ptr<Bitmap> photo() {
    CLumasetDoc doc;
    if (doc.OnOpenDocument(TestDataPath("chelsea.png"))) return doc.GetImage()->Clone();
    return MakePatternBitmap(300, 200, PixelFormat24bppRGB);
}

// Every text the dialog shows: labels, buttons, group titles, list entries and fields.
QStringList textsOf(QWidget* dialog) {
    QStringList texts{dialog->windowTitle()};
    for (auto* w : dialog->findChildren<QLabel*>())
        texts << w->text();
    for (auto* w : dialog->findChildren<QAbstractButton*>())
        texts << w->text();
    for (auto* w : dialog->findChildren<QGroupBox*>())
        texts << w->title();
    for (auto* w : dialog->findChildren<QLineEdit*>())
        texts << w->text();
    for (auto* w : dialog->findChildren<QComboBox*>())
        for (int i = 0; i < w->count(); ++i)
            texts << w->itemText(i);
    return texts;
}

QWidget* control(QWidget* dialog, int id) {
    return dialog->findChild<QWidget*>(QString::number(id));
}

QImage grabControl(QWidget* dialog, int id) {
    return control(dialog, id)->grab().toImage();
}

struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<QDialog>(Bitmap& image)> make;
    QStringList texts;
    int previewId;                        // 0: no preview
    std::function<void(QDialog*)> change; // a control change that alters the preview
};

void moveSlider(QDialog* d, int id, int value) {
    auto* slider = qobject_cast<QSlider*>(control(d, id));
    ASSERT_TRUE(slider) << id;
    slider->setValue(value);
}

const DialogCase kCases[] = {
    {"blend",
     [](Bitmap& i) { return std::make_unique<CBlend>(i, nullptr); },
     {"Blend", "Source", "Channel:", "RGB", "Blue", "Blend Mode", "Mode:", "Darken", "Exclusion",
      "Alpha:", "100", "%", "OK", "Cancel"},
     1093,
     [](QDialog* d) { qobject_cast<QComboBox*>(control(d, 1091))->setCurrentIndex(16); }},
    {"brightness_contrast",
     [](Bitmap& i) { return std::make_unique<CBriandCont>(i, nullptr, nullptr); },
     {"Brightness and Contrast", "ColorBalance", "Bright", "Contrast", "0", "Reset", "OK",
      "Cancel"},
     1057,
     [](QDialog* d) { moveSlider(d, 1065, 120); }},
    {"color_balance",
     [](Bitmap& i) { return std::make_unique<CColorBalance>(i, nullptr, nullptr); },
     {"ColorBalance", "Red", "Green", "Blue", "Reset", "OK", "Cancel"},
     1057,
     [](QDialog* d) { moveSlider(d, 1059, -200); }},
    {"gamma",
     [](Bitmap& i) { return std::make_unique<CGammaDlg>(i, nullptr); },
     {"Gamma", "Bright", "0.020000", "Reset", "OK", "Cancel"},
     1057,
     [](QDialog* d) { moveSlider(d, 1069, 50); }},
    {"curve",
     [](Bitmap& i) { return std::make_unique<CCurve>(i, nullptr); },
     {"Curve", "Preview", "Static", "Reset", "OK", "Cancel"},
     1086,
     [](QDialog* d) {
         QWidget* area = control(d, 1087);
         QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(area->width() / 2, area->height() / 5));
     }},
    {"lomo",
     [](Bitmap& i) { return std::make_unique<CLOMODlg>(i, nullptr); },
     {"LOMO", "Cyan", "Magenta", "Yellow", "Black", "White", "Gramma", "Ratio", "Alpha", "-80",
      "1.20", "0.40", "210", "Reset", "OK", "Cancel"},
     1057,
     [](QDialog* d) { moveSlider(d, 1077, 120); }},
    {"resize",
     [](Bitmap&) { return std::make_unique<CResizeDlg>(6000, 4000, nullptr); },
     {"Resize", "Width", "Height", "Restrict", "OK", "Cancel"},
     0,
     nullptr},
    {"new_file",
     [](Bitmap&) { return std::make_unique<CNewFileDialog>(600, 400, nullptr); },
     {"New File", "Size", "Width:", "Height:", "OK", "Cancel"},
     0,
     nullptr},
    {"text",
     [](Bitmap& i) { return std::make_unique<CTextDialog>(i, 20, 30, nullptr); },
     {"Text",
      "Text:",
      "Lumaset",
      "Font:",
      "Arial Black, 48 Regular",
      "Change Font",
      "Effect:",
      "Single Outline",
      "Double Outline",
      "Plain Text",
      "Gradient",
      "Color1:",
      "Color2:",
      "OutLine1:",
      "OutLine2:",
      "Shadow:",
      "Thick:",
      "Alpha:",
      "255",
      "128",
      "X:",
      "20",
      "Y:",
      "30",
      "OffX:",
      "OffY:",
      "4",
      "Add Text",
      "Cancel"},
     10001,
     [](QDialog* d) { qobject_cast<QLineEdit*>(control(d, 1000))->setText("Hello\\nworld"); }},
};

// Shows the dialog on the X display and saves a screenshot of its area.
void photograph(QDialog* dialog, const QString& folder, const char* name) {
    dialog->move(20, 20);
    dialog->show();
    QTest::qWait(400);
    const QRect r = dialog->frameGeometry();
    const QString crop =
        QStringLiteral("%1x%2+%3+%4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
    QProcess::execute("import", {"-window", "root", "-crop", crop, folder + "/" + name + ".png"});
    dialog->hide();
}

} // namespace

TEST(Dialogs, ControlsTextsAndLivePreview) {
    app();
    auto image = photo();
    const QString shots = qEnvironmentVariable("LUMASET_DIALOG_SHOTS");
    for (const DialogCase& c : kCases) {
        SCOPED_TRACE(c.name);
        auto dialog = c.make(*image);
        const QStringList texts = textsOf(dialog.get());
        for (const QString& t : c.texts)
            EXPECT_TRUE(texts.contains(t)) << "missing text \"" << t.toStdString() << '"';
        if (!shots.isEmpty()) photograph(dialog.get(), shots, c.name);
        if (!c.previewId) continue;
        ASSERT_TRUE(control(dialog.get(), c.previewId));
        const QImage before = grabControl(dialog.get(), c.previewId);
        c.change(dialog.get());
        EXPECT_NE(grabControl(dialog.get(), c.previewId), before) << "the preview did not change";
    }
}

TEST(Dialogs, ResizeKeepsTheRatioAndRefusesHugeSizes) {
    app();
    CResizeDlg dialog(6000, 4000, nullptr); // above the arrows' 2000: kept as it is
    auto* width = qobject_cast<QSpinBox*>(control(&dialog, 1034));
    auto* height = qobject_cast<QSpinBox*>(control(&dialog, 1035));
    EXPECT_EQ(width->value(), 6000);
    EXPECT_EQ(height->value(), 4000);
    width->setValue(300);
    EXPECT_EQ(height->value(), 200);
    QTest::keyClick(height, Qt::Key_Up);
    EXPECT_EQ(height->value(), 201);
    EXPECT_EQ(width->value(), 302); // trunc(201 * 1.5 + 0.5)

    // 30000 x 20000 lies within the side limit but above 1 GiB: refused, the dialog stays.
    width->setValue(30000);
    QString message;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = box->text();
            box->close();
        }
    });
    dialog.accept();
    EXPECT_EQ(message, ImageSizeRefusal());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(Dialogs, NewFileProposesTheClipboardSize) {
    app();
    QApplication::clipboard()->setImage(QImage(123, 45, QImage::Format_ARGB32));
    EditSession s(MakePatternBitmap(8, 8, PixelFormat24bppRGB));
    const CommandDef& command = *FindCommand(57600);
    QSize shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        shown = QSize(qobject_cast<QSpinBox*>(control(dialog, 1034))->value(),
                      qobject_cast<QSpinBox*>(control(dialog, 1035))->value());
        dialog->accept();
    });
    const std::optional<Params> values =
        RunCommandDialog(nullptr, command, s.context, Params(command.params));
    EXPECT_EQ(shown, QSize(123, 45));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->integer("width"), 123);
    EXPECT_EQ(values->integer("height"), 45);
}

TEST(Dialogs, TextFieldsAndDragging) {
    app();
    auto image = photo();
    CTextDialog dialog(*image, 20, 30, nullptr);
    qobject_cast<QLineEdit*>(control(&dialog, 1014))->setText("300");
    qobject_cast<QLineEdit*>(control(&dialog, 1018))->setText("-7");
    EXPECT_EQ(dialog.style().inner.alpha(), 255);
    EXPECT_EQ(dialog.style().shadow.alpha(), 0);
    qobject_cast<QComboBox*>(control(&dialog, 1011))->setCurrentIndex(2);
    EXPECT_EQ(dialog.style().effect, TextPlain);

    auto* view = qobject_cast<QScrollArea*>(control(&dialog, 10001));
    QWidget* canvas = view->widget();
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseMove(canvas, QPoint(55, 52));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(55, 52));
    EXPECT_EQ(dialog.style().origin, QPoint(35, 42));
    EXPECT_EQ(qobject_cast<QLineEdit*>(control(&dialog, 1031))->text(), "20");
    EXPECT_EQ(qobject_cast<QLineEdit*>(control(&dialog, 1030))->text(), "30");

    // "Add Text" draws where the text was dragged.
    auto expected = image->Clone();
    RenderText(*expected, dialog.style());
    qobject_cast<QAbstractButton*>(control(&dialog, 1009))->click();
    EXPECT_TRUE(dialog.drew());
    EXPECT_TRUE(SameBitmaps(*expected, *image));
}

// Copy and Paste with another program on a real X display (xclip); skipped offscreen.
TEST(Dialogs, ClipboardSharedWithOtherApplications) {
    app();
    if (QGuiApplication::platformName() != "xcb" ||
        QStandardPaths::findExecutable("xclip").isEmpty())
        GTEST_SKIP() << "needs an X display and xclip";
    auto runXclip = [](const QStringList& args) {
        QProcess xclip;
        xclip.start("xclip", args);
        // Keep serving the clipboard while xclip asks for it.
        EXPECT_TRUE(QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 10000));
        return xclip.readAllStandardOutput();
    };

    // Our copy, read by xclip as PNG with its alpha.
    auto image = MakePatternBitmap(30, 20, PixelFormat32bppARGB, 4);
    EditSession source(image->Clone());
    ASSERT_EQ(source.run(57634, {}), CommandResult::Done);
    QImage received;
    ASSERT_TRUE(received.loadFromData(
        runXclip({"-selection", "clipboard", "-t", "image/png", "-o"}), "PNG"));
    EXPECT_EQ(received.convertToFormat(QImage::Format_ARGB32), image->image());

    // xclip's picture, pasted by us.
    TempDir dir;
    QImage offered(40, 10, QImage::Format_ARGB32);
    offered.fill(QColor(10, 200, 30, 255));
    ASSERT_TRUE(offered.save(dir.file("offered.png")));
    // xclip serves its picture until another program owns the clipboard.
    QProcess serving;
    serving.setProgram("xclip");
    serving.setArguments(
        {"-selection", "clipboard", "-t", "image/png", "-i", dir.file("offered.png")});
    serving.setStandardOutputFile(QProcess::nullDevice());
    serving.setStandardErrorFile(QProcess::nullDevice());
    ASSERT_TRUE(serving.startDetached());
    ASSERT_TRUE(QTest::qWaitFor([] { return ClipboardImageSize() == QSize(40, 10); }, 10000));
    EditSession target(std::make_unique<Bitmap>(50, 20, PixelFormat32bppARGB));
    ASSERT_EQ(target.run(57637, {}), CommandResult::Done);
    EXPECT_EQ(target.doc.GetImage()->image().pixel(39, 9), QColor(10, 200, 30).rgba());
    EXPECT_EQ(qAlpha(target.doc.GetImage()->image().pixel(45, 15)), 0);
    QGuiApplication::clipboard()->setText(QString()); // takes the clipboard back: xclip ends
}
