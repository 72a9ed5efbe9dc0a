#include "Artwork.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

const QColor kInk(30, 30, 30);
const QColor kAccent(0, 110, 160);

QIcon Draw(int size, const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return QIcon(pixmap);
}

QIcon Letters(const QString& text, const QColor& color, bool circled) {
    return Draw(28, [&](QPainter& p) {
        if (circled) {
            p.setPen(QPen(color, 2.0));
            p.drawEllipse(QRectF(3, 3, 22, 22));
        }
        QFont font;
        font.setBold(true);
        font.setPixelSize(circled ? 15 : 13);
        p.setFont(font);
        p.setPen(color);
        p.drawText(QRectF(0, 0, 28, 28), Qt::AlignCenter, text);
    });
}

// A magnifying glass over a spectrum peak, with a plus or a minus in its lens.
QIcon Magnifier(bool plus) {
    return Draw(28, [plus](QPainter& p) {
        p.setPen(QPen(kAccent, 1.2));
        p.drawPolyline(QPolygonF(
            {QPointF(2, 25), QPointF(7, 24), QPointF(9, 14), QPointF(11, 24), QPointF(26, 25)}));
        p.setPen(QPen(kInk, 2.0));
        p.drawEllipse(QRectF(4, 2, 14, 14));
        p.setPen(QPen(kInk, 3.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 14), QPointF(23, 21));
        p.setPen(QPen(kInk, 1.8));
        p.drawLine(QPointF(7.5, 9), QPointF(14.5, 9));
        if (plus) {
            p.drawLine(QPointF(11, 5.5), QPointF(11, 12.5));
        }
    });
}

} // namespace

QIcon HalfToneDownIcon() {
    // A flat sign: a stem and a rounded bowl.
    return Draw(28, [](QPainter& p) {
        p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 3), QPointF(10, 24));
        QPainterPath bowl;
        bowl.moveTo(10, 15);
        bowl.cubicTo(15, 10, 21, 12, 18, 18);
        bowl.cubicTo(16, 21, 13, 22.5, 10, 24);
        p.drawPath(bowl);
    });
}

QIcon HalfToneUpIcon() {
    // A sharp sign: two stems crossed by two rising bars.
    return Draw(28, [](QPainter& p) {
        p.setPen(QPen(kInk, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 4), QPointF(11, 25));
        p.drawLine(QPointF(17, 3), QPointF(17, 24));
        p.setPen(QPen(kInk, 3.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 12), QPointF(22, 9));
        p.drawLine(QPointF(6, 19), QPointF(22, 16));
    });
}

QIcon AutoToneIcon() {
    // A needle that finds its own way: a meter arc with an arrow sweeping to the centre.
    return Draw(28, [](QPainter& p) {
        p.setPen(QPen(kInk, 2.0));
        p.drawArc(QRectF(3, 6, 22, 22), 30 * 16, 120 * 16);
        p.setPen(QPen(kAccent, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 22), QPointF(14, 8));
        QFont font;
        font.setBold(true);
        font.setPixelSize(9);
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(QRectF(0, 18, 28, 10), Qt::AlignCenter, QStringLiteral("A"));
    });
}

QIcon StandardToneIcon() {
    // A tuning fork with two sound waves.
    return Draw(28, [](QPainter& p) {
        p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
        QPainterPath fork;
        fork.moveTo(9, 3);
        fork.lineTo(9, 13);
        fork.quadTo(9, 17, 13, 17);
        fork.lineTo(15, 17);
        fork.quadTo(19, 17, 19, 13);
        fork.lineTo(19, 3);
        p.drawPath(fork);
        p.drawLine(QPointF(14, 17), QPointF(14, 26));
        p.setPen(QPen(kAccent, 1.4));
        p.drawArc(QRectF(20, 4, 6, 8), -60 * 16, 120 * 16);
        p.drawArc(QRectF(2, 4, 6, 8), 120 * 16, 120 * 16);
    });
}

QIcon MetronomIcon() {
    // A pyramid-shaped case with its pendulum swung to one side.
    return Draw(28, [](QPainter& p) {
        p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(235, 225, 205));
        p.drawPolygon(QPolygonF({QPointF(10, 3), QPointF(18, 3), QPointF(24, 25), QPointF(4, 25)}));
        p.drawLine(QPointF(6, 20), QPointF(22, 20));
        p.setPen(QPen(kAccent, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 19), QPointF(18, 6));
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(16.8, 10), 2.2, 2.2);
    });
}

QIcon SetParametersIcon() {
    // A4 on a slider.
    return Draw(28, [](QPainter& p) {
        QFont font;
        font.setBold(true);
        font.setPixelSize(11);
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(QRectF(0, 1, 28, 13), Qt::AlignCenter, QStringLiteral("A4"));
        p.setPen(QPen(kInk, 1.6));
        p.drawLine(QPointF(4, 20), QPointF(24, 20));
        p.setBrush(kAccent);
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(12, 15, 5, 10), 1.5, 1.5);
    });
}

QIcon ZoomInIcon() {
    return Magnifier(true);
}

QIcon ZoomOutIcon() {
    return Magnifier(false);
}

QIcon HelpIcon() {
    return Letters(QStringLiteral("?"), kAccent, true);
}

QIcon AboutIcon() {
    return Letters(QStringLiteral("i"), kInk, true);
}

QIcon ApplicationIcon() {
    // A tuner's meter: arc, ticks and a needle just right of centre.
    return Draw(32, [](QPainter& p) {
        p.setBrush(QColor(250, 250, 245));
        p.setPen(QPen(kInk, 1.5));
        p.drawRoundedRect(QRectF(1, 1, 30, 30), 5, 5);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(5, 9, 22, 22), 20 * 16, 140 * 16);
        p.setPen(QPen(kAccent, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 24), QPointF(19, 9));
        p.setBrush(kInk);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(16, 24), 2.2, 2.2);
    });
}

QPixmap AboutBanner() {
    QPixmap pixmap(184, 33);
    pixmap.fill(QColor(250, 250, 245));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    ApplicationIcon().paint(&p, QRect(1, 1, 31, 31));
    QFont font;
    font.setBold(true);
    font.setPixelSize(20);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRect(38, 0, 146, 33), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Quavelorin"));
    return pixmap;
}
