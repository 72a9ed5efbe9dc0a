#include "LampPictures.h"

#include <QFont>
#include <QImage>
#include <QPainter>

namespace {

const QColor kNavy(0, 0, 96);
const QColor kNumeral(200, 0, 0);

} // namespace

std::array<QPixmap, 7> LampPictures() {
    std::array<QPixmap, 7> pictures;
    for (int n = 0; n < 7; ++n) {
        QImage image(kLampSize, kLampSize, QImage::Format_RGB32);
        image.fill(kNavy);
        if (n > 0) {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(3, 3, 26, 26));
            QFont font;
            font.setBold(true);
            font.setPixelSize(20);
            p.setFont(font);
            p.setPen(kNumeral);
            p.drawText(QRect(0, 0, kLampSize, kLampSize), Qt::AlignCenter, QString::number(n));
        }
        pictures[static_cast<std::size_t>(n)] = QPixmap::fromImage(image);
    }
    return pictures;
}
