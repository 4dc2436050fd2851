// SPDX-License-Identifier: GPL-3.0-or-later
// Backup snapshots that in-place edits cannot reach, and crash recovery from
// the journal, whole and damaged.
#include "core/graphics.h"
#include "document/lumaset_doc.h"
#include "document/session_journal.h"
#include "testing/test_images.h"

#include <QDir>
#include <QFile>

namespace {

// Sets pixel (0, 0)'s first byte to value in place, as Add Noise or a tool
// stroke changes the document image, and records the step.
void editInPlace(CLumasetDoc& doc, std::uint8_t value) {
    {
        ScopedLock lock(*doc.GetImage());
        lock.pixel(0, 0)[0] = value;
    }
    doc.PushBackup(false);
}

std::uint8_t firstByte(CLumasetDoc& doc) {
    return std::uint8_t(PixelBytes(*doc.GetImage(), 0, 0)[0]);
}

// What a killed program leaves: its journal and backups, copied while it
// still runs (a normal end deletes them).
void copySession(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList({"Lumaset.*"}, QDir::Files))
        QFile::copy(from + "/" + name, to + "/" + name);
}

// A 24-bit picture with steps whose first bytes are 0 (the opened picture), 1,
// 2, 3, 4, then undone once: position 4 of 5.
void makeHistory(CLumasetDoc& doc) {
    doc.SetImage(MakePatternBitmap(12, 9, PixelFormat24bppRGB));
    editInPlace(doc, 0);
    for (std::uint8_t v = 1; v <= 4; ++v)
        editInPlace(doc, v);
    ASSERT_TRUE(doc.StepHistory(true));
    doc.backups().flush();
}

} // namespace

TEST(Snapshot, InPlaceWritesAfterAPushLeaveTheBackupExact) {
    for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB}) {
        TempDir backups;
        CLumasetDoc doc(nullptr, backups.path());
        doc.SetImage(MakePatternBitmap(64, 48, format));
        const auto expected = doc.GetImage()->Clone();
        doc.PushBackup(false);
        const QString file = doc.GetHistoryFile(0);
        // Straight after the push, before the writer can be done: a lock, a
        // painter and a raw row write all change the image in place.
        {
            ScopedLock lock(*doc.GetImage());
            std::memset(lock.row(0), 0x5A, std::size_t(lock.stride()));
        }
        MakeGraphics(*doc.GetImage())->fillRect(0, 10, 64, 10, Qt::red);
        std::memset(doc.GetImage()->image().scanLine(30), 0xA5, 10);
        for (int pass = 0; pass < 2; ++pass) { // from memory, then from the file
            auto read = doc.backups().read(file, nullptr);
            ASSERT_TRUE(read);
            Bitmap back(*read);
            EXPECT_TRUE(SameBitmaps(*expected, back))
                << PixelFormatName(format) << " pass " << pass;
            doc.backups().flush();
        }
    }
}

TEST(Recovery, RoundTripKeepsPictureHistoryAndPath) {
    TempDir backups, crashed, again;
    CLumasetDoc doc(nullptr, backups.path());
    makeHistory(doc);
    copySession(backups.path(), crashed.path());

    const InspectedSession session = InspectSession(crashed.path());
    EXPECT_EQ(session.problem, "");
    EXPECT_EQ(session.kept.position, 4);
    EXPECT_EQ(session.kept.steps.size(), 5u);
    CLumasetDoc restored(nullptr, again.path());
    QString problem;
    ASSERT_TRUE(restored.RestoreSession(session, &problem)) << problem.toStdString();
    EXPECT_TRUE(SameBitmaps(*doc.GetImage(), *restored.GetImage()));
    EXPECT_TRUE(restored.IsModified());
    EXPECT_EQ(restored.GetHistoryCount(), 5);
    for (int v = 2; v >= 0; --v) {
        ASSERT_TRUE(restored.StepHistory(true));
        EXPECT_EQ(firstByte(restored), v);
    }
    for (int v = 1; v <= 4; ++v) {
        ASSERT_TRUE(restored.StepHistory(false));
        EXPECT_EQ(firstByte(restored), v);
    }
    // The adopted backups are the new session's own: the old folder can go,
    // and the new journal names the new files, so a second crash recovers too.
    RemoveSessionFiles(crashed.path());
    restored.backups().flush();
    const InspectedSession second = InspectSession(again.path());
    EXPECT_EQ(second.problem, "");
    EXPECT_EQ(second.kept.position, 5);
    EXPECT_EQ(second.kept.steps.size(), 5u);
}

TEST(Recovery, DamagedSessionRestoresTheLatestIntactStep) {
    const struct {
        const char* damage;
        const char* problem; // start of the one-line report
        int position;        // of the steps kept
        int steps;
        int firstByte;
    } cases[] = {
        {"no journal", "the journal is missing", 5, 5, 4},
        {"cut journal", "the journal is cut short", 3, 3, 2},
        {"absent file", "Lumaset.temp.3 is missing", 3, 4, 2},
        {"unreadable file", "Lumaset.temp.3 is unreadable", 3, 4, 2},
        {"damaged journal", "the journal is damaged at line 2", 5, 5, 4},
    };
    TempDir backups;
    CLumasetDoc doc(nullptr, backups.path());
    makeHistory(doc);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damage);
        TempDir crashed, again;
        copySession(backups.path(), crashed.path());
        const QString journal = crashed.file(kJournalName);
        const QString damage = c.damage;
        QFile file(damage.contains("journal") ? journal : crashed.file("Lumaset.temp.3"));
        if (damage == "no journal") {
            file.remove();
        } else if (damage == "absent file") {
            file.remove();
        } else {
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            QByteArray text = file.readAll();
            if (damage == "cut journal") text.truncate(text.indexOf("step Lumaset.temp.3") + 10);
            if (damage == "unreadable file") text = "not a picture";
            if (damage == "damaged journal") text.replace("document", "docu ment");
            file.resize(0);
            file.write(text);
            file.close();
        }
        const InspectedSession session = InspectSession(crashed.path());
        EXPECT_TRUE(session.problem.startsWith(c.problem)) << session.problem.toStdString();
        EXPECT_FALSE(session.problem.contains('\n'));
        EXPECT_EQ(session.kept.position, c.position);
        EXPECT_EQ(int(session.kept.steps.size()), c.steps);
        CLumasetDoc restored(nullptr, again.path());
        QString problem;
        ASSERT_TRUE(restored.RestoreSession(session, &problem));
        EXPECT_EQ(restored.GetHistoryPos(), c.position);
        EXPECT_EQ(firstByte(restored), c.firstByte);
        // Undo reaches the first step over the gap.
        while (restored.CanUndo())
            ASSERT_TRUE(restored.StepHistory(true));
        EXPECT_EQ(firstByte(restored), 0);
    }
}

TEST(Recovery, TheJournalNamesOnlyCompleteBackupsAndGoesAtANormalEnd) {
    TempDir backups;
    {
        CLumasetDoc doc(nullptr, backups.path());
        doc.SetImage(MakePatternBitmap(8, 8, PixelFormat32bppARGB));
        doc.PushBackup(true);
        doc.backups().flush();
        QFile journal(backups.file(kJournalName));
        ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
        QString error;
        const SessionJournal j = ParseJournal(journal.readAll(), &error);
        EXPECT_EQ(error, "");
        ASSERT_EQ(j.steps.size(), 1u);
        EXPECT_EQ(j.steps[0].file, "Lumaset.temp.0");
        EXPECT_EQ(j.steps[0].format, PixelFormat32bppARGB);
        EXPECT_EQ(j.position, 1);
        EXPECT_FALSE(j.modified);
    }
    EXPECT_TRUE(QDir(backups.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}
