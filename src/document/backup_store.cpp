// SPDX-License-Identifier: GPL-3.0-or-later
// Background PNG writer and folder ownership for undo backups.
#include "document/backup_store.h"

#include "core/codecs.h"
#include "core/png_writer.h"

#include "core/file_names.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kWriterNice = 10;

QString cacheRoot() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty()) base = QDir::homePath() + "/.cache";
    return base + "/lumaset";
}

bool writableFolder(const QString& path) {
    QDir().mkpath(path);
    const QFileInfo info(path);
    return info.isDir() && info.isWritable();
}

// Why path cannot serve as a backup folder; empty when it can.
QString folderProblem(const QString& path) {
    if (writableFolder(path)) return {};
    QFileInfo info(path);
    if (info.exists() && !info.isDir()) return QStringLiteral("is not a folder");
    if (info.exists()) return QStringLiteral("the folder cannot be written");
    // The nearest existing folder above tells why it cannot be made.
    while (!info.exists() && info.absoluteFilePath() != info.absolutePath())
        info = QFileInfo(info.absolutePath());
    if (!info.isDir()) return QStringLiteral("%1 is not a folder").arg(info.filePath());
    return QStringLiteral("the folder cannot be created in %1").arg(info.filePath());
}

// Removes the per-instance folders inside base whose program has ended (their
// lock can be taken) and that hold no journal to recover.
void removeStaleInstances(const QString& base) {
    const QStringList instances =
        QDir(base).entryList({QStringLiteral("instance-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : instances) {
        const QString dir = base + "/" + name;
        bool isNumber = false;
        const qint64 pid = name.mid(9).toLongLong(&isNumber);
        if (isNumber && pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM))
            continue; // still running
        // A journal makes it a session to recover.
        if (QFileInfo::exists(dir + "/" + kJournalName)) continue;
        QLockFile lock(dir + "/.lumaset.lock");
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0)) continue;
        lock.unlock();
        QDir(dir).removeRecursively();
    }
}

// Backups are written often and read back rarely: the fastest zlib level
// keeps them lossless and smaller than the raw pixels at a fraction of the
// time of the default level.
// The file is flushed to the disk (WritePng does) before it takes its name:
// the journal may name it as soon as it is there.
bool writeBackupPng(const QImage& image, const QString& path, const std::atomic<bool>& drop) {
    const QString temp = path + ".part";
    if (!WritePng(image, temp, PngSpeed::Fast, &drop)) {
        QFile::remove(temp);
        return false;
    }
    QFile::remove(path);
    return QFile::rename(temp, path);
}

} // namespace

BackupStore::BackupStore(const QString& folder) {
    // Three gigabytes on a 24-gigabyte machine: forty 24-megapixel photos
    // may wait to be written before an edit waits for the writer.
    const std::size_t memory = std::size_t(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE);
    m_pendingLimit = std::max(std::size_t(512) << 20, memory / 8);
    m_folder = chooseFolder(folder);
    m_worker = std::thread([this] { run(); });
}

BackupStore::~BackupStore() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_queue.clear();
        m_dropWrite = true; // nobody will read it
    }
    m_wake.notify_all();
    m_worker.join();
    closeJournal();
    m_lock.reset();
    if (!m_ownedParent.isEmpty()) QDir(m_ownedParent).removeRecursively();
}

QString BackupStore::chooseFolder(const QString& wanted) {
    auto claim = [this](const QString& dir) {
        if (!writableFolder(dir)) return false;
        auto lock = std::make_unique<QLockFile>(dir + "/.lumaset.lock");
        lock->setStaleLockTime(0); // a lock is stale only when its program is gone
        if (!lock->tryLock(0)) return false;
        m_lock = std::move(lock);
        return true;
    };
    const QString base = wanted.isEmpty() ? cacheRoot() + "/BackUp" : wanted;
    m_base = base;
    m_error = folderProblem(base);
    if (!m_error.isEmpty()) return base;
    removeStaleInstances(base);
    if (claim(base)) {
        m_folder = base;
        moveCrashedSession();
        return base;
    }
    // Another running program holds the folder: take one of our own inside it.
    const QString own = base + QStringLiteral("/instance-%1").arg(::getpid());
    if (!claim(own)) {
        m_error = folderProblem(own);
        if (m_error.isEmpty()) m_error = QStringLiteral("%1 is locked by another program").arg(own);
        return own;
    }
    m_ownedParent = own;
    m_folder = own;
    moveCrashedSession(); // an earlier program of the same number crashed here
    if (!wanted.isEmpty())
        m_note =
            QStringLiteral("the backup folder %1 is in use by another running program; using %2")
                .arg(base, own);
    return own;
}

// The journal and backups a program that ended without cleaning up left in
// the folder just claimed go to a folder of their own beside the instance
// folders, so the new session starts empty and the old one stays recoverable.
void BackupStore::moveCrashedSession() {
    QDir dir(m_folder);
    if (!dir.exists(kJournalName)) return;
    const QString stamp =
        QFileInfo(dir.filePath(kJournalName)).lastModified().toString("yyyyMMdd-HHmmss");
    QString target = m_base + "/session-" + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = m_base + QStringLiteral("/session-%1-%2").arg(stamp).arg(n);
    if (!QDir().mkpath(target)) return;
    target = QFileInfo(target).absoluteFilePath();
    for (const QString& file : dir.entryList({QStringLiteral("Lumaset.*")}, QDir::Files))
        if (!file.endsWith(QLatin1String(".part"))) dir.rename(file, target + "/" + file);
    m_movedSession = target;
}

bool BackupStore::ensureFolder() {
    return writableFolder(m_folder);
}

QString BackupStore::newPath() {
    std::lock_guard lock(m_mutex);
    return m_folder + QStringLiteral("/Lumaset.temp.%1").arg(m_nextNumber++);
}

void BackupStore::write(const QString& path, const QImage& image) {
    std::unique_lock lock(m_mutex);
    m_pictures[path] = image; // shares the pixels; see the header
    m_steps[path] = {QFileInfo(path).fileName(), image.width(), image.height(),
                     PixelFormatForImage(image)};
    m_queue.push_back(path);
    m_wake.notify_one();
    m_idle.wait(
        lock, [&] { return m_stop || m_queue.empty() || pendingBytesLocked() <= m_pendingLimit; });
}

std::size_t BackupStore::pendingBytes() const {
    std::lock_guard lock(m_mutex);
    return pendingBytesLocked();
}

std::size_t BackupStore::pendingBytesLocked() const {
    std::size_t bytes = 0;
    auto add = [&](const QString& path) {
        const auto it = m_pictures.find(path);
        if (it != m_pictures.end()) bytes += std::size_t(it->second.sizeInBytes());
    };
    for (const QString& path : m_queue)
        add(path);
    if (!m_writing.isEmpty()) add(m_writing);
    return bytes;
}

bool BackupStore::adopt(const QString& file, const QString& path, const JournalStep& step) {
    QFile::remove(path);
    if (::link(EncodeFileName(file).constData(), EncodeFileName(path).constData()) != 0 &&
        !QFile::copy(file, path))
        return false;
    std::lock_guard lock(m_mutex);
    m_steps[path] = {QFileInfo(path).fileName(), step.width, step.height, step.format};
    return true;
}

std::optional<QImage> BackupStore::read(const QString& path, QString* error) const {
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_pictures.find(path);
        if (it != m_pictures.end()) return it->second;
    }
    DecodedImage decoded = DecodeImageFile(path);
    if (!decoded.bitmap || decoded.damaged) {
        if (error) *error = decoded.error.isEmpty() ? QStringLiteral("damaged") : decoded.error;
        return std::nullopt;
    }
    return decoded.bitmap->image();
}

void BackupStore::remove(const QString& path) {
    std::unique_lock lock(m_mutex);
    std::erase(m_queue, path);
    if (m_writing == path) {
        // The caller does not wait for the write: the worker gives it up and
        // deletes what it wrote.
        m_cancelled.insert(path);
        m_dropWrite = true;
        m_steps.erase(path);
        m_failures.removeAll(path);
        return;
    }
    m_pictures.erase(path);
    m_failures.removeAll(path);
    m_steps.erase(path);
    if (m_journalled.count(path)) {
        // The journal on disk still names it: it goes after the next journal.
        m_doomed.insert(path);
        return;
    }
    lock.unlock();
    QFile::remove(path);
}

void BackupStore::flush() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [&] {
        return m_queue.empty() && m_writing.isEmpty() && !m_journalDirty && !m_journalBusy;
    });
}

void BackupStore::setJournal(const QStringList& paths, int position, const QString& documentPath,
                             bool modified) {
    {
        std::lock_guard lock(m_mutex);
        if (m_journalClosed) return;
        m_wanted.documentPath = documentPath;
        m_wanted.modified = modified;
        m_wanted.position = position;
        m_wanted.steps.clear();
        for (const QString& path : paths)
            m_wanted.steps.push_back({path, 0, 0, 0});
        m_journalDirty = true;
    }
    m_wake.notify_one();
}

void BackupStore::closeJournal() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [&] { return !m_journalBusy; });
    if (m_journalClosed) return;
    m_journalClosed = true;
    m_journalDirty = false;
    m_journalled.clear();
    const std::set<QString> doomed = std::exchange(m_doomed, {});
    lock.unlock();
    QFile::remove(m_folder + "/" + kJournalName);
    for (const QString& path : doomed)
        QFile::remove(path);
}

// Writes the longest complete beginning of the wanted history: a step whose
// file is queued, being written or failed ends it. Called with the lock held;
// the file is written without it.
void BackupStore::writeJournal(std::unique_lock<std::mutex>& lock) {
    m_journalDirty = false;
    if (m_journalClosed) return;
    SessionJournal journal = m_wanted;
    journal.steps.clear();
    for (const JournalStep& wanted : m_wanted.steps) {
        const auto known = m_steps.find(wanted.file);
        if (m_pictures.count(wanted.file) || known == m_steps.end()) break;
        journal.steps.push_back(known->second);
    }
    if (journal.steps.empty()) return; // the journal on disk stays as it is
    journal.position = std::min(journal.position, int(journal.steps.size()));
    std::set<QString> named;
    for (std::size_t i = 0; i < journal.steps.size(); ++i)
        named.insert(m_wanted.steps[i].file);
    m_journalBusy = true;
    lock.unlock();
    const bool ok = WriteJournalFile(m_folder, journal);
    lock.lock();
    m_journalBusy = false;
    if (!ok) return;
    m_journalled = std::move(named);
    std::vector<QString> gone;
    for (auto it = m_doomed.begin(); it != m_doomed.end();)
        if (m_journalled.count(*it)) {
            ++it;
        } else {
            gone.push_back(*it);
            it = m_doomed.erase(it);
        }
    lock.unlock();
    for (const QString& path : gone)
        QFile::remove(path);
    lock.lock();
}

QStringList BackupStore::takeFailures() {
    std::lock_guard lock(m_mutex);
    QStringList failures;
    failures.swap(m_failures);
    return failures;
}

void BackupStore::run() {
    // Backups are written behind the user's back: the command, the save or
    // the window the user waits for comes first. On Linux the priority of
    // a thread id is that thread's alone.
    setpriority(PRIO_PROCESS, pid_t(gettid()), kWriterNice);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stop || !m_queue.empty() || m_journalDirty; });
        if (m_stop) break;
        if (m_queue.empty()) {
            writeJournal(lock);
            m_idle.notify_all();
            continue;
        }
        m_writing = m_queue.front();
        m_queue.pop_front();
        m_dropWrite = false;
        const QImage picture = m_pictures[m_writing];
        lock.unlock();
        const bool ok = writeBackupPng(picture, m_writing, m_dropWrite);
        lock.lock();
        if (m_cancelled.erase(m_writing)) {
            m_pictures.erase(m_writing);
            QFile::remove(m_writing);
        } else if (ok) {
            m_pictures.erase(m_writing);
            m_journalDirty = m_journalDirty || !m_wanted.steps.empty();
        } else {
            m_failures.append(m_writing); // keep the picture: undo still works
        }
        m_writing.clear();
        if (m_journalDirty) writeJournal(lock);
        m_idle.notify_all();
    }
    m_writing.clear();
    m_idle.notify_all();
}
