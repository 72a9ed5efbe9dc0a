#include "LevelIndicator.h"

#include <QPainter>

#include <algorithm>

CLevelIndicator::CLevelIndicator(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CLevelIndicator::SetLevel(double db, double thresholdDb) {
    if (db != m_dLevel || thresholdDb != m_dThreshold) {
        m_dLevel = db;
        m_dThreshold = thresholdDb;
        update();
    }
}

QSize CLevelIndicator::sizeHint() const {
    return {240, 8};
}

QSize CLevelIndicator::minimumSizeHint() const {
    return {60, 8};
}

double CLevelIndicator::XOf(double db) const {
    const double share = (std::clamp(db, kFloorDb, 0.0) - kFloorDb) / -kFloorDb;
    return share * width();
}

void CLevelIndicator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    const bool heard = m_dLevel >= m_dThreshold;
    p.fillRect(QRectF(0, 0, XOf(m_dLevel), height()), heard ? QColor(40, 160, 60) : Qt::gray);
    p.setPen(QPen(palette().color(QPalette::WindowText), 2));
    const double x = XOf(m_dThreshold);
    p.drawLine(QPointF(x, 0), QPointF(x, height()));
}
