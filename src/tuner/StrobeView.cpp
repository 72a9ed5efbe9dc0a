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
    setAttribute(Qt::WA_OpaquePaintEvent); // it fills itself: nothing behind it is drawn
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CStrobeView::Tick);
    // In silence the frames stop (see Tick); a block heard again starts them.
    connect(&m_session, &CListeningSession::LevelChanged, this, [this] {
        if (isVisible() && !m_timer.isActive() && m_session.StrobeTarget() > 0.0) {
            Start();
        }
    });
}

void CStrobeView::Start() {
    if (!m_bFillerTried) {
        m_bFillerTried = true;
        m_filler = X11RectFiller::For(*this);
    }
    // What waited in the ring meanwhile is old news.
    m_session.StrobeRing().Discard();
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const double rate = screen && screen->refreshRate() > 1.0 ? screen->refreshRate() : 60.0;
    m_timer.start(std::max(1, static_cast<int>(std::lround(1000.0 / rate)))); // no faster
}

QSize CStrobeView::sizeHint() const {
    return {240, minimumSizeHint().height()};
}

QSize CStrobeView::minimumSizeHint() const {
    return {120, StrobePhase::kRows * kRowHeight + 2};
}

void CStrobeView::showEvent(QShowEvent* e) {
    Start();
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
    // Repainted only when a stripe has moved by a whole pixel or a row's shade has changed
    // visibly since the last paint: standing stripes, in tune or in silence, cost no drawing.
    bool blank = true;
    bool changed = false;
    for (int row = 0; row < StrobePhase::kRows; ++row) {
        const double presence = m_phase.Presence(row) > 0.01 ? m_phase.Presence(row) : 0.0;
        const double period = double(kStripePeriod) / (row + 1);
        const double x = m_phase.Offset(row) * period;
        const Drawn& drawn = m_drawn[row];
        double moved = x - drawn.x;
        moved -= period * std::round(moved / period);
        blank = blank && presence == 0.0;
        changed = changed || (presence == 0.0) != (drawn.presence == 0.0) ||
                  std::abs(presence - drawn.presence) >= 1.0 / 32.0 ||
                  (presence > 0.0 && std::abs(moved) >= 1.0);
    }
    if (changed) {
        for (int row = 0; row < StrobePhase::kRows; ++row) {
            const double presence = m_phase.Presence(row);
            m_drawn[row] = {presence > 0.01 ? presence : 0.0,
                            m_phase.Offset(row) * kStripePeriod / (row + 1)};
        }
        if (m_filler) {
            m_filler->Draw(Picture(m_phase, rect(), palette()));
        } else {
            update();
        }
    }
    emit FrameReady();
    // Nothing heard and every row faded: no frames until sound comes back.
    if (blank && m_phase.Target() == 0.0) {
        m_timer.stop();
    }
}

void CStrobeView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Draw(p, m_phase, rect(), palette());
}

void CStrobeView::Draw(QPainter& p, const StrobePhase& phase, const QRect& rect,
                       const QPalette& palette) {
    p.fillRect(rect, palette.color(QPalette::Base));
    for (const X11RectFiller::Fill& fill : Picture(phase, rect, palette)) {
        p.fillRect(fill.rect, QColor(fill.colour));
    }
}

std::vector<X11RectFiller::Fill> CStrobeView::Picture(const StrobePhase& phase, const QRect& rect,
                                                      const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor ink = palette.color(QPalette::WindowText);
    // Nothing overlaps, so the base comes first and each row's stripes after it: a colour's
    // rectangles stay together (one request each on X11).
    std::vector<X11RectFiller::Fill> gaps;
    std::vector<X11RectFiller::Fill> stripes;
    for (int row = 0; row < StrobePhase::kRows; ++row) {
        const QRect band(rect.left(), rect.top() + 1 + row * kRowHeight, rect.width(),
                         kRowHeight - 2);
        const double presence = phase.Presence(row);
        if (presence <= 0.01) {
            gaps.push_back({band, base.rgb()});
            continue;
        }
        const auto mix = [presence](int from, int to) {
            return static_cast<int>(std::lround(from + (to - from) * std::min(presence, 1.0)));
        };
        const QRgb stripe = qRgb(mix(base.red(), ink.red()), mix(base.green(), ink.green()),
                                 mix(base.blue(), ink.blue()));
        const double period = double(kStripePeriod) / (row + 1);
        const double shift = phase.Offset(row) * period;
        const int end = band.left() + band.width();
        int at = band.left(); // what is left of here is filled
        for (double x = band.left() + shift - period; at < end; x += period) {
            const int from = std::clamp(static_cast<int>(std::lround(x)), at, end);
            const int to = std::clamp(static_cast<int>(std::lround(x + period / 2.0)), from, end);
            if (from > at) {
                gaps.push_back({QRect(at, band.top(), from - at, band.height()), base.rgb()});
            }
            if (to > from) {
                stripes.push_back({QRect(from, band.top(), to - from, band.height()), stripe});
            }
            at = to;
        }
    }
    gaps.insert(gaps.end(), stripes.begin(), stripes.end());
    return gaps;
}
