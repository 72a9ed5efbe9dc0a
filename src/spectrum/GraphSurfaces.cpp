#include "GraphSurfaces.h"

#include "NoteTable.h"

#include <algorithm>

namespace {

const QColor kGridBlue(0, 0, 255);

constexpr int kRowStep = GraphScale::kPlotHeight / GraphScale::kGridRows;

} // namespace

GraphSurfaces::GraphSurfaces(const NoteTable& notes)
    : m_notes(notes),
      m_bmpBackground(GraphScale::kWidth, GraphScale::kHeight, QImage::Format_RGB32),
      m_bmpCompose(GraphScale::kWidth, GraphScale::kHeight, QImage::Format_RGB32),
      m_solidPen(kGridBlue, 1), m_dottedPen(kGridBlue, 1, Qt::DotLine), m_outlinePen(kGridBlue, 0) {
    for (int i = 0; i < kMarkers; ++i) {
        m_markerColours[static_cast<std::size_t>(i)] = QColor(255, 160 - 8 * i, 255);
    }
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
    }
    // The mapping follows the A4 reference of the moment.
    const GraphScale scale(m_notes.Frequency(kNoteFirst), m_notes.Frequency(kNoteLast));
    m_bmpCompose.fill(Qt::white);
    DrawOutline(scale, spectrum);
    DrawMarkers(scale, history);
    CombineBackground();
    ++m_nCompositions;
}

bool GraphSurfaces::Refresh(std::uint64_t serial, std::span<const double> spectrum,
                            std::span<const double> history) {
    const double lowest = m_notes.Frequency(kNoteFirst);
    if (m_bShown && !m_bBackgroundDirty && serial == m_nShownSerial && lowest == m_dShownLowest) {
        return false;
    }
    DrawFrame(spectrum, history);
    m_bShown = true;
    m_nShownSerial = serial;
    m_dShownLowest = lowest;
    return true;
}

void GraphSurfaces::CombineBackground() {
    // A bitwise AND of every pixel, as QPainter::RasterOp_SourceAndDestination would do it;
    // that path hands the work to a thread pool and allocates for it on every frame.
    const auto* background = reinterpret_cast<const quint32*>(m_bmpBackground.constBits());
    auto* compose = reinterpret_cast<quint32*>(m_bmpCompose.bits());
    const qsizetype count = m_bmpCompose.sizeInBytes() / qsizetype(sizeof(quint32));
    for (qsizetype i = 0; i < count; ++i) {
        compose[i] &= background[i];
    }
}

void GraphSurfaces::DrawBackground() {
    m_bmpBackground.fill(Qt::white);
    QPainter p(&m_bmpBackground);

    // The first and last line of each direction are solid, the ones between dotted.
    for (int k = 0; k <= kNoteCount; ++k) {
        p.setPen(k == 0 || k == kNoteCount ? m_solidPen : m_dottedPen);
        const int x = GraphScale::NoteX(k);
        p.drawLine(x, GraphScale::kTop, x, GraphScale::kBaseline);
    }
    for (int j = 0; j <= GraphScale::kGridRows; ++j) {
        p.setPen(j == 0 || j == GraphScale::kGridRows ? m_solidPen : m_dottedPen);
        const int y = GraphScale::kTop + kRowStep * j;
        p.drawLine(GraphScale::kLeft, y, GraphScale::kRight, y);
    }

    m_labels.Draw(p, m_nKey, m_nVerticalRatio);
}

void GraphSurfaces::DrawOutline(const GraphScale& scale, std::span<const double> spectrum) {
    // Each pixel column takes the first bin that falls into it; all bins at or below A0 fall
    // into column 50, where bin 0 is used.
    m_vertices[0] = QPoint(GraphScale::kLeft, GraphScale::kBaseline);
    std::size_t count = 1;
    int previousX = 0;
    for (std::size_t b = 0; b < spectrum.size() && count < m_vertices.size(); ++b) {
        const int x = scale.FrequencyToX(static_cast<double>(b) * GraphScale::kBinHz);
        if (x >= GraphScale::kRight) {
            break;
        }
        if (x != previousX) {
            m_vertices[count++] =
                QPoint(x, GraphScale::MagnitudeToY(spectrum[b], m_nVerticalRatio));
            previousX = x;
        }
    }
    // Back to the baseline, whatever the last column's magnitude.
    m_vertices[count - 1].setY(GraphScale::kBaseline);
    m_nVertices = count;

    // The closed outline. Its inside would be filled white on a surface that is still white
    // there, so only the edges are drawn: the same pixels, at a fraction of the cost.
    m_painter.setPen(m_outlinePen);
    m_painter.drawPolyline(m_vertices.data(), static_cast<int>(count));
    m_painter.drawLine(m_vertices[count - 1], m_vertices[0]);
}

void GraphSurfaces::DrawMarkers(const GraphScale& scale, std::span<const double> history) {
    // The oldest estimate is the top marker and the lightest; an entry of 0 lands far left of
    // the canvas.
    const std::size_t count = std::min<std::size_t>(history.size(), kMarkers);
    for (std::size_t i = 0; i < count; ++i) {
        const int x = scale.MarkerX(history[i]);
        m_painter.fillRect(x - 2, GraphScale::kTop + 9 * static_cast<int>(i), 5, 7,
                           m_markerColours[i]);
    }
}
