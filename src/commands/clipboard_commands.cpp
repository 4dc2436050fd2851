// SPDX-License-Identifier: GPL-3.0-or-later
// Copy and Paste through Qt's clipboard, which other applications share.
#include "commands/clipboard_commands.h"

#include "commands/run_effect.h"
#include "core/graphics.h"
#include "core/selection/selection_path.h"
#include "document/lumaset_doc.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cmath>

namespace {

const QString kPngType = QStringLiteral("image/png");

// The clipboard belongs to the windowing system: none without a QGuiApplication.
QClipboard* clipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::clipboard()
               : nullptr;
}

// The rectangle Copy takes: the outline's bounds with each value truncated
// toward zero, as Crop measures them, cut to the image.
Rect copyRect(const SelectionPath& selection, const Bitmap& image) {
    const QRect whole(0, 0, int(image.GetWidth()), int(image.GetHeight()));
    if (!selection.HasSelection()) return {0, 0, whole.width(), whole.height()};
    const QRectF b = selection.GetPath().boundingRect();
    const QRect r =
        QRect(int(b.x()), int(b.y()), int(b.width()), int(b.height())).intersected(whole);
    return {r.x(), r.y(), r.width(), r.height()};
}

} // namespace

CommandResult OnCopy(EditContext& c, const CommandDef&, const Params&) {
    QClipboard* board = clipboard();
    if (!board) return CommandResult::Unavailable;
    Bitmap* image = c.doc.GetImage();
    if (!image || !image->isValid()) return CommandResult::Failed;
    const Rect r = copyRect(c.selection, *image);
    if (r.Width <= 0 || r.Height <= 0)
        return CommandResult::Done; // nothing of the image is selected
    const std::unique_ptr<Bitmap> part = image->Clone(r, image->GetPixelFormat());
    if (!part) return CommandResult::Failed;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    part->image().save(&buffer, "PNG");
    auto* data = new QMimeData;
    data->setImageData(part->image());
    data->setData(kPngType, png);
    board->setMimeData(data);
    return CommandResult::Done;
}

CommandResult OnPaste(EditContext& c, const CommandDef& cmd, const Params&) {
    if (!clipboard()) return CommandResult::Unavailable;
    Bitmap* image = c.doc.GetImage();
    if (!image || !image->isValid()) return CommandResult::Failed;
    QImage picture = ClipboardImage();
    if (picture.isNull()) return CommandResult::Done; // nothing to draw, nothing recorded
    // Another program's picture obeys the same limit as every picture made here.
    if (const CommandResult size = CheckPictureSize(c, cmd, picture.width(), picture.height());
        size != CommandResult::Done)
        return size;
    DrawBitmap(*image, Bitmap(std::move(picture)), 0, 0);
    c.doc.RecordChange(false);
    return CommandResult::Done;
}

QImage ClipboardImage() {
    QClipboard* board = clipboard();
    const QMimeData* data = board ? board->mimeData() : nullptr;
    if (!data) return {};
    QImage picture;
    if (data->hasFormat(kPngType)) picture.loadFromData(data->data(kPngType), "PNG");
    if (picture.isNull() && data->hasImage()) picture = qvariant_cast<QImage>(data->imageData());
    return picture;
}

std::optional<QSize> ClipboardImageSize() {
    const QImage picture = ClipboardImage();
    if (picture.isNull()) return std::nullopt;
    return picture.size();
}
