#include "GraphLabels.h"

#include "GraphScale.h"
#include "NoteTable.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

const QColor kNumberedRed(255, 0, 0);

constexpr int kSmallPixels = 12;
constexpr int kBoldPixels = 14;
constexpr int kSmallestPixels = 6;
// Clear of the baseline's line, and the most space left between two rows.
constexpr int kRowsBelowBaseline = 3;
constexpr int kMostGap = 4;

// Everything a row or the scale can show.
const QString kScaleCharacters = QStringLiteral("0123456789.%");
const QString kNumberedCharacters = QStringLiteral("1234567:");
const QString kNameCharacters = QStringLiteral("ABCDEFG#012345678");

QString Latin(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QFont PixelFont(int pixels, QFont::Weight weight) {
    QFont font;
    font.setPixelSize(pixels);
    font.setWeight(weight);
    return font;
}

} // namespace

GraphLabels::GraphLabels()
    : m_scaleFont(PixelFont(kSmallPixels, QFont::Normal)),
      m_boldFont(PixelFont(kBoldPixels, QFont::Bold)),
      m_nameFont(PixelFont(kSmallPixels, QFont::Normal)) {
    // The widest scale label, "100.0%", must fit left of the plot.
    for (int ratio = 0; ratio < GraphScale::kRatioCount; ++ratio) {
        const QString top = QString::fromStdString(GraphScale::ScaleLabel(ratio, 0));
        while (QFontMetrics(m_scaleFont).horizontalAdvance(top) > kScaleRight + 1 &&
               m_scaleFont.pixelSize() > kSmallestPixels) {
            m_scaleFont.setPixelSize(m_scaleFont.pixelSize() - 1);
        }
    }
    const QRect scaleInk = QFontMetrics(m_scaleFont).tightBoundingRect(kScaleCharacters);
    m_nScaleInkTop = scaleInk.top();
    m_nScaleInkBottom = scaleInk.bottom();

    // The rows start below the lowest scale label and share what space is left evenly.
    const QFont* fonts[kRowCount] = {&m_boldFont, &m_nameFont, &m_nameFont};
    const QString* characters[kRowCount] = {&kNumberedCharacters, &kNameCharacters,
                                            &kNameCharacters};
    std::array<QRect, kRowCount> ink;
    int used = 0;
    for (int row = 0; row < kRowCount; ++row) {
        ink[row] = QFontMetrics(*fonts[row]).tightBoundingRect(*characters[row]);
        used += ink[row].height() + 2;
    }
    int top = std::max(GraphScale::kBaseline + kRowsBelowBaseline,
                       ScaleBottom(GraphScale::kGridRows) + 2);
    const int gap = std::clamp((GraphScale::kHeight - top - used) / kRowCount, 0, kMostGap);
    for (int row = 0; row < kRowCount; ++row) {
        Band& band = m_rows[row];
        band.top = top;
        band.baseline = top + 1 - ink[row].top();
        band.bottom = band.baseline + ink[row].bottom() + 1;
        top = band.bottom + 1 + gap;
    }
}

bool GraphLabels::IsSharp(int k) {
    return NoteTable::Name(k).starts_with('#');
}

int GraphLabels::ScaleBaseline(int j, int baseline) const {
    // The ink's middle on the grid line.
    return GraphScale::GridY(j, baseline) - (m_nScaleInkTop + m_nScaleInkBottom) / 2;
}

void GraphLabels::Draw(QPainter& painter, int key, int ratio, int baseline) const {
    const int shift = baseline - GraphScale::kBaseline;
    painter.setFont(m_scaleFont);
    painter.setPen(Qt::black);
    const QFontMetrics scale(m_scaleFont);
    for (int j = 0; j <= GraphScale::kGridRows; ++j) {
        const QString text = QString::fromStdString(GraphScale::ScaleLabel(ratio, j));
        painter.drawText(kScaleRight + 1 - scale.horizontalAdvance(text),
                         ScaleBaseline(j, baseline), text);
    }

    painter.setFont(m_boldFont);
    painter.setPen(kNumberedRed);
    for (int k = 0; k < kNoteCount; ++k) {
        DrawRow(painter, m_rows[kNumbered].baseline + shift, k,
                Latin(GraphScale::NumberedName(key, k)));
    }
    painter.setFont(m_nameFont);
    painter.setPen(Qt::black);
    for (int k = 0; k < kNoteCount; ++k) {
        DrawRow(painter, m_rows[IsSharp(k) ? kSharps : kNaturals].baseline + shift, k,
                Latin(NoteTable::Name(k)));
    }
}

void GraphLabels::DrawRow(QPainter& painter, int y, int k, const QString& text) const {
    const int width = painter.fontMetrics().horizontalAdvance(text);
    painter.drawText(GraphScale::NoteX(k) - width / 2, y, text);
}
