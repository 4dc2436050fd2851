// SPDX-License-Identifier: GPL-3.0-or-later
// Background PNG writer and folder ownership for undo backups.
#include "document/backup_store.h"

#include "core/codecs.h"
#include "core/png_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
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
    if (!wanted.isEmpty()) {
        if (claim(wanted)) return wanted;
    } else {
        const QString besideProgram = QCoreApplication::applicationDirPath() + "/BackUp";
        if (!QCoreApplication::applicationDirPath().isEmpty() && claim(besideProgram)) return besideProgram;
        const QString cached = cacheRoot() + "/BackUp";
        if (claim(cached)) return cached;
    }
    // Another running program holds the folder: take one of our own.
    const QString parent = cacheRoot() + QStringLiteral("/instance-%1").arg(::getpid());
    const QString own = parent + "/BackUp";
    if (claim(own)) m_ownedParent = parent;
    return own;
}

bool BackupStore::ensureFolder() { return writableFolder(m_folder); }

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
        if (ok) m_pictures.erase(m_writing);
        else m_failures.append(m_writing); // keep the picture: undo still works
        m_writing.clear();
        m_idle.notify_all();
    }
    m_writing.clear();
    m_idle.notify_all();
}
