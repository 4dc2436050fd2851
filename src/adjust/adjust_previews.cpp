// SPDX-License-Identifier: GPL-3.0-or-later
// Preview models of the Blend, tone and Curve dialogs.
#include "adjust/adjust_previews.h"

#include "adjust/blend.h"
#include "adjust/tone.h"

#include <QStringList>
#include <algorithm>

namespace {

// The routines the commands run, called through one place each so the
// previews follow the commands when a routine's signature changes.
void blendWithItself(Bitmap& target, Bitmap& source, int channel, int mode, int percent) {
    BlendImages(target, channel, source, channel, mode, percent * 1.0 / 100.0);
}

void adjustTone(ToneKind kind, Bitmap& image, Bitmap& working, const int* p,
                const SelectionRegion* selection) {
    switch (kind) {
    case ToneKind::BrightnessContrast:
        AdjustBrightnessContrast(image, working, p[0], p[1], selection);
        break;
    case ToneKind::ColorBalance:
        AdjustColorBalance(image, working, p[0], p[1], p[2], selection);
        break;
    case ToneKind::Gamma:
        AdjustGamma(image, working, GammaFromSliderPosition(p[0]));
        break;
    }
}

constexpr ToneSlider kBrightnessContrastSliders[] = {
    {"Bright", -255, 255, 0, "brightness"},
    {"Contrast", -100, 100, 0, "contrast"},
};
constexpr ToneSlider kColorBalanceSliders[] = {
    {"Red", -255, 255, 0, "red"},
    {"Green", -255, 255, 0, "green"},
    {"Blue", -255, 255, 0, "blue"},
};
// The gamma slider starts at 1 (gamma 0.02, raised to 0.1 by the routine), so
// the "after" panel opens dark; Reset returns there too.
constexpr ToneSlider kGammaSliders[] = {
    {"Bright", 0, 100, kGammaSliderStart, "position"},
};

} // namespace

BlendPreview::BlendPreview(const Bitmap& image) : m_reference(ScaledCopy(image, kWidth, kHeight)) {
    refresh();
}

void BlendPreview::setMode(int index) {
    m_mode = index >= 1 && index < kBlendModeCount ? index : 0;
    refresh();
}

void BlendPreview::setChannel(int index) {
    m_channel = index >= 1 && index <= 3 ? index : 0;
    refresh();
}

void BlendPreview::setAlpha(int percent) {
    m_alpha = std::clamp(percent, 0, 100);
    refresh();
}

void BlendPreview::writeValues(Params& out) const {
    out.set("mode", QString::fromLatin1(kBlendModeLabels[m_mode]));
    out.set("alpha", QString::number(m_alpha));
    out.set("channel", QString::fromLatin1(kBlendChannelLabels[m_channel]));
}

void BlendPreview::refresh() {
    m_preview = m_reference->Clone(Rect{0, 0, kWidth, kHeight}, PixelFormat32bppARGB);
    if (m_preview)
        blendWithItself(*m_preview, *m_reference, m_channel, m_mode, m_alpha);
    else
        m_preview = std::make_unique<Bitmap>(kWidth, kHeight, PixelFormat32bppARGB);
}

TonePreview::TonePreview(ToneKind kind, Bitmap& image, const SelectionRegion* selection)
    : m_kind(kind), m_image(image), m_selection(selection), m_working(image.Clone()) {
    for (std::size_t i = 0; i < sliders().size(); ++i)
        m_positions[i] = sliders()[i].start;
    recompute();
}

std::span<const ToneSlider> TonePreview::sliders() const {
    switch (m_kind) {
    case ToneKind::BrightnessContrast:
        return kBrightnessContrastSliders;
    case ToneKind::ColorBalance:
        return kColorBalanceSliders;
    case ToneKind::Gamma:
        break;
    }
    return kGammaSliders;
}

// Both tone templates other than gamma title their group box "ColorBalance",
// as the dialog always has.
const char* TonePreview::groupTitle() const {
    return m_kind == ToneKind::Gamma ? "Gamma" : "ColorBalance";
}

const char* TonePreview::title() const {
    switch (m_kind) {
    case ToneKind::BrightnessContrast:
        return "Brightness and Contrast";
    case ToneKind::ColorBalance:
        return "ColorBalance";
    case ToneKind::Gamma:
        break;
    }
    return "Gamma";
}

void TonePreview::setPosition(int slider, int position) {
    const ToneSlider& s = sliders()[slider];
    position = std::clamp(position, s.minimum, s.maximum);
    if (position == m_positions[slider]) return;
    m_positions[slider] = position;
    recompute();
}

QString TonePreview::valueText(int slider) const {
    if (m_kind == ToneKind::Gamma)
        return QString::asprintf("%f", GammaFromSliderPosition(m_positions[0]));
    return QString::asprintf("%d", m_positions[slider]);
}

void TonePreview::reset() {
    bool changed = false;
    for (std::size_t i = 0; i < sliders().size(); ++i) {
        changed |= m_positions[i] != sliders()[i].start;
        m_positions[i] = sliders()[i].start;
    }
    if (changed) recompute();
}

void TonePreview::setValues(const Params& values) {
    for (std::size_t i = 0; i < sliders().size(); ++i)
        m_positions[i] = std::clamp(values.integer(sliders()[i].param), sliders()[i].minimum,
                                    sliders()[i].maximum);
    recompute();
}

void TonePreview::writeValues(Params& out) const {
    // Gamma goes as the slider position: the command takes the gamma from it
    // while "gamma" is left empty.
    for (std::size_t i = 0; i < sliders().size(); ++i)
        out.set(sliders()[i].param, QString::number(m_positions[i]));
}

void TonePreview::recompute() {
    if (m_working && m_working->isValid())
        adjustTone(m_kind, m_image, *m_working, m_positions, m_selection);
}

CurvePreview::CurvePreview(const Bitmap& image)
    : m_reference(ScaledCopy(image, kWidth, kHeight)),
      m_preview(ScaledCopy(image, kWidth, kHeight)) {
    refresh();
}

void CurvePreview::refresh() {
    m_curve.toneTable(m_table);
    // The command's routine: all three colour bytes through the table.
    ApplyChannelTable(*m_reference, *m_preview, m_table, 7);
}

void CurvePreview::writeValues(Params& out) const {
    QStringList pairs;
    for (const CurvePoint& p : m_curve.points())
        pairs << QStringLiteral("%1:%2").arg(p.x).arg(p.y);
    out.set("points", pairs.join(';'));
}
