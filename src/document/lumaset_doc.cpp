// SPDX-License-Identifier: GPL-3.0-or-later
// Document lifecycle, files and the undo history.
#include "document/lumaset_doc.h"

#include "core/codecs.h"
#include "document/host.h"

#include "core/file_names.h"

#include <QFileInfo>
#include <sys/stat.h>

namespace {

// Device and inode of the file path names (after links); false when none.
bool fileIdentity(const QString& path, quint64* device, quint64* inode) {
    struct stat st {};
    if (path == QLatin1String("-") || ::stat(EncodeFileName(path).constData(), &st) != 0)
        return false;
    *device = st.st_dev;
    *inode = st.st_ino;
    return true;
}

} // namespace

CLumasetDoc::CLumasetDoc(Host* host, const QString& backupFolder)
    : m_pHost(host), m_backups(backupFolder) {}

CLumasetDoc::~CLumasetDoc() {
    m_backups.closeJournal(); // a normal end: nothing to recover
    // Newest first: entries still queued are dropped before the writer could
    // start on them while an older one is awaited.
    for (auto it = m_aBackupFiles.crbegin(); it != m_aBackupFiles.crend(); ++it)
        m_backups.remove(*it);
    m_aBackupFiles.clear();
}

void CLumasetDoc::message(const QString& text, const QString& detail) {
    if (m_pHost) m_pHost->showMessage(text, detail);
}

bool CLumasetDoc::OnNewDocument() {
    m_strPathName.clear();
    m_bModified = false;
    m_bDamaged = false;
    auto blank = std::make_unique<Bitmap>(m_nWidth, m_nHeight, PixelFormat32bppARGB);
    if (!blank->isValid()) {
        message(QStringLiteral("Failed to create the image"),
                QStringLiteral("%1 x %2 pixels cannot be allocated").arg(m_nWidth).arg(m_nHeight));
        return false;
    }
    m_pImage = blank->Clone(Rect{0, 0, m_nWidth, m_nHeight}, PixelFormat32bppARGB);
    MakeBackground();
    UpdateAllViews();
    return true;
}

bool CLumasetDoc::OnOpenDocument(const QString& path) {
    DecodedImage decoded = DecodeImageFile(path);
    if (!decoded.bitmap) {
        message(QStringLiteral("Failed to open document."), path + ": " + decoded.error);
        return false;
    }
    m_pImage = std::move(decoded.bitmap);
    m_nWidth = int(m_pImage->GetWidth());
    m_nHeight = int(m_pImage->GetHeight());
    MakeBackground();
    for (const QString& file : std::as_const(m_aBackupFiles))
        m_backups.remove(file);
    m_aBackupFiles.clear();
    m_aHistorySteps.clear();
    m_nHistoryPos = 0;
    PushBackup(true);
    m_strPathName = path == QLatin1String("-") ? path : QFileInfo(path).absoluteFilePath();
    if (!fileIdentity(path, &m_openedDevice, &m_openedInode)) m_openedDevice = m_openedInode = 0;
    m_bDamaged = decoded.damaged;
    m_bForce = false;
    m_bModified = false;
    syncJournal();
    if (m_bDamaged && m_pHost)
        m_pHost->showWarning(path + ": the picture is damaged (" + decoded.error +
                             "); opened what could be read");
    UpdateAllViews();
    return true;
}

bool CLumasetDoc::OnSaveDocument(const QString& path, const QString& mime) {
    const QString target = path == QLatin1String("-") ? path : QFileInfo(path).absoluteFilePath();
    quint64 device = 0, inode = 0;
    const bool sameFile = fileIdentity(path, &device, &inode) && m_openedInode != 0 &&
                          device == m_openedDevice && inode == m_openedInode;
    if (m_bDamaged && sameFile && !m_bForce) {
        const QString question =
            path +
            " was damaged when it was opened; saving over it replaces the original. Save anyway?";
        if (!m_pHost || !m_pHost->confirm(question)) return false;
    }
    if (!SaveImageFile(path, mime)) return false;
    m_bModified = false;
    m_strPathName = target;
    syncJournal();
    return true;
}

QString MimeTypeForPath(const QString& path, bool* known) {
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QString ext = dot < 0 ? QString() : name.mid(dot + 1);
    for (QChar& c : ext)
        if (c >= 'A' && c <= 'Z') c = QChar(c.unicode() + ('a' - 'A'));
    static const struct {
        const char* extension;
        const char* mime;
    } table[] = {{"jpg", "image/jpeg"}, {"jpeg", "image/jpeg"}, {"jpe", "image/jpeg"},
                 {"tif", "image/tiff"}, {"tiff", "image/tiff"}, {"bmp", "image/bmp"},
                 {"gif", "image/gif"},  {"png", "image/png"}};
    for (const auto& entry : table)
        if (ext == QLatin1String(entry.extension)) {
            if (known) *known = true;
            return QString::fromLatin1(entry.mime);
        }
    if (known) *known = false;
    return QStringLiteral("image/png");
}

bool CLumasetDoc::SaveImageFile(const QString& path, const QString& mime) {
    const int encoder = FindEncoderClsid(mime.isEmpty() ? MimeTypeForPath(path) : mime);
    QString error = QStringLiteral("no encoder for this file type");
    const bool ok = encoder >= 0 && m_pImage &&
                    SaveBitmapFile(*m_pImage, path, encoder, &error, m_nJpegQuality);
    if (!ok) message(QStringLiteral("Failed to save"), path + ": " + error);
    return ok;
}

bool CLumasetDoc::RestoreFromFile(const QString& path) {
    QString error;
    std::optional<QImage> picture = m_backups.read(path, &error);
    if (!picture) {
        message(QStringLiteral("Failed to open document."), path + ": " + error);
        return false;
    }
    // The decoded picture is adopted as it is: drawing it into a new bitmap
    // would round translucent colours through premultiplied alpha.
    m_pImage = std::make_unique<Bitmap>(std::move(*picture));
    m_nWidth = int(m_pImage->GetWidth());
    m_nHeight = int(m_pImage->GetHeight());
    MakeBackground();
    return true;
}

void CLumasetDoc::MakeBackground() {
    m_background = Checkerboard(m_pImage ? int(m_pImage->GetWidth()) : 0,
                                m_pImage ? int(m_pImage->GetHeight()) : 0);
}

// Backup failures are told once: a folder that cannot be written fails every
// step the same way, and undo still works from the copies in memory.
void CLumasetDoc::reportBackupFailures() {
    const QStringList failed = m_backups.takeFailures();
    if (failed.isEmpty() || m_bBackupFailureShown) return;
    m_bBackupFailureShown = true;
    message(QStringLiteral("Failed to save"),
            failed.join(", ") + ": the backup could not be written");
}

void CLumasetDoc::PushBackup(bool initial) {
    reportBackupFailures();
    for (int i = int(m_aBackupFiles.size()) - 1; i >= m_nHistoryPos; --i) {
        m_backups.remove(m_aBackupFiles[i]);
        m_aBackupFiles.removeAt(i);
        m_aHistorySteps.removeAt(i);
    }
    // Every entry gets a name of its own: the journal on disk may still name
    // the discarded redo entries.
    const QString path = m_backups.newPath();
    if (!m_backups.ensureFolder() && !m_bBackupFailureShown) {
        m_bBackupFailureShown = true;
        message(QStringLiteral("Failed to save"), path + ": the backup folder cannot be written");
    }
    if (m_pImage && m_pImage->isValid()) m_backups.write(path, m_pImage->image());
    m_aBackupFiles.insert(m_nHistoryPos, path);
    m_aHistorySteps.insert(m_nHistoryPos, QString());
    ++m_nHistoryPos;
    m_bModified = !initial;
    syncJournal();
}

void CLumasetDoc::syncJournal() {
    m_backups.setJournal(m_aBackupFiles, m_nHistoryPos, m_strPathName, m_bModified);
}

bool CLumasetDoc::StepHistory(bool back) {
    const int pos = m_nHistoryPos + (back ? -1 : 1);
    if (pos < 1 || pos > m_aBackupFiles.size()) return false;
    if (!RestoreFromFile(m_aBackupFiles[pos - 1])) return false;
    m_nHistoryPos = pos;
    m_bModified = true;
    syncJournal();
    UpdateAllViews();
    return true;
}

void CLumasetDoc::SetImage(std::unique_ptr<Bitmap> image) {
    m_pImage = std::move(image);
}

void CLumasetDoc::AdoptImage(std::unique_ptr<Bitmap> image, bool erase) {
    m_nWidth = int(image->GetWidth());
    m_nHeight = int(image->GetHeight());
    m_pImage = std::move(image);
    RecordChange(erase);
}

void CLumasetDoc::RecordChange(bool erase) {
    PushBackup(false);
    UpdateAllViews(erase);
}

bool CLumasetDoc::RestoreSession(const InspectedSession& session, QString* problem) {
    QStringList problems, files;
    std::vector<JournalStep> steps;
    int pos = 0;
    for (int i = 0; i < int(session.kept.steps.size()); ++i) {
        const JournalStep& step = session.kept.steps[std::size_t(i)];
        const QString path = m_backups.newPath();
        if (!m_backups.adopt(session.folder + "/" + step.file, path, step)) {
            problems << step.file + " could not be copied";
            continue;
        }
        files << path;
        steps.push_back(step);
        if (i < session.kept.position) pos = int(files.size());
    }
    // The picture at the position; a step that does not decode to what the
    // journal recorded is dropped and the one before it tried.
    std::optional<QImage> picture;
    for (; pos > 0; --pos) {
        QString error;
        picture = m_backups.read(files[pos - 1], &error);
        const JournalStep& step = steps[std::size_t(pos - 1)];
        if (picture && picture->width() == step.width && picture->height() == step.height &&
            PixelFormatForImage(*picture) == step.format)
            break;
        problems << step.file + ": " +
                        (error.isEmpty() ? QStringLiteral("not as recorded") : error);
        picture.reset();
        m_backups.remove(files[pos - 1]);
        files.removeAt(pos - 1);
        steps.erase(steps.begin() + (pos - 1));
    }
    if (problem) *problem = problems.join("; ");
    if (!picture) {
        for (const QString& path : std::as_const(files))
            m_backups.remove(path);
        if (problem && problem->isEmpty()) *problem = QStringLiteral("no step can be read");
        return false;
    }
    for (const QString& file : std::as_const(m_aBackupFiles))
        m_backups.remove(file);
    m_aBackupFiles = files;
    m_nHistoryPos = pos;
    m_pImage = std::make_unique<Bitmap>(std::move(*picture));
    m_nWidth = int(m_pImage->GetWidth());
    m_nHeight = int(m_pImage->GetHeight());
    MakeBackground();
    m_strPathName = session.kept.documentPath;
    m_openedDevice = m_openedInode = 0;
    m_bDamaged = m_bForce = false;
    m_bModified = true; // the picture has not been saved since the crash
    syncJournal();
    UpdateAllViews();
    return true;
}
