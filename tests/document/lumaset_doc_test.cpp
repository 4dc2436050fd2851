// SPDX-License-Identifier: GPL-3.0-or-later
#include "adjust/transforms.h"
#include "document/checkerboard.h"
#include "document/host.h"
#include "document/lumaset_doc.h"
#include "testing/test_images.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <utility>

namespace {

class RecordingHost : public Host {
  public:
    void showMessage(const QString& text, const QString& detail) override {
        messages << text + "|" + detail;
    }
    void showWarning(const QString& text) override { warnings << text; }
    bool confirm(const QString&) override {
        ++questions;
        return answer;
    }
    QStringList messages, warnings;
    int questions = 0;
    bool answer = false;
};

// Changes the image the way an edit does and records it.
void edit(CLumasetDoc& doc, std::uint8_t value) {
    auto copy = doc.GetImage()->Clone();
    ScopedLock lock(*copy);
    lock.pixel(0, 0)[0] = value;
    doc.SetImage(std::move(copy));
    doc.PushBackup(false);
}

std::uint8_t firstByte(CLumasetDoc& doc) {
    return std::uint8_t(PixelBytes(*doc.GetImage(), 0, 0)[0]);
}

} // namespace

TEST(Document, NewImageAndBackground) {
    TempDir backups;
    RecordingHost host;
    CLumasetDoc doc(&host, backups.path());
    doc.m_nWidth = 25;
    doc.m_nHeight = 14;
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetImage()->GetPixelFormat(), PixelFormat32bppARGB);
    EXPECT_EQ(PixelBytes(*doc.GetImage(), 24, 13), std::string(4, '\0'));
    const Checkerboard& bg = doc.m_background;
    EXPECT_EQ(bg.width(), 25);
    EXPECT_EQ(bg.height(), 14);
    EXPECT_EQ(bg.colourAt(0, 0), 0xFF9B9B9Bu);
    EXPECT_EQ(bg.colourAt(9, 9), 0xFF9B9B9Bu);
    EXPECT_EQ(bg.colourAt(10, 0), 0xFFFFFFFFu);
    EXPECT_EQ(bg.colourAt(19, 9), 0xFFFFFFFFu);
    EXPECT_EQ(bg.colourAt(20, 0), 0u); // the 5-column strip
    EXPECT_EQ(bg.colourAt(0, 10), 0u); // the 4-row strip
    EXPECT_EQ(doc.GetHistoryPos(), 0);
    EXPECT_FALSE(doc.IsModified());
}

// The board as computed matches the bitmap it stands for (squares painted
// over a transparent image), turned by Rotate through every quarter turn.
TEST(Document, CheckerboardTurnsWithTheImage) {
    for (const auto& [width, height] :
         {std::pair{25, 14}, std::pair{30, 20}, std::pair{7, 31}, std::pair{1, 1}}) {
        std::unique_ptr<Bitmap> painted =
            std::make_unique<Bitmap>(width, height, PixelFormat32bppARGB);
        {
            ScopedLock lock(*painted);
            for (int y = 0; y < height / 10 * 10; ++y)
                for (int x = 0; x < width / 10 * 10; ++x) {
                    const std::uint8_t v = (x / 10) % 2 == (y / 10) % 2 ? 155 : 255;
                    std::uint8_t* p = lock.pixel(x, y);
                    p[0] = p[1] = p[2] = v;
                    p[3] = 255;
                }
        }
        Checkerboard board(width, height);
        for (double degrees : {90.0, -90.0, -90.0, -180.0, 90.0, 180.0}) {
            painted = Rotate(*painted, degrees);
            board.rotate(degrees);
            ScopedLock lock(*painted);
            ASSERT_EQ(board.width(), lock.width());
            ASSERT_EQ(board.height(), lock.height());
            for (int y = 0; y < lock.height(); ++y)
                for (int x = 0; x < lock.width(); ++x) {
                    ARGB expected;
                    std::memcpy(&expected, lock.pixel(x, y), 4);
                    ASSERT_EQ(board.colourAt(x, y), expected)
                        << width << "x" << height << " at " << x << "," << y;
                }
        }
        EXPECT_EQ(board.colourAt(-1, 0), 0u);
        EXPECT_EQ(board.colourAt(0, board.height()), 0u);
    }
}

TEST(History, TheBackupSequence) {
    TempDir backups;
    RecordingHost host;
    QStringList files;
    {
        CLumasetDoc doc(&host, backups.path());
        ASSERT_TRUE(doc.OnOpenDocument(TestDataPath("coffee.png")));
        EXPECT_FALSE(doc.CanUndo());
        EXPECT_FALSE(doc.CanRedo());
        EXPECT_FALSE(doc.IsModified());
        edit(doc, 1);
        edit(doc, 2);
        edit(doc, 3);
        EXPECT_TRUE(doc.IsModified());
        ASSERT_TRUE(doc.StepHistory(true));
        ASSERT_TRUE(doc.StepHistory(true));
        EXPECT_EQ(firstByte(doc), 1);
        EXPECT_TRUE(doc.CanRedo());
        edit(doc, 9);
        EXPECT_FALSE(doc.CanRedo());
        EXPECT_EQ(doc.GetHistoryPos(), 3);
        doc.backups().flush();
        files = QDir(backups.path()).entryList({"Lumaset.temp.*"}, QDir::Files, QDir::Name);
        // The discarded redo entries are gone; every entry has a name of its own.
        EXPECT_EQ(files, QStringList({"Lumaset.temp.0", "Lumaset.temp.1", "Lumaset.temp.4"}));
        // Entries read back from their files.
        ASSERT_TRUE(doc.StepHistory(true));
        EXPECT_EQ(firstByte(doc), 1);
        ASSERT_TRUE(doc.StepHistory(false));
        EXPECT_EQ(firstByte(doc), 9);
        EXPECT_EQ(doc.GetImage()->GetPixelFormat(), PixelFormat24bppRGB);
    }
    EXPECT_TRUE(QDir(backups.path()).entryList({"Lumaset.temp.*"}, QDir::Files).isEmpty());
    EXPECT_TRUE(host.messages.isEmpty()) << host.messages.join("\n").toStdString();
}

TEST(History, TranslucentPixelsComeBackExactly) {
    TempDir backups;
    CLumasetDoc doc(nullptr, backups.path());
    doc.m_nWidth = 16;
    doc.m_nHeight = 16;
    doc.OnNewDocument();
    doc.SetImage(MakePatternBitmap(16, 16, PixelFormat32bppARGB));
    doc.PushBackup(false);
    auto expected = doc.GetImage()->Clone();
    edit(doc, 7);
    doc.backups().flush();
    ASSERT_TRUE(doc.StepHistory(true));
    EXPECT_TRUE(SameBitmaps(*expected, *doc.GetImage()));
}

TEST(History, UnreadableBackupChangesNothing) {
    TempDir backups;
    RecordingHost host;
    CLumasetDoc doc(&host, backups.path());
    ASSERT_TRUE(doc.OnOpenDocument(TestDataPath("chelsea.png")));
    edit(doc, 5);
    doc.backups().flush();
    QFile::remove(doc.GetHistoryFile(0));
    doc.SetModifiedFlag(false);
    EXPECT_FALSE(doc.StepHistory(true));
    EXPECT_EQ(doc.GetHistoryPos(), 2);
    EXPECT_EQ(firstByte(doc), 5);
    EXPECT_FALSE(doc.IsModified());
    ASSERT_EQ(host.messages.size(), 1);
}

TEST(Document, RefusedFileKeepsTheDocument) {
    TempDir dir;
    RecordingHost host;
    CLumasetDoc doc(&host, dir.file("b"));
    ASSERT_TRUE(doc.OnOpenDocument(TestDataPath("chelsea.png")));
    QFile junk(dir.file("junk.png"));
    junk.open(QIODevice::WriteOnly);
    junk.write("not a picture at all");
    junk.close();
    EXPECT_FALSE(doc.OnOpenDocument(dir.file("junk.png")));
    EXPECT_EQ(doc.m_nWidth, 451);
    EXPECT_EQ(doc.GetHistoryPos(), 1);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_TRUE(host.messages[0].contains("junk.png"));
}

TEST(Document, SavingOverADamagedFileAsksFirst) {
    TempDir dir;
    RecordingHost host;
    QFile src(TestDataPath("rocket.jpg"));
    src.open(QIODevice::ReadOnly);
    const QByteArray half = src.readAll().left(40000);
    QFile cut(dir.file("cut.jpg"));
    cut.open(QIODevice::WriteOnly);
    cut.write(half);
    cut.close();
    CLumasetDoc doc(&host, dir.file("b"));
    ASSERT_TRUE(doc.OnOpenDocument(dir.file("cut.jpg")));
    EXPECT_TRUE(doc.IsDamaged());
    EXPECT_EQ(host.warnings.size(), 1);
    EXPECT_FALSE(doc.OnSaveDocument(dir.file("cut.jpg")));
    EXPECT_EQ(QFileInfo(dir.file("cut.jpg")).size(), half.size());
    EXPECT_TRUE(doc.OnSaveDocument(dir.file("other.jpg"))); // another name needs no question
    EXPECT_EQ(host.questions, 1);
    host.answer = true;
    EXPECT_TRUE(doc.OnSaveDocument(dir.file("cut.jpg")));
    EXPECT_NE(QFileInfo(dir.file("cut.jpg")).size(), half.size());
}

TEST(Document, FailedSaveKeepsModifiedFlagAndPath) {
    TempDir dir;
    RecordingHost host;
    CLumasetDoc doc(&host, dir.file("b"));
    ASSERT_TRUE(doc.OnOpenDocument(TestDataPath("chelsea.png")));
    const QString opened = doc.GetPathName();
    doc.SetModifiedFlag(true);
    EXPECT_FALSE(doc.OnSaveDocument(dir.file("no/such/folder/x.png")));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), opened);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_TRUE(host.messages[0].startsWith("Failed to save|"));
    EXPECT_TRUE(host.messages[0].contains("x.png"));
    // The same document saves where it can.
    EXPECT_TRUE(doc.OnSaveDocument(dir.file("x.png")));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), dir.file("x.png"));
}

TEST(BackupStore, TwoProgramsNeverShareAFolder) {
    TempDir dir;
    BackupStore first(dir.file("BackUp"));
    BackupStore second(dir.file("BackUp"));
    EXPECT_EQ(first.folder(), dir.file("BackUp"));
    EXPECT_NE(second.folder(), first.folder());
    EXPECT_EQ(second.folder(),
              dir.file("BackUp") +
                  QStringLiteral("/instance-%1").arg(QCoreApplication::applicationPid()));
    EXPECT_TRUE(second.error().isEmpty());
}

// Quick edits far ahead of the writer wait for it rather than holding every
// picture in memory, and every backup still comes back exact.
TEST(BackupStore, AWriterFarBehindHoldsTheCallerBack) {
    TempDir dir;
    BackupStore store(dir.file("BackUp"));
    ASSERT_TRUE(store.ensureFolder());
    std::vector<std::pair<QString, QImage>> pictures;
    for (unsigned i = 0; i < 8; ++i)
        pictures.emplace_back(store.newPath(),
                              MakePatternBitmap(1000, 800, PixelFormat24bppRGB, i)->image());
    const std::size_t limit = 2 * std::size_t(pictures[0].second.sizeInBytes());
    store.setPendingLimit(limit);
    for (const auto& [path, picture] : pictures) {
        store.write(path, picture);
        EXPECT_LE(store.pendingBytes(), limit);
    }
    store.flush();
    for (const auto& [path, picture] : pictures) {
        QString error;
        const std::optional<QImage> back = store.read(path, &error);
        ASSERT_TRUE(back) << error.toStdString();
        EXPECT_EQ(back->convertToFormat(picture.format()), picture);
    }
}
