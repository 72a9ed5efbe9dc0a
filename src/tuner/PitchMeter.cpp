#include "PitchMeter.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr int kMargin = 10;    // room for the needle's head at either end
constexpr int kScaleTop = 6;   // the scale's baseline, below the needle's head
constexpr int kTickLength = 6; // an ordinary tick; every fifth is twice as long
constexpr int kNeedleWidth = 3;

} // namespace

CPitchMeter::CPitchMeter(int minimum, int maximum, int tickInterval, QWidget* parent)
    : QWidget(parent), m_nMinimum(minimum), m_nMaximum(std::max(maximum, minimum + 1)),
      m_nTickInterval(std::max(tickInterval, 1)) {
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CPitchMeter::setValue(int value) {
    value = std::clamp(value, m_nMinimum, m_nMaximum);
    if (value != m_nValue) {
        m_nValue = value;
        update();
    }
}

void CPitchMeter::setNeedleVisible(bool visible) {
    if (visible != m_bNeedle) {
        m_bNeedle = visible;
        update();
    }
}

double CPitchMeter::XOf(int value) const {
    const double share = double(std::clamp(value, m_nMinimum, m_nMaximum) - m_nMinimum) /
                         double(m_nMaximum - m_nMinimum);
    return kMargin + share * (width() - 2 * kMargin);
}

QSize CPitchMeter::sizeHint() const {
    return {240, minimumSizeHint().height()};
}

QSize CPitchMeter::minimumSizeHint() const {
    return {120, kScaleTop + 4 * kTickLength + 4};
}

void CPitchMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const int bottom = height() - 2;

    // The scale: a faint band, its ticks, and the centre line drawn over them.
    p.fillRect(
        QRectF(XOf(m_nMinimum), kScaleTop, XOf(m_nMaximum) - XOf(m_nMinimum), bottom - kScaleTop),
        pal.color(QPalette::Base));
    p.setPen(QPen(pal.color(QPalette::WindowText), 1));
    int first = m_nMinimum / m_nTickInterval * m_nTickInterval; // the first multiple in range
    if (first < m_nMinimum) {
        first += m_nTickInterval;
    }
    for (int v = first; v <= m_nMaximum; v += m_nTickInterval) {
        const bool major = (v / m_nTickInterval) % 5 == 0;
        const double x = XOf(v);
        p.drawLine(QPointF(x, kScaleTop), QPointF(x, kScaleTop + kTickLength * (major ? 2 : 1)));
    }
    p.setPen(QPen(pal.color(QPalette::WindowText), 3));
    p.drawLine(QPointF(XOf(0), kScaleTop), QPointF(XOf(0), bottom));

    // The needle: a red line with a head above the scale.
    if (!m_bNeedle) {
        return;
    }
    const QColor needle(200, 30, 30);
    const double x = XOf(m_nValue);
    p.setPen(QPen(needle, kNeedleWidth, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(x, kScaleTop), QPointF(x, bottom));
    QPainterPath head;
    head.moveTo(x - kMargin + 3, 0);
    head.lineTo(x + kMargin - 3, 0);
    head.lineTo(x, kScaleTop + 2);
    head.closeSubpath();
    p.fillPath(head, needle);
}
