#pragma once

#include <QObject>

class QWidget;

// Keeps a top-level window at least as large as its layout's minimum. Without a window manager
// (or with one that ignores the size hints) the window system may hand the window a smaller
// geometry, and the layout then squeezes its panes over one another; the window grows back to
// its minimum at once. A window system that keeps refusing (a tiling window manager) is given
// up on after a few tries rather than fought forever.
class CWindowFloor : public QObject {
public:
    explicit CWindowFloor(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QWidget* m_window;
    bool m_bPending = false;
    int m_nTries = 0; // growths in a row that the window system undid
};
