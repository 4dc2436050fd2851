// SPDX-License-Identifier: GPL-3.0-or-later
// The single document: the image, its checkerboard, the drawing settings the
// tools share, and the undo history of backup files.
#pragma once

#include "core/bitmap.h"
#include "core/codecs.h"
#include "document/backup_store.h"
#include "document/checkerboard.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class Host;

class CLumasetDoc : public QObject {
    Q_OBJECT
  public:
    // host receives the messages the user must see; backupFolder overrides
    // where undo backups go (empty: the default folder).
    explicit CLumasetDoc(Host* host = nullptr, const QString& backupFolder = {});
    ~CLumasetDoc() override; // deletes every backup file the history names

    // A blank transparent m_nWidth x m_nHeight image; the history is kept.
    bool OnNewDocument();
    // Decodes path and makes it the image, restarting the history. A file that
    // cannot be decoded is refused with a message naming it, and the document
    // stays as it was.
    bool OnOpenDocument(const QString& path);
    // Saves to path (the encoder chosen from the name). On success the
    // modified flag is cleared and path becomes the document's path. A failed
    // save shows "Failed to save" and returns false with the modified flag and
    // the path left as they were, as does declining to overwrite the damaged
    // file the picture came from (the same file by device and inode, through
    // any link or spelling). mime, when given, overrides the name's format.
    bool OnSaveDocument(const QString& path, const QString& mime = {});

    // Rebuilds the checkerboard at the image size: 10-pixel squares, grey at
    // the top left, white beside it; strips narrower than a square stay clear.
    void MakeBackground();

    // Records the image as a new history entry, discarding the redo branch.
    // An initial entry (a freshly opened picture) leaves the document unmodified.
    void PushBackup(bool initial);
    // Undo (back) or Redo. Returns false, with a message and nothing changed,
    // when the entry's picture cannot be read.
    bool StepHistory(bool back);
    bool CanUndo() const { return m_nHistoryPos > 1; }
    bool CanRedo() const { return m_nHistoryPos < m_aBackupFiles.size(); }

    // Rebuilds the picture and its history from a crashed session's intact
    // steps; the backups are adopted into this document's own folder, so the
    // session folder may be removed afterwards. The picture at the session's
    // position is shown (when it does not decode, the nearest earlier one)
    // and the document is marked modified. False, with problem set and the
    // document as it was, when no step can be read; problem also tells of
    // steps dropped on the way.
    bool RestoreSession(const InspectedSession& session, QString* problem);

    // Makes image the document image (the old one is freed); no history entry.
    void SetImage(std::unique_ptr<Bitmap> image);
    // Makes image the document image and its size the document size, records
    // it as a history entry and tells the views (erasing first when erase is set).
    void AdoptImage(std::unique_ptr<Bitmap> image, bool erase);
    // Records a change made in place to GetImage() as a history entry and
    // tells the views.
    void RecordChange(bool erase);
    // Hands the image over to a routine that consumes it; the document has no
    // image until SetImage or AdoptImage gives it one.
    std::unique_ptr<Bitmap> TakeImage() { return std::move(m_pImage); }
    // The document image; the document keeps ownership. Callers may write
    // into it in place, so it comes after the backup writer's reads.
    Bitmap* GetImage() const {
        m_backups.settle();
        return m_pImage.get();
    }
    // The history position (1 = the first entry) and the number of entries.
    int GetHistoryPos() const { return m_nHistoryPos; }
    int GetHistoryCount() const { return int(m_aBackupFiles.size()); }
    // The backup file of history entry index (0 = the first).
    QString GetHistoryFile(int index) const { return m_aBackupFiles.value(index); }
    // The step that made history entry index, in lumaset-cli's step language
    // (empty when none was recorded, as for the first entry); kept, truncated
    // and restarted with the history.
    QString GetHistoryStep(int index) const { return m_aHistorySteps.value(index); }
    void SetHistoryStep(int index, const QString& step) {
        if (index >= 0 && index < m_aHistorySteps.size()) m_aHistorySteps[index] = step;
    }

    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }
    QString GetPathName() const { return m_strPathName; }
    // True when the open picture decoded only in part.
    bool IsDamaged() const { return m_bDamaged; }
    // Allows the next save over the damaged source file without asking.
    void SetForceOverwrite(bool force) { m_bForce = force; }
    Host* host() const { return m_pHost; }
    BackupStore& backups() { return m_backups; }

    // Tells every view that the document changed: the one change notification
    // views listen to.
    void UpdateAllViews(bool erase = true) { emit updated(erase); }

    // The checkerboard shown under transparent pixels, computed per pixel
    // where it is read.
    Checkerboard m_background;
    // The drawing settings the tools share, and the size of the next new image.
    ARGB m_crBackground = 0xFFFFFFFF;
    ARGB m_crForeground = 0xFF000000;
    int m_nPenWidth = 1;
    int m_nWidth = 400;
    int m_nHeight = 300;
    int m_nToolType = 1;
    int m_nAlpha = 255;
    // The JPEG quality of saves, 1..100 (lumaset-cli --quality).
    int m_nJpegQuality = kDefaultJpegQuality;

  signals:
    void updated(bool erase);

  private:
    // Replaces the image by the picture of a backup file, exactly.
    bool RestoreFromFile(const QString& path);
    // Encodes the image to path; the MIME type comes from the last three
    // characters of the name. Shows "Failed to save" on failure.
    bool SaveImageFile(const QString& path, const QString& mime = {});
    void message(const QString& text, const QString& detail = {});
    void reportBackupFailures();
    // Tells the backup store the history the crash-recovery journal describes.
    void syncJournal();

    std::unique_ptr<Bitmap> m_pImage;
    int m_nHistoryPos = 0;
    QStringList m_aBackupFiles;
    QStringList m_aHistorySteps; // parallel to m_aBackupFiles

    Host* m_pHost = nullptr;
    BackupStore m_backups;
    bool m_bModified = false;
    bool m_bDamaged = false;
    bool m_bForce = false;
    bool m_bBackupFailureShown = false; // backup failures are reported once
    QString m_strPathName;
    // Device and inode of the opened file (0 when none): the file the
    // damaged-input guard protects.
    quint64 m_openedDevice = 0, m_openedInode = 0;
};

// The MIME type a file name saves as, from the extension of its last part in
// any case: jpg, jpeg, jpe give JPEG; tif, tiff TIFF; bmp BMP; gif GIF; png and
// anything else PNG. known tells whether the extension was one of those.
QString MimeTypeForPath(const QString& path, bool* known = nullptr);
