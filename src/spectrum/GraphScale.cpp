#include "GraphScale.h"

#include "NoteTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kHitTop = 360;
constexpr int kHitHalfWidth = 8;
// Far enough outside the canvas for any marker that cannot be seen, small enough for an int.
constexpr double kOffCanvas = 100000.0;

// Numbered notation by pitch class, starting at A.
constexpr std::array<std::string_view, 12> kNumbered = {"6", ":", "7", "1", ":", "2",
                                                        ":", "3", "4", ":", "5", ":"};

} // namespace

// C8 stands 1740 pixels right of A0: 5 cents a pixel with an equal-tempered table.
GraphScale::GraphScale(double lowest, double highest)
    : m_dLowest(lowest), m_dHighest(highest),
      m_dCentsPerPixel(1200.0 * std::log2(highest / lowest) / (NoteX(kNoteLast) - kLeft)) {}

GraphScale::GraphScale(const NoteTable& notes)
    : GraphScale(notes.Frequency(kNoteFirst), notes.Frequency(kNoteLast)) {
    std::vector<double> rows(kNoteCount);
    bool equal = true;
    bool rising = true;
    for (int k = 0; k < kNoteCount; ++k) {
        rows[k] = notes.Frequency(k);
        equal = equal && std::abs(rows[k] / (rows[0] * std::pow(2.0, k / 12.0)) - 1.0) < 1e-9;
        rising = rising && (k == 0 || rows[k] > rows[k - 1]);
    }
    // A scale whose rows do not rise cannot be laid on the grid: it keeps the plain mapping.
    if (!equal && rising) {
        m_rows = std::move(rows);
    }
}

double GraphScale::Offset(double hz) const {
    if (m_rows.empty()) {
        return std::trunc(1200.0 * std::log2(hz / m_dLowest) / m_dCentsPerPixel);
    }
    // The row at or below hz (the first or last row beyond the table), then the way to the next.
    const auto above = std::upper_bound(m_rows.begin() + 1, m_rows.end() - 1, hz);
    const auto k = static_cast<int>(above - m_rows.begin()) - 1;
    const double step = std::log2(m_rows[k + 1] / m_rows[k]);
    return std::trunc((k + std::log2(hz / m_rows[k]) / step) * kColumn);
}

int GraphScale::FrequencyToX(double hz) const {
    const double e = Offset(hz);
    if (!(e > 0.0)) {
        return kLeft;
    }
    return kLeft + static_cast<int>(std::min(e, kOffCanvas));
}

int GraphScale::MarkerX(double hz) const {
    const double e = Offset(hz + 0.7);
    if (!std::isfinite(e)) {
        return -static_cast<int>(kOffCanvas);
    }
    return kLeft + static_cast<int>(std::clamp(e, -kOffCanvas, kOffCanvas));
}

int GraphScale::ClampRatio(int ratio) {
    return std::clamp(ratio, 0, kRatioCount - 1);
}

int GraphScale::FullScale(int ratio) {
    return kFullScale[static_cast<std::size_t>(ClampRatio(ratio))];
}

int GraphScale::MagnitudeToY(double magnitude, int ratio, int baseline) {
    // 36000 / 32768: the plot's 360 pixels stand for the full-scale percentage of 32768.
    const int plotHeight = baseline - kTop;
    double h = magnitude * 1.0986328125 / FullScale(ratio);
    if (plotHeight != kPlotHeight) {
        h *= double(plotHeight) / kPlotHeight;
    }
    h = std::trunc(h);
    if (!(h > 0.0)) {
        return baseline;
    }
    return baseline - static_cast<int>(std::min(h, double(plotHeight)));
}

std::string GraphScale::ScaleLabel(int ratio, int row) {
    char text[16];
    std::snprintf(text, sizeof text, "%5.1f%%", FullScale(ratio) * (kGridRows - row) / 10.0);
    return text;
}

std::string_view GraphScale::NumberedName(int key, int k) {
    const int index = ((kKeyCount - key % kKeyCount + k) % kKeyCount + kKeyCount) % kKeyCount;
    return kNumbered[static_cast<std::size_t>(index)];
}

std::optional<int> GraphScale::HitNote(int x, int y, int baseline) {
    if (y <= kHitTop + baseline - kBaseline) {
        return std::nullopt;
    }
    for (int k = 0; k < kNoteCount; ++k) {
        if (std::abs(x - NoteX(k)) < kHitHalfWidth) {
            return k;
        }
    }
    return std::nullopt;
}
