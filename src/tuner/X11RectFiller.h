#pragma once

#include <QRect>
#include <QRgb>

#include <cstdint>
#include <memory>
#include <span>

class QWidget;

// Fills rectangles of a native widget's window straight away with the X server's own fill
// requests: nothing is painted into the window's backing store and nothing waits for the
// server, so a picture made of plain rectangles that changes at the screen's rate costs one
// short write per frame. Where the program does not show on X11, or the window's colours are
// not plain red, green and blue, there is none, and the widget paints through Qt as usual.
class X11RectFiller {
public:
    struct Fill {
        QRect rect; // in the widget's own coordinates
        QRgb colour;
    };

    // Makes the widget, which is shown, a native window of its own (its ancestors stay as they
    // are) and returns a filler for it; null where there can be none.
    static std::unique_ptr<X11RectFiller> For(QWidget& widget);
    ~X11RectFiller();

    X11RectFiller(const X11RectFiller&) = delete;
    X11RectFiller& operator=(const X11RectFiller&) = delete;

    // Fills each rectangle in its colour, in order, and sends the requests off.
    void Draw(std::span<const Fill> fills);

private:
    struct Masks {
        std::uint32_t red, green, blue;
    };
    X11RectFiller(QWidget& widget, void* connection, Masks masks);
    std::uint32_t Pixel(QRgb colour) const;

    QWidget& m_widget;
    void* m_pConnection; // the application's own connection to the server
    std::uint32_t m_nGc;
    Masks m_masks;
};
