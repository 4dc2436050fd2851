// SPDX-License-Identifier: GPL-3.0-or-later
// The option bar's controls and how they reach the document.
#include "ui/setting_bar.h"

#include "document/lumaset_doc.h"
#include "ui/prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QSpinBox>

// A colour swatch: a framed rectangle filled with its colour that reports a
// left click.
class CSettingBar::Swatch : public QWidget {
  public:
    Swatch(const QColor& color, std::function<void()> clicked, QWidget* parent)
        : QWidget(parent), m_color(color), m_clicked(std::move(clicked)) {
        // 33 x 14 dialog units at the usual 6 x 13 pixel font.
        setFixedSize(50, 23);
        setCursor(Qt::PointingHandCursor);
    }
    void setColor(const QColor& color) {
        m_color = color;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Mid));
        p.fillRect(rect().adjusted(1, 1, -1, -1), m_color);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) m_clicked();
    }

  private:
    QColor m_color;
    std::function<void()> m_clicked;
};

CSettingBar::CSettingBar(CLumasetDoc& doc, Prompts& prompts, QWidget* parent)
    : QToolBar(QStringLiteral("Setting Bar"), parent), m_doc(doc), m_prompts(prompts) {
    auto* body = new QWidget(this);
    auto* row = new QHBoxLayout(body);
    row->setContentsMargins(6, 2, 6, 2);
    row->setSpacing(6);

    m_fgSwatch = new Swatch(
        m_foreground, [this] { chooseColor(true); }, body);
    m_bgSwatch = new Swatch(
        m_background, [this] { chooseColor(false); }, body);

    m_penBox = new QSpinBox(body);
    m_penBox->setRange(1, 60); // the arrows stop at 1 and 60
    m_penBox->setValue(m_nPenWidth);
    // Typing is off; the arrows (and the wheel) still step the value.
    m_penBox->findChild<QLineEdit*>()->setReadOnly(true);
    m_penBox->setMinimumWidth(56);
    connect(m_penBox, &QSpinBox::valueChanged, this, [this](int value) {
        m_nPenWidth = value;
        PushSettings();
    });

    m_alphaSlider = new QSlider(Qt::Horizontal, body);
    m_alphaSlider->setRange(0, 255);
    m_alphaSlider->setValue(m_nAlpha);
    m_alphaSlider->setFixedWidth(200);
    m_alphaField = new QLineEdit(QString::number(m_nAlpha), body);
    m_alphaField->setReadOnly(true);
    m_alphaField->setFixedWidth(
        m_alphaField->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    connect(m_alphaSlider, &QSlider::valueChanged, this, [this](int value) {
        m_nAlpha = value;
        m_alphaField->setText(QString::asprintf("%d", value));
        PushSettings();
    });

    row->addWidget(new QLabel(QStringLiteral("FGColor:"), body));
    row->addWidget(m_fgSwatch);
    row->addSpacing(8);
    row->addWidget(new QLabel(QStringLiteral("BGColor:"), body));
    row->addWidget(m_bgSwatch);
    row->addSpacing(8);
    row->addWidget(new QLabel(QStringLiteral("Pen Width:"), body));
    row->addWidget(m_penBox);
    row->addSpacing(8);
    row->addWidget(new QLabel(QStringLiteral("Alpha:"), body));
    row->addWidget(m_alphaSlider);
    row->addWidget(m_alphaField);
    row->addStretch(1); // the controls keep their sizes when the bar is wider
    addWidget(body);
}

QWidget* CSettingBar::swatch(bool foreground) const {
    return foreground ? m_fgSwatch : m_bgSwatch;
}

void CSettingBar::PushSettings() {
    m_doc.m_nAlpha = m_nAlpha;
    const ARGB alpha = ARGB(m_nAlpha & 0xFF) << 24;
    m_doc.m_crForeground = alpha | (m_foreground.rgb() & 0xFFFFFF);
    m_doc.m_crBackground = alpha | (m_background.rgb() & 0xFFFFFF);
    m_doc.m_nPenWidth = m_nPenWidth;
}

void CSettingBar::SetForegroundSwatch(const QColor& color) {
    m_foreground = color;
    m_fgSwatch->setColor(color);
}

void CSettingBar::chooseColor(bool foreground) {
    QColor& current = foreground ? m_foreground : m_background;
    const QColor chosen = m_prompts.color(this, current);
    if (chosen.isValid()) {
        current = chosen.toRgb();
        (foreground ? m_fgSwatch : m_bgSwatch)->setColor(current);
    }
    // A cancelled chooser still writes the settings, as a click always does.
    PushSettings();
}

void CSettingBar::showEvent(QShowEvent* event) {
    QToolBar::showEvent(event);
    // The bar's values, not the document's defaults, hold from its first showing.
    if (!m_pushedOnce) {
        m_pushedOnce = true;
        PushSettings();
    }
}
