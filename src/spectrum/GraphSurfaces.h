#pragma once

#include "GraphLabels.h"
#include "GraphScale.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPoint>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class NoteTable;

// The spectrum pane's two off-screen surfaces of 1821 x 421 pixels and everything drawn into
// them. The background holds the grid and the labels (GraphLabels); it is redrawn only after
// the key or the zoom step changed. A frame shows the spectrum outline and the pitch markers
// ANDed with the background: white lets them through, grid and labels stay on top. The
// composition surface keeps the last frame; the next one puts the background's pixels back
// where the last outline and markers were, then ANDs the new ones in.
//
// A frame is composed only when there is something new to show: a new snapshot of the
// spectrum, another key or zoom step, another A4 reference. A paint in between (a scroll, an
// expose, a tooltip) only copies from the composed surface.
//
// A frame allocates nothing of its own: surfaces, pens, colours, the painter and the vertex
// buffer are made once here. All of it belongs to the GUI thread.
class GraphSurfaces {
public:
    static constexpr int kMarkers = 20;

    explicit GraphSurfaces(const NoteTable& notes);

    int Key() const { return m_nKey; }
    int VerticalRatio() const { return m_nVerticalRatio; }
    // Both limited into range (key 0..12, where 12 draws like 0; step 0..6).
    void SetKey(int key);
    void SetVerticalRatio(int ratio);
    // One zoom step; false, and nothing changes, at the end of the range.
    bool ZoomIn();
    bool ZoomOut();
    bool CanZoomIn() const { return m_nVerticalRatio < GraphScale::kRatioCount - 1; }
    bool CanZoomOut() const { return m_nVerticalRatio > 0; }
    bool IsBackgroundDirty() const { return m_bBackgroundDirty; }
    // The surfaces' height, at least GraphScale::kHeight (taller surfaces stretch the plot): a
    // new height makes new surfaces and redraws everything with the next frame.
    void SetHeight(int height);
    int Height() const { return m_bmpCompose.height(); }
    int Baseline() const { return GraphScale::BaselineFor(Height()); }

    // Composes one frame from a display spectrum (bins 44100/32768 Hz apart) and the pitch
    // history (oldest first); the result is Compose().
    void DrawFrame(std::span<const double> spectrum, std::span<const double> history);
    // DrawFrame, unless the last frame showed the snapshot with this serial and these markers
    // (which may change apart from the snapshot) under the same key, zoom step and A4
    // reference. True when it composed.
    bool Refresh(std::uint64_t serial, std::span<const double> spectrum,
                 std::span<const double> history);
    // Frames composed so far.
    long Compositions() const { return m_nCompositions; }

    const QImage& Background() const { return m_bmpBackground; }
    const QImage& Compose() const { return m_bmpCompose; }
    // The outline's vertices of the last frame, from (50, baseline) back to the baseline.
    std::span<const QPoint> Outline() const { return {m_vertices.data(), m_nVertices}; }
    const GraphLabels& Labels() const { return m_labels; }

private:
    void DrawBackground();
    void DrawOutline(const GraphScale& scale, std::span<const double> spectrum);
    void MapBins(const GraphScale& scale);
    void DrawMarkers(const GraphScale& scale, std::span<const double> history);
    void EraseLastFrame();
    void RestoreBackground(const QRect& rect);

    const NoteTable& m_notes;
    bool m_bBackgroundDirty = true;
    int m_nKey = 0;
    int m_nVerticalRatio = GraphScale::kDefaultRatio;

    QImage m_bmpBackground;
    QImage m_bmpCompose;
    QPainter m_painter; // on m_bmpCompose from construction on
    GraphLabels m_labels;
    QPen m_solidPen;
    QPen m_dottedPen;
    QPen m_outlinePen; // cosmetic: one pixel, on the fast path
    std::array<QRgb, kMarkers> m_markerColours;
    std::array<QPoint, GraphScale::kMaxVertices> m_vertices{};
    std::size_t m_nVertices = 0;
    // The x of each bin left of the plot's right edge, for the mapping of these two notes.
    std::vector<int> m_binX;
    double m_dMappedLowest = 0.0;
    double m_dMappedHighest = 0.0;
    std::array<QRect, kMarkers> m_markerRects{};
    std::size_t m_nMarkers = 0;
    long m_nCompositions = 0;
    bool m_bShown = false; // of the last frame:
    std::uint64_t m_nShownSerial = 0;
    std::vector<double> m_shownHistory;
    double m_dShownLowest = 0.0;
};
