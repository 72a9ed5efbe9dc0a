#include "GraphSurfaces.h"

#include "NoteTable.h"

#include <algorithm>

namespace {

const QColor kGridBlue(0, 0, 255);

} // namespace

GraphSurfaces::GraphSurfaces(const NoteTable& notes)
    : m_notes(notes),
      m_bmpBackground(GraphScale::kWidth, GraphScale::kHeight, QImage::Format_RGB32),
      m_bmpCompose(GraphScale::kWidth, GraphScale::kHeight, QImage::Format_RGB32),
      m_solidPen(kGridBlue, 1), m_dottedPen(kGridBlue, 1, Qt::DotLine), m_outlinePen(kGridBlue, 0) {
    for (int i = 0; i < kMarkers; ++i) {
        m_markerColours[static_cast<std::size_t>(i)] = qRgb(255, 160 - 8 * i, 255);
    }
    m_binX.reserve(GraphScale::kBins);
    m_bmpBackground.fill(Qt::white);
    m_bmpCompose.fill(Qt::white);
    // Stays active on the composition surface for good: beginning a painter allocates.
    m_painter.begin(&m_bmpCompose);
}

void GraphSurfaces::SetKey(int key) {
    m_nKey = std::clamp(key, 0, GraphScale::kKeyCount);
    m_bBackgroundDirty = true;
}

void GraphSurfaces::SetVerticalRatio(int ratio) {
    m_nVerticalRatio = GraphScale::ClampRatio(ratio);
    m_bBackgroundDirty = true;
}

void GraphSurfaces::SetHeight(int height) {
    height = std::max(height, GraphScale::kHeight);
    if (height == Height()) {
        return;
    }
    m_painter.end();
    m_bmpBackground = QImage(GraphScale::kWidth, height, QImage::Format_RGB32);
    m_bmpCompose = QImage(GraphScale::kWidth, height, QImage::Format_RGB32);
    m_bmpCompose.fill(Qt::white);
    m_painter.begin(&m_bmpCompose);
    // Nothing of the last frame is left to erase.
    m_nVertices = 0;
    m_nMarkers = 0;
    m_bBackgroundDirty = true;
}

bool GraphSurfaces::ZoomIn() {
    if (!CanZoomIn()) {
        return false;
    }
    SetVerticalRatio(m_nVerticalRatio + 1);
    return true;
}

bool GraphSurfaces::ZoomOut() {
    if (!CanZoomOut()) {
        return false;
    }
    SetVerticalRatio(m_nVerticalRatio - 1);
    return true;
}

void GraphSurfaces::DrawFrame(std::span<const double> spectrum, std::span<const double> history) {
    if (m_bBackgroundDirty) {
        DrawBackground();
        m_bBackgroundDirty = false;
        RestoreBackground(m_bmpCompose.rect());
    } else {
        EraseLastFrame();
    }
    // The mapping follows the A4 reference of the moment.
    const GraphScale scale(m_notes);
    DrawOutline(scale, spectrum);
    DrawMarkers(scale, history);
    ++m_nCompositions;
}

bool GraphSurfaces::Refresh(std::uint64_t serial, std::span<const double> spectrum,
                            std::span<const double> history) {
    const double lowest = m_notes.Frequency(kNoteFirst);
    if (m_bShown && !m_bBackgroundDirty && serial == m_nShownSerial && lowest == m_dShownLowest &&
        std::ranges::equal(history, m_shownHistory)) {
        return false;
    }
    DrawFrame(spectrum, history);
    m_bShown = true;
    m_nShownSerial = serial;
    m_shownHistory.assign(history.begin(), history.end());
    m_dShownLowest = lowest;
    return true;
}

void GraphSurfaces::EraseLastFrame() {
    // A line between two vertices stays within a pixel of the box they span: the background
    // goes back over those boxes.
    for (std::size_t i = 0; i < m_nVertices; ++i) {
        const QPoint a = m_vertices[i];
        const QPoint b = m_vertices[(i + 1) % m_nVertices]; // the last closes the outline
        RestoreBackground(QRect(QPoint(std::min(a.x(), b.x()) - 1, std::min(a.y(), b.y()) - 1),
                                QPoint(std::max(a.x(), b.x()) + 1, std::max(a.y(), b.y()) + 1)));
    }
    for (std::size_t i = 0; i < m_nMarkers; ++i) {
        RestoreBackground(m_markerRects[i]);
    }
}

void GraphSurfaces::RestoreBackground(const QRect& rect) {
    const QRect r = rect & m_bmpCompose.rect();
    const qsizetype stride = m_bmpCompose.bytesPerLine() / qsizetype(sizeof(QRgb));
    const auto* from = reinterpret_cast<const QRgb*>(m_bmpBackground.constBits());
    auto* to = reinterpret_cast<QRgb*>(m_bmpCompose.bits());
    for (qsizetype row = r.top() * stride; row <= r.bottom() * stride; row += stride) {
        std::copy(from + row + r.left(), from + row + r.right() + 1, to + row + r.left());
    }
}

void GraphSurfaces::DrawBackground() {
    m_bmpBackground.fill(Qt::white);
    QPainter p(&m_bmpBackground);

    // The first and last line of each direction are solid, the ones between dotted.
    for (int k = 0; k <= kNoteCount; ++k) {
        p.setPen(k == 0 || k == kNoteCount ? m_solidPen : m_dottedPen);
        const int x = GraphScale::NoteX(k);
        p.drawLine(x, GraphScale::kTop, x, Baseline());
    }
    for (int j = 0; j <= GraphScale::kGridRows; ++j) {
        p.setPen(j == 0 || j == GraphScale::kGridRows ? m_solidPen : m_dottedPen);
        const int y = GraphScale::GridY(j, Baseline());
        p.drawLine(GraphScale::kLeft, y, GraphScale::kRight, y);
    }

    m_labels.Draw(p, m_nKey, m_nVerticalRatio, Baseline());
}

void GraphSurfaces::DrawOutline(const GraphScale& scale, std::span<const double> spectrum) {
    // Each pixel column takes the first bin that falls into it; all bins at or below A0 fall
    // into column 50, where bin 0 is used.
    if (scale.Lowest() != m_dMappedLowest || scale.Highest() != m_dMappedHighest) {
        MapBins(scale);
    }
    const int baseline = Baseline();
    m_vertices[0] = QPoint(GraphScale::kLeft, baseline);
    std::size_t count = 1;
    int previousX = 0;
    const std::size_t bins = std::min(spectrum.size(), m_binX.size());
    for (std::size_t b = 0; b < bins && count < m_vertices.size(); ++b) {
        const int x = m_binX[b];
        if (x != previousX) {
            m_vertices[count++] =
                QPoint(x, GraphScale::MagnitudeToY(spectrum[b], m_nVerticalRatio, baseline));
            previousX = x;
        }
    }
    // Back to the baseline, whatever the last column's magnitude.
    m_vertices[count - 1].setY(baseline);
    m_nVertices = count;

    // The closed outline. Its inside would be filled white, which the AND leaves as it is, so
    // only the edges are drawn: the same pixels, at a fraction of the cost. Inside the plot
    // the background is white or grid blue, so blue drawn over it is blue ANDed with it.
    m_painter.setPen(m_outlinePen);
    m_painter.drawPolyline(m_vertices.data(), static_cast<int>(count));
    m_painter.drawLine(m_vertices[count - 1], m_vertices[0]);
}

void GraphSurfaces::MapBins(const GraphScale& scale) {
    // Up to the first bin right of the plot.
    m_binX.clear();
    for (std::size_t b = 0; b < std::size_t(GraphScale::kBins); ++b) {
        const int x = scale.FrequencyToX(static_cast<double>(b) * GraphScale::kBinHz);
        if (x >= GraphScale::kRight) {
            break;
        }
        m_binX.push_back(x);
    }
    m_dMappedLowest = scale.Lowest();
    m_dMappedHighest = scale.Highest();
}

void GraphSurfaces::DrawMarkers(const GraphScale& scale, std::span<const double> history) {
    // The oldest estimate is the top marker and the lightest; an entry of 0 lands far left of
    // the canvas. A marker covers the outline and may reach the scale's labels: its pixels are
    // the background's ANDed with its colour alone.
    m_nMarkers = std::min<std::size_t>(history.size(), kMarkers);
    for (std::size_t i = 0; i < m_nMarkers; ++i) {
        const int x = scale.MarkerX(history[i]);
        m_markerRects[i] = QRect(x - 2, GraphScale::kTop + 9 * static_cast<int>(i), 5, 7);
        const QRect r = m_markerRects[i] & m_bmpCompose.rect();
        const QRgb colour = m_markerColours[i];
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(m_bmpBackground.constScanLine(y));
            auto* to = reinterpret_cast<QRgb*>(m_bmpCompose.scanLine(y));
            std::transform(from + r.left(), from + r.right() + 1, to + r.left(),
                           [colour](QRgb c) { return c & colour; });
        }
    }
}
