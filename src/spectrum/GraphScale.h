#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class NoteTable;

// The fixed geometry of the spectrum canvas and its mappings, free of any drawing: one grid
// column per semitone from A0 (x = 50) to C8 (x = 1790), closed by a last line at x = 1810,
// with the plot from y = 10 (full scale) down to the baseline at y = 370. A canvas made taller
// than 421 pixels stretches the plot: the baseline and everything under it move down by as
// much.
//
// The frequency mapping is made from the lowest and highest notes of the table, so it follows
// the A4 reference; everything else is constant.
class GraphScale {
public:
    static constexpr int kWidth = 1821;
    static constexpr int kHeight = 421;
    static constexpr int kLeft = 50;
    static constexpr int kRight = 1810;
    static constexpr int kTop = 10;
    static constexpr int kBaseline = 370;
    static constexpr int kPlotHeight = kBaseline - kTop;
    static constexpr int kBelowBaseline = kHeight - kBaseline;
    static constexpr int kColumn = 20;   // pixels per semitone
    static constexpr int kGridRows = 10; // 36 pixels apart
    static constexpr int kMaxVertices = 1812;
    static constexpr int kRatioCount = 7;
    static constexpr int kDefaultRatio = 3;
    static constexpr int kKeyCount = 12;
    static constexpr int kBins = 16384;
    static constexpr double kBinHz = 44100.0 / 32768.0;
    // Percent of full scale (a magnitude of 32768) at the top line, per zoom step.
    static constexpr std::array<int, kRatioCount> kFullScale = {100, 50, 20, 10, 5, 2, 1};

    // lowest and highest are the frequencies of A0 and C8.
    GraphScale(double lowest, double highest);
    // From the table as it stands: in equal temperament the same as from its first and last
    // rows; in any other each note's frequency lands on its grid line, and frequencies between
    // two notes are spread evenly in cents between their lines.
    explicit GraphScale(const NoteTable& notes);
    double Lowest() const { return m_dLowest; }
    double Highest() const { return m_dHighest; }

    // x of a spectrum frequency: 50 for anything at or below A0 (and for 0 or a non-finite
    // value); may lie right of the plot for high frequencies (then it is at least kRight).
    int FrequencyToX(double hz) const;
    // x of a pitch marker's centre, without the lower limit: 0 Hz lands far left of the canvas.
    int MarkerX(double hz) const;

    // The baseline of a canvas height (at least kHeight).
    static constexpr int BaselineFor(int height) {
        return std::max(height, kHeight) - kBelowBaseline;
    }
    // y of grid line row (0 = top .. kGridRows = baseline) over the baseline given.
    static constexpr int GridY(int row, int baseline = kBaseline) {
        return kTop + (baseline - kTop) * row / kGridRows;
    }
    // y of a magnitude at zoom step ratio (0..6, limited) over the baseline given: never above
    // the top line or below the baseline; a non-finite magnitude stands on the baseline.
    static int MagnitudeToY(double magnitude, int ratio, int baseline = kBaseline);
    static int FullScale(int ratio);
    static int ClampRatio(int ratio);
    // The scale label of grid row 0 (top) .. 10 (baseline), e.g. "100.0%" or "  0.9%".
    static std::string ScaleLabel(int ratio, int row);

    // The x of note k's grid line.
    static constexpr int NoteX(int k) { return kLeft + kColumn * k; }
    // The numbered-notation name of note k (0 = A0) in key 0..12 ("1 = C" .. "1 = B"; 12 is
    // read like 0): ":" for a note outside the key's major scale.
    static std::string_view NumberedName(int key, int k);
    // The note whose label a canvas point lies on: below y = 360 and less than 8 pixels
    // from its grid line; the lower note wins where two zones meet. Nothing elsewhere.
    // On a taller canvas the zones move down with the baseline.
    static std::optional<int> HitNote(int x, int y, int baseline = kBaseline);

private:
    // Whole pixels right of A0, truncated toward zero; not finite for 0 Hz.
    double Offset(double hz) const;

    double m_dLowest;
    double m_dHighest;
    double m_dCentsPerPixel;
    std::vector<double> m_rows; // the table's rows when they are not equal-tempered; else empty
};
