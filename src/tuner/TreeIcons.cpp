#include "TreeIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap Canvas(int w, int h) {
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QIcon InstrumentIcon() {
    QPixmap pixmap = Canvas(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // Two curved arms joined by a yoke, on a round sound box.
    p.setPen(QPen(Qt::black, 1.4));
    QPainterPath arms;
    arms.moveTo(4.0, 2.5);
    arms.cubicTo(1.5, 6.0, 4.5, 9.5, 5.5, 12.5);
    arms.moveTo(12.0, 2.5);
    arms.cubicTo(14.5, 6.0, 11.5, 9.5, 10.5, 12.5);
    p.drawPath(arms);
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 3.5));
    p.setBrush(QColor(128, 128, 128));
    p.drawEllipse(QRectF(4.5, 11.0, 7.0, 4.0));
    p.setPen(QPen(QColor(90, 90, 90), 0.8));
    for (double x : {6.5, 8.0, 9.5}) {
        p.drawLine(QPointF(x, 3.5), QPointF(x, 11.5));
    }
    return QIcon(pixmap);
}

QIcon PositionIcon() {
    QPixmap pixmap = Canvas(16, 16);
    QPainter p(&pixmap);
    // Four strings, thick to thin, on a dark nut and bridge.
    const double widths[] = {1.8, 1.4, 1.1, 0.8};
    for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(i % 2 ? QColor(60, 60, 60) : QColor(140, 140, 140), widths[i]));
        const double x = 3.5 + 3.0 * i;
        p.drawLine(QPointF(x, 2.0), QPointF(x, 14.0));
    }
    p.fillRect(QRectF(2.0, 1.0, 12.0, 1.5), Qt::black);
    p.fillRect(QRectF(2.0, 13.5, 12.0, 1.5), Qt::black);
    return QIcon(pixmap);
}

QPixmap CentreMarkPixmap() {
    QPixmap pixmap = Canvas(9, 5);
    QPainter p(&pixmap);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const QPointF triangle[] = {{4.5, 0.0}, {9.0, 5.0}, {0.0, 5.0}};
    p.drawPolygon(triangle, 3);
    return pixmap;
}
