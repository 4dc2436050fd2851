// SPDX-License-Identifier: GPL-3.0-or-later
// Background PNG writer and folder ownership for undo backups.
#include "document/backup_store.h"

#include "core/codecs.h"
#include "core/png_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {

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

// Removes the per-instance folders inside base whose program has ended: their
// lock can be taken.
void removeStaleInstances(const QString& base) {
    const QStringList instances =
        QDir(base).entryList({QStringLiteral("instance-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : instances) {
        const QString dir = base + "/" + name;
        bool isNumber = false;
        const qint64 pid = name.mid(9).toLongLong(&isNumber);
        if (isNumber && pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM))
            continue; // still running
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
bool writeBackupPng(const QImage& image, const QString& path) {
    const QString temp = path + ".part";
    if (!WritePng(image, temp, PngSpeed::Fast)) {
        QFile::remove(temp);
        return false;
    }
    QFile::remove(path);
    return QFile::rename(temp, path);
}

} // namespace

BackupStore::BackupStore(const QString& folder) {
    m_folder = chooseFolder(folder);
    m_worker = std::thread([this] { run(); });
}

BackupStore::~BackupStore() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_queue.clear();
    }
    m_wake.notify_all();
    m_worker.join();
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
    m_error = folderProblem(base);
    if (!m_error.isEmpty()) return base;
    removeStaleInstances(base);
    if (claim(base)) return base;
    // Another running program holds the folder: take one of our own inside it.
    const QString own = base + QStringLiteral("/instance-%1").arg(::getpid());
    if (!claim(own)) {
        m_error = folderProblem(own);
        if (m_error.isEmpty()) m_error = QStringLiteral("%1 is locked by another program").arg(own);
        return own;
    }
    m_ownedParent = own;
    if (!wanted.isEmpty())
        m_note =
            QStringLiteral("the backup folder %1 is in use by another running program; using %2")
                .arg(base, own);
    return own;
}

bool BackupStore::ensureFolder() {
    return writableFolder(m_folder);
}

void BackupStore::write(const QString& path, const QImage& image) {
    {
        std::lock_guard lock(m_mutex);
        // A deep copy: tools change the document image in place later.
        m_pictures[path] = image.copy();
        m_queue.push_back(path);
    }
    m_wake.notify_one();
}

std::optional<QImage> BackupStore::read(const QString& path, QString* error) const {
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_pictures.find(path);
        if (it != m_pictures.end()) return it->second.copy();
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
    m_idle.wait(lock, [&] { return m_writing != path; });
    m_pictures.erase(path);
    m_failures.removeAll(path);
    lock.unlock();
    QFile::remove(path);
}

void BackupStore::flush() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [&] { return m_queue.empty() && m_writing.isEmpty(); });
}

QStringList BackupStore::takeFailures() {
    std::lock_guard lock(m_mutex);
    QStringList failures;
    failures.swap(m_failures);
    return failures;
}

void BackupStore::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stop || !m_queue.empty(); });
        if (m_stop) break;
        m_writing = m_queue.front();
        m_queue.pop_front();
        const QImage picture = m_pictures[m_writing];
        lock.unlock();
        const bool ok = writeBackupPng(picture, m_writing);
        lock.lock();
        if (ok)
            m_pictures.erase(m_writing);
        else
            m_failures.append(m_writing); // keep the picture: undo still works
        m_writing.clear();
        m_idle.notify_all();
    }
    m_writing.clear();
    m_idle.notify_all();
}
