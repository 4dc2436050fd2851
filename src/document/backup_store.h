// SPDX-License-Identifier: GPL-3.0-or-later
// Writes undo backups as PNG files in the background and reads them back.
//
// A push returns at once with the picture kept in memory; a worker thread
// writes the PNG. Reading an entry whose file is not written yet (or whose
// write failed) uses the copy in memory, so undo never waits on the disk and
// never loses a step. Each running program owns its backup folder through a
// lock file, so two programs never write into the same folder.
//
// Beside the backups the store keeps the crash-recovery journal: the worker
// rewrites it after the backups it names are complete, so a step whose file
// is still being written is never in it.
#pragma once

#include "document/session_journal.h"

#include <QImage>
#include <QLockFile>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

class BackupStore {
  public:
    // Uses folder when given, otherwise $XDG_CACHE_HOME/lumaset/BackUp
    // (~/.cache/lumaset/BackUp by default). A folder another running program
    // holds is not shared: this program takes "instance-PID" inside it, and
    // the instance folders of programs no longer running are removed unless
    // they hold a journal. A journal left in the folder itself by a program
    // that ended without cleaning up is moved with its backups into a folder
    // of its own inside, where it waits to be recovered.
    explicit BackupStore(const QString& folder = {});
    ~BackupStore(); // abandons queued writes and waits for the one under way

    // The folder the backup files go to.
    QString folder() const { return m_folder; }
    // Why the folder cannot be used (empty when it can).
    QString error() const { return m_error; }
    // Set when the folder given was in use and a folder inside it was taken.
    QString note() const { return m_note; }
    // The folder the backup folder was chosen in: the one given or the
    // default, whichever instance folder was taken inside it.
    QString base() const { return m_base; }
    // Where a crashed session found in the folder itself was moved; empty when none.
    QString movedSession() const { return m_movedSession; }
    // Creates the folder; false when it cannot be written.
    bool ensureFolder();

    // A backup file name in the folder not used before by this store.
    QString newPath();
    // Queues image to be written to path as PNG. The store keeps a shallow
    // copy until the file is complete: QImage shares the pixels, and the
    // caller's next write into its image (through bits() or scanLine(), a
    // QPainter or a lock) detaches from the copy, so the queued picture never
    // changes after the call. A caller far ahead of the writer waits here
    // until the pictures still to be written come to no more than the
    // pending limit (or only the one being written is left), so a long run
    // of quick edits cannot hold picture after picture in memory.
    void write(const QString& path, const QImage& image);
    // The pixel bytes of the pictures queued or being written.
    std::size_t pendingBytes() const;
    void setPendingLimit(std::size_t bytes) { m_pendingLimit = bytes; }
    // Makes a backup file of another folder one of this store's, as path:
    // linked when the folders share a file system, copied otherwise.
    bool adopt(const QString& file, const QString& path, const JournalStep& step);
    // The picture of path: the copy in memory while it is pending or failed,
    // else the decoded file. error says why when there is none.
    std::optional<QImage> read(const QString& path, QString* error) const;
    // Forgets path without waiting: a queued write is dropped, a running one
    // deleted when it ends, the file deleted (once the journal on disk no
    // longer names it).
    void remove(const QString& path);
    // Waits until every queued write, journal update and deletion is done.
    void flush();
    // Orders what follows after every picture the writer has let go of. The
    // writer drops its share of a picture under the store's lock, so a caller
    // that then finds itself the picture's only owner and writes in place is
    // seen to come after the writer's reads (Qt's own reference count is
    // invisible to the thread checker).
    void settle() const { std::lock_guard lock(m_mutex); }

    // The history the journal should describe: backup paths in order (each
    // written or adopted by this store), position, document path and
    // modified flag. The worker writes it once the steps' files are complete;
    // until then the journal on disk describes the complete steps only.
    void setJournal(const QStringList& paths, int position, const QString& documentPath,
                    bool modified);
    // Stops journalling and deletes the journal: the program ends normally.
    void closeJournal();
    // Paths whose writes failed since the last call.
    QStringList takeFailures();

  private:
    void run();
    QString chooseFolder(const QString& wanted);
    void moveCrashedSession();
    void writeJournal(std::unique_lock<std::mutex>& lock);
    void deleteFile(const QString& path);
    std::size_t pendingBytesLocked() const;

    QString m_folder;
    QString m_base;
    QString m_movedSession;
    qint64 m_nextNumber = 0;
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
    std::map<QString, JournalStep> m_steps; // size and format of every file written or adopted
    SessionJournal m_wanted;                // the history to journal, files as full paths
    bool m_journalDirty = false;
    bool m_journalClosed = false;
    bool m_journalBusy = false;           // the worker is writing the journal
    std::set<QString> m_journalled;       // files the journal on disk names
    std::set<QString> m_doomed;           // removed files the journal on disk still names
    std::set<QString> m_cancelled;        // removed while being written
    std::atomic<bool> m_dropWrite{false}; // give up the write in progress
    bool m_stop = false;
    std::size_t m_pendingLimit; // an eighth of the memory, at least 512 MiB
    std::thread m_worker;
};
