// SPDX-License-Identifier: GPL-3.0-or-later
// The LOMO dialog.
#include "ui/dialogs/lomo_dialog.h"

#include "adjust/blend.h"
#include "ui/dialogs/dialog_parts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

// Slider and edit ids in the model's slider order.
constexpr int kSliderIds[] = {1073, 1074, 1075, 1076, 1077, 1078, 1082, 1044};
constexpr int kFieldIds[] = {1079, 1080, 1081, 1065, 1066, 1067, 1083, 1045};

} // namespace

CLOMODlg::CLOMODlg(const Bitmap& image, QWidget* parent)
    : QDialog(parent), m_model(*ScaledCopy(image, LomoPreview::kWidth, LomoPreview::kHeight)) {
    setWindowTitle(QStringLiteral("LOMO"));
    auto* grid = new QGridLayout;
    for (int i = 0; i < LomoPreview::kSliderCount; ++i) {
        const LomoSlider& s = LomoPreview::sliders()[std::size_t(i)];
        m_rows.push_back(AddSliderRow(grid, i, QString::fromLatin1(s.label), s.minimum, s.maximum,
                                      kSliderIds[i], kFieldIds[i]));
    }
    const QSize thumb = DialogUnits(160, 132);
    m_source = WithId(new ImagePanel(thumb, this), 1056);
    m_preview = WithId(new ImagePanel(thumb, this), 1057);
    m_source->setBitmap(&m_model.source());
    m_preview->setBitmap(&m_model.preview());

    auto* buttons = AddResetButtons(this, Qt::Horizontal, [this] {
        m_model.reset();
        showValues();
    });

    auto* pictures = new QHBoxLayout;
    pictures->addWidget(m_source);
    pictures->addWidget(m_preview);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pictures);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    showValues();
    for (int i = 0; i < LomoPreview::kSliderCount; ++i)
        connect(m_rows[std::size_t(i)].slider, &QSlider::valueChanged, this, [this, i](int p) {
            SliderRow& row = m_rows[std::size_t(i)];
            // Black stops at White and White at Black: the slider goes back there.
            const int taken = m_model.setPosition(i, p);
            if (taken != p) {
                const QSignalBlocker quiet(row.slider);
                row.slider->setValue(taken);
            }
            row.field->setText(m_model.valueText(i));
            m_preview->update();
        });
}

void CLOMODlg::showValues() {
    for (int i = 0; i < LomoPreview::kSliderCount; ++i) {
        SliderRow& row = m_rows[std::size_t(i)];
        const QSignalBlocker quiet(row.slider);
        row.slider->setValue(m_model.position(i));
        row.field->setText(m_model.valueText(i));
    }
    m_preview->update();
}
