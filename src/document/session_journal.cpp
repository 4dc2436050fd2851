// SPDX-License-Identifier: GPL-3.0-or-later
// Writing, reading and checking the crash-recovery journal.
#include "document/session_journal.h"

#include "core/file_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLockFile>
#include <QRegularExpression>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QByteArray kMagic = "Lumaset journal 1";

// Flushes a file or folder to the disk; false when the system refuses.
bool syncPath(const QString& path, int flags) {
    const int fd = ::open(EncodeFileName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

PixelFormat formatFromName(const QByteArray& name) {
    for (PixelFormat f : {PixelFormat24bppRGB, PixelFormat32bppARGB})
        if (name == PixelFormatName(f)) return f;
    return 0;
}

// Why the backup file cannot serve as step: empty when it can. A step known
// only by its file takes the size and format from the file's header.
QString stepProblem(const QString& folder, JournalStep& step) {
    const QString path = folder + "/" + step.file;
    if (!QFileInfo::exists(path)) return step.file + " is missing";
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid()) return step.file + " is unreadable";
    if (step.width && (size.width() != step.width || size.height() != step.height))
        return QStringLiteral("%1 is %2 x %3, not %4 x %5")
            .arg(step.file)
            .arg(size.width())
            .arg(size.height())
            .arg(step.width)
            .arg(step.height);
    if (!step.width) {
        step.width = size.width();
        step.height = size.height();
        const QImage::Format format = reader.imageFormat();
        step.format = format == QImage::Format_ARGB32 || format == QImage::Format_RGBA8888
                          ? PixelFormat32bppARGB
                          : PixelFormat24bppRGB;
    }
    return {};
}

// Without a journal the backups themselves are the history, in the order of
// their numbers.
SessionJournal journalFromFiles(const QString& folder) {
    static const QRegularExpression name(QStringLiteral("^Lumaset\\.temp\\.(\\d+)$"));
    std::vector<std::pair<qint64, QString>> found;
    for (const QString& file : QDir(folder).entryList(QDir::Files))
        if (const auto m = name.match(file); m.hasMatch())
            found.emplace_back(m.captured(1).toLongLong(), file);
    std::sort(found.begin(), found.end());
    SessionJournal journal;
    journal.modified = true;
    for (const auto& [number, file] : found)
        journal.steps.push_back({file, 0, 0, 0});
    journal.position = int(journal.steps.size());
    return journal;
}

} // namespace

QByteArray FormatJournal(const SessionJournal& journal) {
    QByteArray text = kMagic + "\n";
    text += "document " + EncodeFileName(journal.documentPath).toPercentEncoding() + "\n";
    text += "modified " + QByteArray(journal.modified ? "1" : "0") + "\n";
    text += "position " + QByteArray::number(journal.position) + "\n";
    for (const JournalStep& step : journal.steps)
        text += "step " + EncodeFileName(step.file).toPercentEncoding() + " " +
                QByteArray::number(step.width) + " " + QByteArray::number(step.height) + " " +
                PixelFormatName(step.format) + "\n";
    text += "end " + QByteArray::number(qsizetype(journal.steps.size())) + "\n";
    return text;
}

SessionJournal ParseJournal(const QByteArray& text, QString* error) {
    SessionJournal journal;
    QString problem = QStringLiteral("the journal is cut short");
    const QList<QByteArray> lines = text.split('\n');
    if (lines.value(0) != kMagic) problem = QStringLiteral("the journal is not a Lumaset journal");
    for (qsizetype i = 1; i < lines.size() && lines[0] == kMagic; ++i) {
        const QList<QByteArray> words = lines[i].split(' ');
        const QByteArray& key = words[0];
        bool ok = words.size() == 2;
        if (key == "document" && ok) {
            journal.documentPath = DecodeFileName(QByteArray::fromPercentEncoding(words[1]));
        } else if (key == "modified" && ok) {
            journal.modified = words[1] == "1";
        } else if (key == "position" && ok) {
            journal.position = words[1].toInt(&ok);
        } else if (key == "step" && words.size() == 5) {
            JournalStep step;
            step.file = DecodeFileName(QByteArray::fromPercentEncoding(words[1]));
            bool w = false, h = false;
            step.width = words[2].toInt(&w);
            step.height = words[3].toInt(&h);
            step.format = formatFromName(words[4]);
            // A step naming anything but a plain file in the folder is not ours.
            ok = w && h && step.format && !step.file.contains('/') && step.file != ".." &&
                 step.file != ".";
            if (ok) journal.steps.push_back(step);
        } else if (key == "end" && ok) {
            if (words[1].toLongLong() == qsizetype(journal.steps.size())) problem.clear();
            break;
        } else {
            ok = false;
        }
        if (!ok) {
            // An unfinished last line is a cut, anything else damage.
            if (i + 1 < lines.size())
                problem = QStringLiteral("the journal is damaged at line %1").arg(i + 1);
            break;
        }
    }
    journal.position = std::clamp(journal.position, 0, int(journal.steps.size()));
    if (error) *error = problem;
    return journal;
}

bool WriteJournalFile(const QString& folder, const SessionJournal& journal) {
    const QString path = folder + "/" + kJournalName;
    const QString temp = path + ".part";
    QFile file(temp);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray text = FormatJournal(journal);
    bool ok = file.write(text) == text.size() && file.flush() && ::fsync(file.handle()) == 0;
    file.close();
    ok = ok && ::rename(EncodeFileName(temp).constData(), EncodeFileName(path).constData()) == 0;
    if (!ok) {
        QFile::remove(temp);
        return false;
    }
    // The rename itself reaches the disk with the folder.
    syncPath(folder, O_RDONLY | O_DIRECTORY);
    return true;
}

InspectedSession InspectSession(const QString& folder) {
    InspectedSession s;
    s.folder = folder;
    const QString path = folder + "/" + kJournalName;
    QFile file(path);
    SessionJournal recorded;
    QStringList problems;
    if (!file.open(QIODevice::ReadOnly)) {
        problems << QStringLiteral("the journal is missing");
        recorded = journalFromFiles(folder);
        s.time = QFileInfo(folder).lastModified();
    } else {
        QString error;
        recorded = ParseJournal(file.readAll(), &error);
        if (!error.isEmpty()) problems << error;
        // A journal damaged before its first step says nothing the files
        // themselves do not.
        if (recorded.steps.empty() && !error.isEmpty()) recorded = journalFromFiles(folder);
        s.time = QFileInfo(path).lastModified();
    }
    s.recordedSteps = int(recorded.steps.size());
    s.recordedPosition = recorded.position;
    s.kept = recorded;
    s.kept.steps.clear();
    s.kept.position = 0;
    int firstAfter = 0; // the first intact step after the recorded position
    for (int i = 0; i < int(recorded.steps.size()); ++i) {
        const QString problem = stepProblem(folder, recorded.steps[std::size_t(i)]);
        if (!problem.isEmpty()) {
            problems << problem;
            continue;
        }
        s.kept.steps.push_back(recorded.steps[std::size_t(i)]);
        if (i < recorded.position)
            s.kept.position = int(s.kept.steps.size());
        else if (!firstAfter)
            firstAfter = int(s.kept.steps.size());
    }
    if (!s.kept.position) s.kept.position = firstAfter;
    if (recorded.steps.empty() && problems.isEmpty()) problems << QStringLiteral("no steps");
    s.problem = problems.join("; ");
    return s;
}

std::vector<InspectedSession> FindRecoverableSessions(const QString& base, const QString& except) {
    std::vector<InspectedSession> sessions;
    QStringList folders{base};
    for (const QString& name : QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        folders << base + "/" + name;
    const QString skip = except.isEmpty() ? QString() : QFileInfo(except).absoluteFilePath();
    for (const QString& folder : folders) {
        if (QFileInfo(folder).absoluteFilePath() == skip) continue;
        if (!QFileInfo::exists(folder + "/" + kJournalName) || SessionInUse(folder)) continue;
        sessions.push_back(InspectSession(folder));
    }
    std::sort(sessions.begin(), sessions.end(),
              [](const auto& a, const auto& b) { return a.time > b.time; });
    return sessions;
}

bool SessionInUse(const QString& folder) {
    QLockFile lock(folder + "/.lumaset.lock");
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) return true;
    lock.unlock();
    return false;
}

void RemoveSessionFiles(const QString& folder) {
    QDir dir(folder);
    const QStringList files = dir.entryList(
        {QStringLiteral("Lumaset.*"), QStringLiteral(".lumaset.lock")}, QDir::Files | QDir::Hidden);
    for (const QString& file : files)
        dir.remove(file);
    dir.rmdir(folder);
}
