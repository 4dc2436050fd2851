// SPDX-License-Identifier: GPL-3.0-or-later
// The Curve dialog.
#include "ui/dialogs/curve_dialog.h"

#include "ui/dialogs/dialog_parts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QColor kNavy(0, 0, 128);

} // namespace

// The framed curve area (control 1087). Mouse positions are taken relative to
// the frame; the drawing fills the frame less one pixel on every side.
class CCurve::CurveArea : public QFrame {
  public:
    CurveArea(CCurve* dialog, QSize size) : QFrame(dialog), m_dialog(dialog) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setFixedSize(size);
        setMouseTracking(true);
        buildGrid();
    }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Qt delivers the release to the pressed widget wherever it happens, so a
    // release outside the area still ends the drag.
    void mouseReleaseEvent(QMouseEvent*) override { m_dialog->m_model.curve().release(); }

  private:
    QRect area() const { return rect().adjusted(1, 1, -1, -1); }
    std::optional<CurvePoint> at(QPoint p) const { return CurveModel::toCurve(p, rect()); }
    void buildGrid();

    CCurve* m_dialog;
    QImage m_grid;
    std::optional<QPoint> m_mouse;
};

void CCurve::CurveArea::buildGrid() {
    const int w = area().width(), h = area().height();
    m_grid = QImage(w, h, QImage::Format_ARGB32);
    m_grid.fill(Qt::white);
    QPainter g(&m_grid);
    g.setRenderHint(QPainter::Antialiasing);
    QPen dash(QColor(128, 128, 188, 128), 1.0, Qt::DashLine);
    g.setPen(dash);
    for (const double f : {0.25, 0.5, 0.75}) {
        g.drawLine(QPointF(f * w, 0), QPointF(f * w, h));
        g.drawLine(QPointF(0, f * h), QPointF(w, f * h));
    }
    g.drawLine(QPointF(0, h), QPointF(w, 0));
}

void CCurve::CurveArea::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    const QRect a = area();
    const int w = a.width(), h = a.height();
    QImage back = m_grid;
    QPainter g(&back);
    g.setRenderHint(QPainter::Antialiasing);
    const std::optional<CurvePoint> mouse = m_mouse ? at(*m_mouse) : std::nullopt;
    if (m_mouse) {
        g.setPen(QPen(QColor(128, 128, 96, 128), 1.0));
        const QPoint p = *m_mouse - a.topLeft();
        g.drawLine(0, p.y(), w, p.y());
        g.drawLine(p.x(), 0, p.x(), h);
    }
    const CurveSpline spline(m_dialog->m_model.curve().points());
    QPolygonF samples;
    for (int k = 0; k < 256; ++k)
        samples << QPointF(
            float(k * (w - 1) / 255.0),
            float(std::clamp(255.0 - spline.Evaluate(k), 0.0, 255.0) * (h - 1) / 255.0));
    QPen curve(kNavy, 2.0);
    curve.setJoinStyle(Qt::RoundJoin);
    g.setPen(curve);
    g.drawPolyline(samples);
    g.setPen(QPen(kNavy, 1.0));
    for (const CurvePoint& p : m_dialog->m_model.curve().points()) {
        const QPointF centre(((w - 1) * p.x) / 255, ((255 - p.y) * (h - 1)) / 255);
        const bool near = mouse && CurveDistance(p, *mouse) < 10.0f;
        g.setBrush(near ? QBrush(Qt::white) : QBrush(kNavy));
        g.drawEllipse(centre, near ? 4.0 : 2.0, near ? 4.0 : 2.0);
    }
    g.end();
    QPainter(this).drawImage(a.topLeft(), back);
}

void CCurve::CurveArea::mousePressEvent(QMouseEvent* event) {
    const std::optional<CurvePoint> p = at(event->position().toPoint());
    if (!p) return;
    CurveModel& curve = m_dialog->m_model.curve();
    if (event->button() == Qt::LeftButton) {
        if (curve.press(*p)) m_dialog->changed();
    } else if (event->button() == Qt::RightButton) {
        if (curve.removeNear(*p)) m_dialog->changed();
    }
}

void CCurve::CurveArea::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const std::optional<CurvePoint> p = at(pos);
    if (!p) return;
    m_mouse = pos;
    m_dialog->m_readout->setText(QString::asprintf("(%d,%d)", p->x, p->y));
    if (m_dialog->m_model.curve().drag(*p))
        m_dialog->changed();
    else
        update();
}

CCurve::CCurve(const Bitmap& image, QWidget* parent) : QDialog(parent), m_model(image) {
    setWindowTitle(QStringLiteral("Curve"));
    auto* curveBox = new QGroupBox(QStringLiteral("Curve"));
    auto* curveLayout = new QVBoxLayout(curveBox);
    m_area = WithId(new CurveArea(this, DialogUnits(219, 110)), 1087);
    m_readout = WithId(new QLabel(QStringLiteral("Static")), 1088);
    curveLayout->addWidget(m_area);
    curveLayout->addWidget(m_readout);

    auto* previewBox = new QGroupBox(QStringLiteral("Preview"));
    auto* previewLayout = new QVBoxLayout(previewBox);
    m_preview = WithId(new ImagePanel(DialogUnits(117, 112), this), 1086);
    m_preview->setBitmap(&m_model.preview());
    previewLayout->addWidget(m_preview);
    previewLayout->addStretch(1);

    auto* buttons = AddResetButtons(this, Qt::Horizontal, [this] {
        m_model.curve().reset();
        changed();
    });

    auto* grid = new QGridLayout(this);
    grid->addWidget(curveBox, 0, 0);
    grid->addWidget(previewBox, 0, 1);
    grid->addLayout(buttons, 1, 0, 1, 2);
}

void CCurve::changed() {
    m_model.refresh();
    m_preview->update();
    m_area->update();
}
