// SPDX-License-Identifier: GPL-3.0-or-later
// Writes undo backups as PNG files in the background and reads them back.
//
// A push returns at once with the picture kept in memory; a worker thread
// writes the PNG. Reading an entry whose file is not written yet (or whose
// write failed) uses the copy in memory, so undo never waits on the disk and
// never loses a step. Each running program owns its backup folder through a
// lock file, so two programs never write into the same folder.
#pragma once

#include <QImage>
#include <QLockFile>
#include <QString>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class BackupStore {
  public:
    // Uses folder when given, otherwise $XDG_CACHE_HOME/lumaset/BackUp
    // (~/.cache/lumaset/BackUp by default). A folder another running program
    // holds is not shared: this program takes "instance-PID" inside it, and
    // the instance folders of programs no longer running are removed.
    explicit BackupStore(const QString& folder = {});
    ~BackupStore(); // abandons queued writes and waits for the one under way

    // The folder the backup files go to.
    QString folder() const { return m_folder; }
    // Why the folder cannot be used (empty when it can).
    QString error() const { return m_error; }
    // Set when the folder given was in use and a folder inside it was taken.
    QString note() const { return m_note; }
    // Creates the folder; false when it cannot be written.
    bool ensureFolder();

    // Queues image to be written to path as PNG; the image is kept in memory
    // until the file is complete.
    void write(const QString& path, const QImage& image);
    // The picture of path: the copy in memory while it is pending or failed,
    // else the decoded file. error says why when there is none.
    std::optional<QImage> read(const QString& path, QString* error) const;
    // Forgets path: a queued write is dropped, a running one awaited, the file deleted.
    void remove(const QString& path);
    // Waits until every queued write is done.
    void flush();
    // Paths whose writes failed since the last call.
    QStringList takeFailures();

  private:
    void run();
    QString chooseFolder(const QString& wanted);

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QString m_ownedParent; // a per-instance folder removed at exit, if one was made
    QString m_error;
    QString m_note;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<QString> m_queue;          // paths waiting to be written
    std::map<QString, QImage> m_pictures; // pending or failed pictures by path
    QString m_writing;                    // path being written now
    QStringList m_failures;
    bool m_stop = false;
    std::thread m_worker;
};
