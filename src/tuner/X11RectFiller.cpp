#include "X11RectFiller.h"

#include <QWidget>

#if defined(QUAVELORIN_HAVE_XCB)
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

xcb_connection_t* Connection(void* connection) {
    return static_cast<xcb_connection_t*>(connection);
}

// The colour masks of a true-colour visual, found by its id among the server's screens.
const xcb_visualtype_t* FindVisual(xcb_connection_t* connection, xcb_visualid_t id) {
    for (auto screen = xcb_setup_roots_iterator(xcb_get_setup(connection)); screen.rem;
         xcb_screen_next(&screen)) {
        for (auto depth = xcb_screen_allowed_depths_iterator(screen.data); depth.rem;
             xcb_depth_next(&depth)) {
            for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem;
                 xcb_visualtype_next(&visual)) {
                if (visual.data->visual_id == id) {
                    return visual.data;
                }
            }
        }
    }
    return nullptr;
}

// An 8-bit channel spread over a mask of any width and place.
std::uint32_t Channel(int value, std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const std::uint32_t top = mask >> shift;
    return ((static_cast<std::uint32_t>(value) * top + 127) / 255) << shift;
}

} // namespace

std::unique_ptr<X11RectFiller> X11RectFiller::For(QWidget& widget) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) {
        return nullptr;
    }
    widget.setAttribute(Qt::WA_DontCreateNativeAncestors);
    widget.setAttribute(Qt::WA_NativeWindow);
    xcb_connection_t* connection = x11->connection();
    const auto window = static_cast<xcb_window_t>(widget.winId());
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr);
    if (!attributes) {
        return nullptr;
    }
    const xcb_visualtype_t* visual = FindVisual(connection, attributes->visual);
    std::free(attributes);
    if (!visual || visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR) {
        return nullptr;
    }
    return std::unique_ptr<X11RectFiller>(new X11RectFiller(
        widget, connection, {visual->red_mask, visual->green_mask, visual->blue_mask}));
}

X11RectFiller::X11RectFiller(QWidget& widget, void* connection, Masks masks)
    : m_widget(widget), m_pConnection(connection), m_nGc(xcb_generate_id(Connection(connection))),
      m_masks(masks) {
    const std::uint32_t values[] = {0}; // no exposure events for what is filled
    xcb_create_gc(Connection(m_pConnection), m_nGc,
                  static_cast<xcb_window_t>(m_widget.internalWinId()), XCB_GC_GRAPHICS_EXPOSURES,
                  values);
}

X11RectFiller::~X11RectFiller() {
    if (qGuiApp) { // else the connection has closed with the application
        xcb_free_gc(Connection(m_pConnection), m_nGc);
        xcb_flush(Connection(m_pConnection));
    }
}

std::uint32_t X11RectFiller::Pixel(QRgb colour) const {
    return Channel(qRed(colour), m_masks.red) | Channel(qGreen(colour), m_masks.green) |
           Channel(qBlue(colour), m_masks.blue);
}

void X11RectFiller::Draw(std::span<const Fill> fills) {
    // Asked each time: Qt makes the window afresh when it moves to another screen.
    const auto window = static_cast<xcb_window_t>(m_widget.internalWinId());
    if (window == 0) {
        return;
    }
    xcb_connection_t* connection = Connection(m_pConnection);
    const double scale = m_widget.devicePixelRatioF();
    std::vector<xcb_rectangle_t> run;
    // Consecutive rectangles of one colour go in one request.
    for (std::size_t i = 0; i < fills.size();) {
        const QRgb colour = fills[i].colour;
        run.clear();
        for (; i < fills.size() && fills[i].colour == colour; ++i) {
            // The window counts in the screen's pixels, the widget in its own.
            const QRectF r = QRectF(fills[i].rect);
            const int left = static_cast<int>(std::lround(r.left() * scale));
            const int top = static_cast<int>(std::lround(r.top() * scale));
            const int right = static_cast<int>(std::lround((r.left() + r.width()) * scale));
            const int bottom = static_cast<int>(std::lround((r.top() + r.height()) * scale));
            if (right > left && bottom > top) {
                run.push_back({static_cast<std::int16_t>(left), static_cast<std::int16_t>(top),
                               static_cast<std::uint16_t>(right - left),
                               static_cast<std::uint16_t>(bottom - top)});
            }
        }
        if (run.empty()) {
            continue;
        }
        const std::uint32_t foreground[] = {Pixel(colour)};
        xcb_change_gc(connection, m_nGc, XCB_GC_FOREGROUND, foreground);
        xcb_poly_fill_rectangle(connection, window, m_nGc, static_cast<std::uint32_t>(run.size()),
                                run.data());
    }
    xcb_flush(connection);
}

#else

std::unique_ptr<X11RectFiller> X11RectFiller::For(QWidget&) {
    return nullptr;
}

X11RectFiller::~X11RectFiller() = default;

void X11RectFiller::Draw(std::span<const Fill>) {}

#endif
