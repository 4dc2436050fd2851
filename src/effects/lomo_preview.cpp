// SPDX-License-Identifier: GPL-3.0-or-later
// The LOMO dialog's model.
#include "effects/lomo_preview.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr LomoSlider kSliders[] = {
    {"Cyan", -100, 100, -80, 1, "cyan"},     {"Magenta", -100, 100, 0, 1, "magenta"},
    {"Yellow", -100, 100, -60, 1, "yellow"}, {"Black", 0, 255, 30, 1, "black"},
    {"White", 0, 255, 251, 1, "white"},      {"Gramma", 0, 1000, 120, 100, "gamma"},
    {"Ratio", 0, 100, 40, 100, "ratio"},     {"Alpha", 0, 255, 210, 1, "alpha"},
};
static_assert(std::size(kSliders) == LomoPreview::kSliderCount);

// The command's routine, called in one place so the preview follows it.
void runLomo(Bitmap& source, Bitmap& destination, const LomoParams& p) {
    Lomo(source, destination, nullptr, p);
}

} // namespace

LomoPreview::LomoPreview(const Bitmap& thumbnail)
    : m_source(thumbnail.Clone()), m_preview(thumbnail.Clone()) {
    reset();
}

std::span<const LomoSlider> LomoPreview::sliders() {
    return kSliders;
}

int LomoPreview::setPosition(int slider, int position) {
    position = std::clamp(position, kSliders[slider].minimum, kSliders[slider].maximum);
    if (slider == Black) position = std::min(position, m_positions[White]);
    if (slider == White) position = std::max(position, m_positions[Black]);
    if (position != m_positions[slider]) {
        m_positions[slider] = position;
        refresh();
    }
    return position;
}

QString LomoPreview::valueText(int slider) const {
    if (kSliders[slider].scale == 1) return QString::asprintf("%d", m_positions[slider]);
    return QString::asprintf("%0.2f", m_positions[slider] / double(kSliders[slider].scale));
}

void LomoPreview::reset() {
    for (int i = 0; i < kSliderCount; ++i)
        m_positions[i] = kSliders[i].start;
    refresh();
}

void LomoPreview::setValues(const Params& values) {
    for (int i = 0; i < kSliderCount; ++i) {
        const LomoSlider& s = kSliders[i];
        const double v =
            s.scale == 1 ? values.integer(s.param) : std::round(values.real(s.param) * s.scale);
        m_positions[i] = int(std::clamp(v, double(s.minimum), double(s.maximum)));
    }
    m_positions[Black] = std::min(m_positions[Black], m_positions[White]);
    refresh();
}

void LomoPreview::writeValues(Params& out) const {
    for (int i = 0; i < kSliderCount; ++i) {
        const LomoSlider& s = kSliders[i];
        out.set(s.param, s.scale == 1 ? QString::number(m_positions[i])
                                      : QString::number(m_positions[i] / double(s.scale), 'g', 17));
    }
}

LomoParams LomoPreview::params() const {
    return {.cyan = m_positions[Cyan],
            .magenta = m_positions[Magenta],
            .yellow = m_positions[Yellow],
            .black = m_positions[Black],
            .white = m_positions[White],
            .gamma = m_positions[Gamma] / 100.0,
            .ratio = m_positions[Ratio] / 100.0,
            .alpha = m_positions[Alpha]};
}

void LomoPreview::refresh() {
    if (m_source->isValid() && m_preview->isValid()) runLomo(*m_source, *m_preview, params());
}
