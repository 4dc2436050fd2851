// SPDX-License-Identifier: GPL-3.0-or-later
// CTool's base behaviour, position mapping, zoom steps, the tool table, the
// registry and the press/motion/release routing.
#include "tools/tool.h"

#include "commands/command.h"
#include "document/lumaset_doc.h"
#include "tools/paint_bucket_tool.h"
#include "tools/paint_tools.h"
#include "tools/retouch_tools.h"
#include "tools/select_tools.h"
#include "tools/shape_tools.h"
#include "tools/view_tools.h"

#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace {

template <class T> std::unique_ptr<CTool> make() {
    return std::make_unique<T>();
}

// Numbers 8 and 9 are crossed against their commands' order: 32779 ("Draw
// Rectangle") selects 8 and 32778 ("Draw Ellipse") selects 9.
// clang-format off
const ToolInfo kTools[] = {
    {.type = 1, .command = 32771, .className = "CRectangleSelectTool", .make = make<CRectangleSelectTool>, .cursor = 142},
    {.type = 2, .command = 32772, .className = "CEllipseSelectTool", .make = make<CEllipseSelectTool>, .cursor = 143},
    {.type = 3, .command = 32773, .className = "CLassoSelectTool", .make = make<CLassoSelectTool>, .cursor = 144},
    {.type = 4, .command = 32774, .className = "CFSelectTool", .make = make<CFSelectTool>, .cursor = 145},
    {.type = 5, .command = 32775, .className = "CMagicWandTool", .make = make<CMagicWandTool>, .cursor = 146},
    {.type = 6, .command = 32776, .className = "CLineTool", .make = make<CLineTool>, .cursor = 0},
    {.type = 7, .command = 32777, .className = "CPencilTool", .make = make<CPencilTool>, .cursor = 0},
    {.type = 8, .command = 32779, .className = "CRectangleTool", .make = make<CRectangleTool>, .cursor = 148},
    {.type = 9, .command = 32778, .className = "CEllipseTool", .make = make<CEllipseTool>, .cursor = 149},
    {.type = 10, .command = 32780, .className = "CTextTool", .make = make<CTextTool>, .cursor = 0},
    {.type = 11, .command = 32781, .className = "CStampTool", .make = make<CStampTool>, .cursor = 0},
    {.type = 12, .command = 32782, .className = "CEraserTool", .make = make<CEraserTool>, .cursor = 0},
    {.type = 13, .command = 32783, .className = "CPaintBucketTool", .make = make<CPaintBucketTool>, .cursor = 0},
    {.type = 14, .command = 32862, .className = "CSmudgeTool", .make = make<CSmudgeTool>, .cursor = 0},
    {.type = 15, .command = 32784, .className = "CSuckTool", .make = make<CSuckTool>, .cursor = 0},
    {.type = 16, .command = 32785, .className = "CZoomTool", .make = make<CZoomTool>, .cursor = 147},
};
// clang-format on

// Hotspots of the own cursors in their 32 x 32 pictures: where the tool draws
// or where the selection starts.
struct CursorPicture {
    int resource;
    const char* file;
    int hotX, hotY;
};
const CursorPicture kCursorPictures[] = {
    {142, ":/cursors/rect_select.svg", 8, 8},  {143, ":/cursors/ellipse_select.svg", 8, 8},
    {144, ":/cursors/lasso_select.svg", 8, 8}, {145, ":/cursors/poly_select.svg", 8, 8},
    {146, ":/cursors/magic_wand.svg", 8, 8},   {147, ":/cursors/zoom.svg", 13, 13},
    {148, ":/cursors/draw_rect.svg", 8, 8},    {149, ":/cursors/draw_ellipse.svg", 8, 8},
};

} // namespace

QCursor LoadCursorResource(int resource) {
    for (const CursorPicture& c : kCursorPictures) {
        if (c.resource != resource) continue;
        const QPixmap picture(QString::fromLatin1(c.file));
        if (picture.isNull()) break;
        return QCursor(picture, c.hotX * picture.width() / 32, c.hotY * picture.height() / 32);
    }
    return QCursor(Qt::CrossCursor);
}

CTool::~CTool() {
    m_pImage = nullptr;
    m_aPoints.clear();
}

void CTool::OnLButtonDown(Bitmap* image, unsigned, int, int) {
    m_pImage = image;
    m_bPressed = 1;
}

void CTool::OnLButtonUp(Bitmap* image, unsigned, int, int) {
    m_bPressed = 0;
    m_pImage = image;
}

void CTool::OnMouseMove(Bitmap* image, unsigned, int, int) {
    m_pImage = image;
}

void CTool::attach(ToolHost& host) {
    m_pHost = &host;
    const CLumasetDoc& d = host.document();
    m_nPenWidth = d.m_nPenWidth;
    m_crForeground = d.m_crForeground;
    m_crBackground = d.m_crBackground;
}

bool CTool::finishDrag(Bitmap* image, int x, int y) {
    m_ptCurrent = ClientToImage(x, y);
    m_aPoints.append(m_ptCurrent);
    if (!m_bPressed || m_aPoints.size() <= 1) return false;
    m_bPressed = 0;
    m_pImage = image;
    return true;
}

CLumasetDoc& CTool::doc() const {
    return m_pHost->document();
}

QPoint CTool::ClientToImage(int x, int y, bool centred) const {
    ViewMapping m = m_pHost->mapping();
    const Bitmap* image = doc().GetImage();
    m.imageWidth = image ? std::max(int(image->GetWidth()), 1) : 1;
    m.imageHeight = image ? std::max(int(image->GetHeight()), 1) : 1;
    return ClampToImage(
        ::ClientToImage(QPoint(x, y), m, centred ? MapRounding::Centred : MapRounding::Button), m);
}

std::span<const ToolInfo> ToolTable() {
    return kTools;
}

const ToolInfo* FindToolInfo(int type) {
    for (const ToolInfo& t : kTools)
        if (t.type == type) return &t;
    return nullptr;
}

const ToolInfo* FindToolByName(const QString& name) {
    const CommandDef* command = FindCommandByName(name);
    if (!command || command->tool == 0) return nullptr;
    return FindToolInfo(command->tool);
}

QString ToolText(const ToolInfo& info) {
    const CommandDef* command = FindCommand(info.command);
    return command ? PlainText(*command) : QString();
}

CTool* ToolRegistry::GetToolForType(int type, ToolHost& host) {
    const ToolInfo* info = FindToolInfo(type);
    if (!info) return nullptr;
    std::unique_ptr<CTool>& slot = m_tools[std::size_t(type - 1)];
    if (!slot) slot = info->make();
    slot->attach(host);
    return slot.get();
}

CTool* ToolRouter::press(unsigned flags, QPoint client) {
    m_pTool = m_registry.GetToolForType(m_host.document().m_nToolType, m_host);
    if (m_pTool)
        m_pTool->OnLButtonDown(m_host.document().GetImage(), flags, client.x(), client.y());
    return m_pTool;
}

CTool* ToolRouter::move(unsigned flags, QPoint client) {
    m_pTool = m_registry.GetToolForType(m_host.document().m_nToolType, m_host);
    if (m_pTool) m_pTool->OnMouseMove(m_host.document().GetImage(), flags, client.x(), client.y());
    return m_pTool;
}

CTool* ToolRouter::release(unsigned flags, QPoint client) {
    if (m_pTool) m_pTool->OnLButtonUp(m_host.document().GetImage(), flags, client.x(), client.y());
    m_host.startOutlineTimer();
    return m_pTool;
}

void ToolHost::pushBackup() {
    document().PushBackup(false);
}
