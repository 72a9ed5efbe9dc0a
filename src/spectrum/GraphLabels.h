#pragma once

#include "GraphScale.h"

#include <QFont>
#include <QString>

#include <array>

class QPainter;

// The text around the plot, placed by the metrics of the fonts in use so that every label
// comes out whole whatever the UI font:
// - the scale in percent of full scale, right-aligned at the plot's left edge and centred on
//   its grid line (in a smaller size should the widest label not fit left of the plot);
// - beneath the plot three rows, each label centred under its note's line: the numbered
//   notation in red bold, the names of the natural notes, and the names of the sharps on a
//   line of their own. Naturals stand 20 pixels apart at B-C and E-F; sharps never closer than
//   40, so "#C4" no longer runs into its neighbours.
//
// A row is as tall as the ink of the characters it can show (the font's own glyph metrics, one
// pixel of margin each side); the labels are written at their baseline without clipping.
class GraphLabels {
public:
    enum Row { kNumbered, kNaturals, kSharps, kRowCount };

    // The fonts derive from the application's font of the moment.
    GraphLabels();

    // Scale labels for zoom step ratio, numbered notation in key (0..12), for a plot over the
    // baseline given; the rows below move with it.
    void Draw(QPainter& painter, int key, int ratio, int baseline) const;

    // The canvas lines a row's glyphs stay within, top and bottom included.
    int RowTop(Row row) const { return m_rows[row].top; }
    int RowBottom(Row row) const { return m_rows[row].bottom; }
    // The canvas box the scale label of grid line j (0 = top) stays within.
    int ScaleRight() const { return kScaleRight; }
    int ScaleTop(int j) const { return ScaleBaseline(j) + m_nScaleInkTop - 1; }
    int ScaleBottom(int j) const { return ScaleBaseline(j) + m_nScaleInkBottom + 1; }
    const QFont& ScaleFont() const { return m_scaleFont; }

    // Whether note k's name goes on the row of the sharps.
    static bool IsSharp(int k);

private:
    // Four pixels clear of the plot's first line.
    static constexpr int kScaleRight = 45;

    struct Band {
        int top = 0;
        int bottom = 0;
        int baseline = 0;
    };

    int ScaleBaseline(int j, int baseline = GraphScale::kBaseline) const;
    void DrawRow(QPainter& painter, int y, int k, const QString& text) const;

    QFont m_scaleFont;
    QFont m_boldFont;
    QFont m_nameFont;
    int m_nScaleInkTop = 0;    // relative to the baseline
    int m_nScaleInkBottom = 0; // relative to the baseline
    std::array<Band, kRowCount> m_rows{};
};
