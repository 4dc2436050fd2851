// SPDX-License-Identifier: GPL-3.0-or-later
// The Blend dialog and the tone dialogs.
#include "ui/dialogs/adjust_dialogs.h"

#include "adjust/blend.h"
#include "ui/dialogs/dialog_parts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

// Slider and value-field ids of each tone template, in slider order.
struct ToneIds {
    int slider, field;
};
constexpr ToneIds kBrightnessContrastIds[] = {{1065, 1067}, {1066, 1068}};
constexpr ToneIds kColorBalanceIds[] = {{1058, 1061}, {1059, 1062}, {1060, 1063}};
constexpr ToneIds kGammaIds[] = {{1069, 1070}};

const ToneIds* toneIds(ToneKind kind) {
    switch (kind) {
    case ToneKind::BrightnessContrast:
        return kBrightnessContrastIds;
    case ToneKind::ColorBalance:
        return kColorBalanceIds;
    case ToneKind::Gamma:
        break;
    }
    return kGammaIds;
}

QPushButton* button(const QString& text, int id) {
    return WithId(new QPushButton(text), id);
}

} // namespace

CBlend::CBlend(const Bitmap& image, QWidget* parent) : QDialog(parent), m_model(image) {
    setWindowTitle(QStringLiteral("Blend"));
    auto* source = new QGroupBox(QStringLiteral("Source"));
    auto* sourceRow = new QHBoxLayout(source);
    m_channels = WithId(new QComboBox, 1089);
    m_channels->addItems({QStringLiteral("RGB"), QStringLiteral("Red"), QStringLiteral("Green"),
                          QStringLiteral("Blue")});
    // The "Invert" box is checked and hidden at start; its click only refreshes.
    auto* invert = WithId(new QCheckBox(QStringLiteral("Invert")), 1090);
    invert->setChecked(true);
    invert->hide();
    sourceRow->addWidget(new QLabel(QStringLiteral("Channel:")));
    sourceRow->addWidget(m_channels, 1);
    sourceRow->addWidget(invert);

    auto* blend = new QGroupBox(QStringLiteral("Blend Mode"));
    auto* blendRow = new QHBoxLayout(blend);
    m_modes = WithId(new QComboBox, 1091);
    for (const char* label : kBlendModeLabels)
        m_modes->addItem(QString::fromLatin1(label));
    m_alpha = WithId(new QLineEdit(QStringLiteral("100")), 1045);
    m_alpha->setFixedWidth(DialogUnits(30, 0).width());
    blendRow->addWidget(new QLabel(QStringLiteral("Mode:")));
    blendRow->addWidget(m_modes, 1);
    blendRow->addWidget(new QLabel(QStringLiteral("Alpha:")));
    blendRow->addWidget(m_alpha);
    blendRow->addWidget(new QLabel(QStringLiteral("%")));

    m_preview = WithId(new ImagePanel(DialogUnits(232, 129), this), 1093);
    m_preview->setBitmap(&m_model.preview());

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(button(QStringLiteral("OK"), 1009), QDialogButtonBox::AcceptRole);
    buttons->addButton(button(QStringLiteral("Cancel"), 1010), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source);
    layout->addWidget(blend);
    layout->addWidget(m_preview, 0, Qt::AlignHCenter);
    layout->addWidget(buttons);

    // The list starts on Darken and so does the blend: shown and applied alike.
    auto refresh = [this] { m_preview->setBitmap(&m_model.preview()); };
    connect(m_modes, &QComboBox::currentIndexChanged, this, [this, refresh](int i) {
        m_model.setMode(i);
        refresh();
    });
    connect(m_channels, &QComboBox::currentIndexChanged, this, [this, refresh](int i) {
        m_model.setChannel(i);
        refresh();
    });
    // Text that is not a number reads as 0.
    connect(m_alpha, &QLineEdit::textChanged, this, [this, refresh](const QString& t) {
        m_model.setAlpha(t.toInt());
        refresh();
    });
    connect(invert, &QCheckBox::clicked, this, refresh);
}

void CBlend::showValues(int mode, int channel, int alpha) {
    m_modes->setCurrentIndex(mode);
    m_channels->setCurrentIndex(channel);
    m_alpha->setText(QString::number(alpha));
}

CToneDialog::CToneDialog(ToneKind kind, Bitmap& image, const SelectionRegion* selection,
                         QWidget* parent)
    : QDialog(parent), m_model(kind, image, selection) {
    setWindowTitle(QString::fromLatin1(m_model.title()));
    const QSize panel = DialogUnits(116, 132);
    m_before = WithId(new ImagePanel(panel, this), 1056);
    m_after = WithId(new ImagePanel(panel, this), 1057);
    m_before->setBitmap(&m_model.before());
    m_after->setBitmap(&m_model.after());

    auto* group = new QGroupBox(QString::fromLatin1(m_model.groupTitle()));
    auto* grid = new QGridLayout(group);
    const ToneIds* ids = toneIds(kind);
    for (std::size_t i = 0; i < m_model.sliders().size(); ++i) {
        const ToneSlider& s = m_model.sliders()[i];
        m_rows.push_back(AddSliderRow(grid, int(i), QString::fromLatin1(s.label), s.minimum,
                                      s.maximum, ids[i].slider, ids[i].field));
        if (kind == ToneKind::Gamma) m_rows.back().slider->setPageStep(50);
    }
    grid->setRowStretch(int(m_rows.size()), 1);
    group->setMinimumWidth(DialogUnits(170, 0).width());

    auto* buttons = AddResetButtons(this, Qt::Vertical, [this] {
        m_model.reset();
        showValues();
    });

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_before);
    layout->addWidget(m_after);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);

    showValues();
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        connect(m_rows[i].slider, &QSlider::valueChanged, this,
                [this, i](int p) { sliderMoved(int(i), p); });
}

void CToneDialog::showValues() {
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const QSignalBlocker quiet(m_rows[i].slider);
        m_rows[i].slider->setValue(m_model.position(int(i)));
        m_rows[i].field->setText(m_model.valueText(int(i)));
    }
    m_after->update();
}

void CToneDialog::sliderMoved(int slider, int position) {
    m_model.setPosition(slider, position);
    m_rows[std::size_t(slider)].field->setText(m_model.valueText(slider));
    m_after->update();
}
