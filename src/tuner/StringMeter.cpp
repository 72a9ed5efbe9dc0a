#include "StringMeter.h"

#include "NoteTable.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

CStringMeter::CStringMeter(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void CStringMeter::Show(const StrumReadout::Meter& meter) {
    m_meter = meter;
    setToolTip(LabelText());
    update();
}

QString CStringMeter::CentsText() const {
    if (!m_meter.hz) {
        return {};
    }
    const double cents = std::abs(m_meter.cents) < 0.05 ? 0.0 : m_meter.cents;
    return QString::asprintf("%+.1f", cents);
}

QString CStringMeter::NoteText() const {
    const std::string_view name = NoteTable::Name(m_meter.note);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QString CStringMeter::LabelText() const {
    return QString::fromUtf8(m_meter.label.data(), static_cast<qsizetype>(m_meter.label.size()))
        .trimmed();
}

QSize CStringMeter::sizeHint() const {
    const QFontMetrics metrics(font());
    return {std::max(150, metrics.horizontalAdvance(LabelText()) + 60), 4 * metrics.height()};
}

QSize CStringMeter::minimumSizeHint() const {
    return {110, 4 * QFontMetrics(font()).height()};
}

void CStringMeter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    const QRect area = rect().adjusted(3, 2, -3, -2);
    const bool dim = !m_meter.live;
    const QColor text =
        palette().color(dim ? QPalette::Disabled : QPalette::Active, QPalette::WindowText);
    const QColor inTune = dim ? QColor(120, 170, 120) : QColor(0, 160, 0);

    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRoundedRect(rect().adjusted(0, 0, -1, -1), 4, 4);

    // Label left, note right.
    painter.setPen(text);
    const QRect top(area.left(), area.top(), area.width(), line);
    painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(LabelText(), Qt::ElideRight, area.width() - 40));
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(top, Qt::AlignRight | Qt::AlignVCenter, NoteText());
    painter.setFont(font());

    // The scale: ticks every 10 cents, a longer one at the centre.
    const int scaleY = area.top() + line + line / 2 + 2;
    const double left = area.left() + 6.0;
    const double width = area.width() - 12.0;
    auto xOf = [&](double cents) {
        const double c = std::clamp(cents, -1.0 * kRangeCents, 1.0 * kRangeCents);
        return left + width * (c + kRangeCents) / (2.0 * kRangeCents);
    };
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(QPointF(left, scaleY), QPointF(left + width, scaleY));
    for (int c = -kRangeCents; c <= kRangeCents; c += 10) {
        const double h = c == 0 ? line / 2.0 : line / 5.0;
        painter.drawLine(QPointF(xOf(c), scaleY - h), QPointF(xOf(c), scaleY + h));
    }

    // Deviation below, the needle on the scale, and the tick when in tune.
    const QRect bottom(area.left(), scaleY + line / 2 + 2, area.width(), line);
    painter.setPen(text);
    painter.drawText(bottom, Qt::AlignLeft | Qt::AlignVCenter,
                     m_meter.hz ? CentsText() + QStringLiteral(" ¢") : QStringLiteral("–"));
    if (!m_meter.hz) {
        return;
    }
    const QColor needle = m_meter.inTune ? inTune : (dim ? text : QColor(200, 60, 40));
    painter.setPen(QPen(needle, 3));
    const double x = xOf(m_meter.cents);
    painter.drawLine(QPointF(x, scaleY - line / 2.0), QPointF(x, scaleY + line / 2.0));
    if (m_meter.inTune) {
        const double r = line / 2.0;
        const QPointF c(bottom.right() - r, bottom.center().y());
        painter.setPen(Qt::NoPen);
        painter.setBrush(inTune);
        painter.drawEllipse(c, r, r);
        QPainterPath tick;
        tick.moveTo(c + QPointF(-0.5 * r, 0.0));
        tick.lineTo(c + QPointF(-0.1 * r, 0.4 * r));
        tick.lineTo(c + QPointF(0.55 * r, -0.45 * r));
        painter.setPen(QPen(Qt::white, std::max(1.5, r / 4.0)));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    }
}
