#include "WindowFloor.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int kMostTries = 3;

} // namespace

CWindowFloor::CWindowFloor(QWidget* window) : QObject(window), m_window(window) {
    m_window->installEventFilter(this);
}

bool CWindowFloor::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_window && e->type() == QEvent::Resize && !m_bPending) {
        // Grown after the resize has been handled: the window system is still busy with it.
        m_bPending = true;
        QTimer::singleShot(0, this, [this] {
            m_bPending = false;
            const QSize floor = m_window->minimumSize().expandedTo(m_window->minimumSizeHint());
            if (m_window->width() >= floor.width() && m_window->height() >= floor.height()) {
                m_nTries = 0;
            } else if (m_nTries < kMostTries) {
                ++m_nTries;
                m_window->resize(m_window->size().expandedTo(floor));
            }
        });
    }
    return false;
}
