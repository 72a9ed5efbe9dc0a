#include "StrobeView.h"

#include "ListeningSession.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>

CStrobeView::CStrobeView(CListeningSession& session, QWidget* parent)
    : QWidget(parent), m_session(session), m_samples(8192) {
    setObjectName("strobe");
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CStrobeView::Tick);
}

QSize CStrobeView::sizeHint() const {
    return {240, minimumSizeHint().height()};
}

QSize CStrobeView::minimumSizeHint() const {
    return {120, StrobePhase::kRows * kRowHeight + 2};
}

void CStrobeView::showEvent(QShowEvent* e) {
    // What waited in the ring while hidden is old news.
    m_session.StrobeRing().Discard();
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const double rate = screen && screen->refreshRate() > 1.0 ? screen->refreshRate() : 60.0;
    m_timer.start(std::max(1, static_cast<int>(1000.0 / rate)));
    QWidget::showEvent(e);
}

void CStrobeView::hideEvent(QHideEvent* e) {
    m_timer.stop();
    QWidget::hideEvent(e);
}

void CStrobeView::Tick() {
    m_phase.SetTarget(m_session.StrobeTarget());
    for (;;) {
        const std::size_t got = m_session.StrobeRing().Read(m_samples);
        m_phase.Process(std::span<const std::int16_t>(m_samples.data(), got));
        if (got < m_samples.size()) {
            break;
        }
    }
    ++m_nFrames;
    update();
    emit FrameReady();
}

void CStrobeView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor back = palette().color(QPalette::Base);
    const QColor ink = palette().color(QPalette::WindowText);
    p.fillRect(rect(), back);
    for (int row = 0; row < StrobePhase::kRows; ++row) {
        const double presence = m_phase.Presence(row);
        if (presence <= 0.01) {
            continue;
        }
        QColor stripe = ink;
        stripe.setAlphaF(static_cast<float>(presence));
        const double period = double(kStripePeriod) / (row + 1);
        const double shift = m_phase.Offset(row) * period;
        const QRectF band(0, 1 + row * kRowHeight, width(), kRowHeight - 2);
        p.save();
        p.setClipRect(band);
        for (double x = shift - period; x < width(); x += period) {
            p.fillRect(QRectF(x, band.top(), period / 2.0, band.height()), stripe);
        }
        p.restore();
    }
}
