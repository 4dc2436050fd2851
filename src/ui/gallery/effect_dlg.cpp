// SPDX-License-Identifier: GPL-3.0-or-later
// The effect gallery: its items and layout, the picture loader thread, and the
// bar that creates the list when shown and destroys it when hidden.
#include "ui/gallery/effect_dlg.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>
#include <QShowEvent>
#include <mutex>
#include <system_error>

namespace {

// The captions are the gallery's own, not the menu texts, and the order is the
// display order: Pixelate lists its items out of number order.
constexpr CEffectDlg::Entry kEntries[] = {
    {0, "Blur"},          {161, "Blur"},     {177, "GaussBlur"}, {178, "MotionBlur"},
    {185, "SoftGlow"},    {0, "Sharpen"},    {159, "Sharpen"},   {182, "SharpenMore"},
    {183, "USM Sharpen"}, {0, "Stylize"},    {162, "Emboss"},    {163, "Mosaic"},
    {164, "OilPaint"},    {165, "Solarize"}, {166, "Wave"},      {167, "Whim"},
    {179, "Pinch"},       {181, "Pencil"},   {0, "Texture"},     {168, "Glass"},
    {169, "Wooden"},      {0, "Pixelate"},   {170, "Aqua"},      {172, "Ice"},
    {173, "Molten"},      {174, "OldPhoto"}, {175, "Subtence"},  {171, "Darker"},
    {180, "Diffuse"},     {0, "Noise"},      {176, "AddNoise"},  {0, "Other"},
    {184, "LOMO"},        {186, "Fish Eye"},
};

// Item drawing: the picture keeps this inset on its left, top and right, and
// the caption takes a strip this high at the bottom.
constexpr int kPictureInset = 8;
constexpr int kCaptionHeight = 20;
const QColor kHotFill(220, 241, 253);
const QColor kHotFrame(51, 153, 255);
const QColor kHeaderLine(160, 160, 160);

QString PicturePath(int id) {
    return QStringLiteral(":/gallery/%1.jpg").arg(id);
}

} // namespace

std::span<const CEffectDlg::Entry> CEffectDlg::Entries() {
    return kEntries;
}

// ---- CEffectThumb ----

QRect CEffectDlg::CEffectThumb::PictureRect(const QRect& rect) {
    return rect.adjusted(kPictureInset, kPictureInset, -kPictureInset, -kCaptionHeight);
}

QRect CEffectDlg::CEffectThumb::CaptionRect(const QRect& rect) {
    return QRect(rect.left(), rect.bottom() + 1 - kCaptionHeight, rect.width(), kCaptionHeight);
}

void CEffectDlg::CEffectThumb::DrawItem(QPainter& painter, const QRect& rect) const {
    constexpr int kCentredLine = Qt::AlignCenter | Qt::TextSingleLine;
    if (IsHeader()) {
        const QPalette palette = QGuiApplication::palette();
        painter.fillRect(rect, palette.color(QPalette::Button));
        painter.setPen(kHeaderLine);
        painter.drawLine(rect.topLeft(), rect.topRight());
        painter.setPen(palette.color(QPalette::ButtonText));
        painter.drawText(rect, kCentredLine, m_strCaption);
        return;
    }
    if (m_bHot) {
        painter.fillRect(rect, kHotFill);
        painter.setPen(kHotFrame);
        painter.drawRect(rect.adjusted(0, 0, -1, -1)); // a 1-pixel frame inside rect
    }
    // Stretched without smoothing and without keeping the aspect ratio.
    if (!m_picture.isNull()) painter.drawPixmap(PictureRect(rect), m_picture);
    painter.setPen(Qt::black); // on the list's white background, whatever the theme
    painter.drawText(CaptionRect(rect), kCentredLine, m_strCaption);
}

// ---- CThumbLayout ----

QRect CEffectDlg::CThumbLayout::LayoutItems(
    const std::vector<std::unique_ptr<FCListItem_Base>>& items, int clientWidth) {
    const int columnWidth = clientWidth / 2;
    const auto isHeader = [&](size_t i) {
        return static_cast<const CEffectThumb&>(*items[i]).IsHeader();
    };
    QRect extent;
    int y = 0;
    int column = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        QRect& rect = items[i]->m_rcItem;
        bool rowEnds = true;
        if (isHeader(i)) {
            rect = QRect(0, y, clientWidth, kHeaderHeight);
        } else {
            rect = QRect(column * columnWidth, y, columnWidth, kEffectHeight);
            ++column;
            rowEnds = column == 2 || (i + 1 < items.size() && isHeader(i + 1));
        }
        extent = extent.united(rect);
        if (rowEnds) {
            y += rect.height();
            column = 0;
        }
    }
    return extent;
}

// ---- CEffectList ----

CEffectDlg::CEffectList::CEffectList(CEffectDlg* bar) : FCListWindow(bar), m_pBar(bar) {
    for (const Entry& entry : Entries())
        AddItem(std::make_unique<CEffectThumb>(entry.id, QString::fromLatin1(entry.caption)));
    SetLayoutHandler(std::make_unique<CThumbLayout>());
    RelayoutItems();
}

CEffectDlg::CEffectList::~CEffectList() {
    // The loader checks the flag between pictures; once joined it posts no
    // more, and the pictures it already posted die with this object.
    m_bStop = true;
    if (m_loader.joinable()) m_loader.join();
}

const CEffectDlg::CEffectThumb& CEffectDlg::CEffectList::thumb(int index) const {
    return static_cast<const CEffectThumb&>(*items()[size_t(index)]);
}

void CEffectDlg::CEffectList::OnFirstPaint() {
    std::vector<int> ids;
    for (const auto& item : items())
        ids.push_back(static_cast<const CEffectThumb&>(*item).m_nID);
    try {
        m_loader = std::thread(&CEffectList::LoadPictures, this, std::move(ids), &m_bStop);
    } catch (const std::system_error&) {
        // No thread: the items keep showing their captions only.
    }
}

// Held by the loader while it posts a picture and taken by the list before it
// reads one. Qt's event queue already orders the two, but through locks a
// thread checker cannot see in Debian's Qt; this one it sees.
static std::mutex& handOff() {
    static std::mutex mutex;
    return mutex;
}

void CEffectDlg::CEffectList::LoadPictures(CEffectList* list, std::vector<int> ids,
                                           const std::atomic<bool>* stop) {
    for (int id : ids) {
        if (stop->load()) return;
        if (id == 0) continue; // a header has no picture
        // A QImage may be made on any thread; the list turns it into a
        // QPixmap on its own thread. The call is queued on the list, so it
        // is dropped if the list is gone by the time it would run.
        QImage image(PicturePath(id));
        const std::lock_guard<std::mutex> posting(handOff());
        QMetaObject::invokeMethod(
            list,
            [list, id, image] {
                { const std::lock_guard<std::mutex> posted(handOff()); }
                list->TakePicture(id, image);
            },
            Qt::QueuedConnection);
    }
}

void CEffectDlg::CEffectList::TakePicture(int id, const QImage& image) {
    for (const auto& item : items()) {
        auto& thumb = static_cast<CEffectThumb&>(*item);
        if (thumb.m_nID != id) continue;
        thumb.m_picture = QPixmap::fromImage(image);
        ++m_nLoaded;
        break;
    }
    viewport()->update();
}

void CEffectDlg::CEffectList::OnLButtonDown(const QPoint& listPoint) {
    const auto* thumb = static_cast<const CEffectThumb*>(HitTest(listPoint));
    if (!thumb || thumb->IsHeader()) return;
    // Sent once this click is handled, as a posted command would be: the
    // effect may open a dialog or take a while.
    const int id = thumb->m_nID;
    CEffectDlg* bar = m_pBar;
    QMetaObject::invokeMethod(
        bar, [bar, id] { emit bar->galleryButtonClicked(id); }, Qt::QueuedConnection);
}

// ---- CEffectDlg ----

CEffectDlg::CEffectDlg(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Effect List"));
    setObjectName(QStringLiteral("bar158"));
}

CEffectDlg::~CEffectDlg() = default;

QSize CEffectDlg::sizeHint() const {
    return QSize(kWidth, 600);
}

void CEffectDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_pList) return;
    m_pList = new CEffectList(this);
    m_pList->setGeometry(rect().marginsRemoved(kListInsets));
    m_pList->show();
}

void CEffectDlg::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Minimising the window hides the bar spontaneously; only an explicit
    // hide ends the list and its loader.
    if (!event->spontaneous()) DestroyList();
}

void CEffectDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_pList) m_pList->setGeometry(rect().marginsRemoved(kListInsets));
}

void CEffectDlg::DestroyList() {
    delete m_pList;
    m_pList = nullptr;
}
