#pragma once

#include "StrobePhase.h"
#include "X11RectFiller.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class CListeningSession;
class QPainter;

// The strobe band: one row of stripes per partial of the target (StrobePhase), drawn at the
// screen's rate from the samples the session's ring holds, while the band is shown and sound
// is heard.
class CStrobeView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 12;
    static constexpr int kStripePeriod = 48; // px of row 1; row k has k times as many stripes

    explicit CStrobeView(CListeningSession& session, QWidget* parent = nullptr);

    const StrobePhase& Phase() const { return m_phase; }
    // The frames taken so far (a frame whose picture would not change is not painted).
    std::uint64_t Frames() const { return m_nFrames; }
    // Reads what has arrived and draws a frame; the timer calls it.
    void Tick();

    // Draws the rows of phase into rect, in the palette's colours.
    static void Draw(QPainter& p, const StrobePhase& phase, const QRect& rect,
                     const QPalette& palette);
    // The rows of phase in rect as plain rectangles that cover every row's band once: its
    // stripes, the ink over the base as strong as the row is present, and the gaps between
    // them in the base colour (a blank row all base). Draw paints them over the base.
    static std::vector<X11RectFiller::Fill> Picture(const StrobePhase& phase, const QRect& rect,
                                                    const QPalette& palette);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void FrameReady(); // after each Tick: Phase() holds what the frame shows

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void Start();

    CListeningSession& m_session;
    StrobePhase m_phase;
    // On X11 the frames are filled straight onto the band's own window (see X11RectFiller);
    // elsewhere, and for whatever Qt repaints, paintEvent draws the same picture.
    std::unique_ptr<X11RectFiller> m_filler;
    bool m_bFillerTried = false;
    QTimer m_timer;
    std::vector<std::int16_t> m_samples;
    std::uint64_t m_nFrames = 0;
    struct Drawn {
        double presence = 0.0; // 0: the row was not drawn
        double x = 0.0;        // its stripes' shift in pixels
    };
    std::array<Drawn, StrobePhase::kRows> m_drawn{}; // what the last repaint showed
};
