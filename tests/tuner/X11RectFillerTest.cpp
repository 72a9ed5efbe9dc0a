// Run on a real X server (the test is started under a virtual one).
#include "X11RectFiller.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Rectangles filled straight onto a widget's window show where and in the colours asked,
// pixel for pixel as QPainter paints them, later ones over earlier ones; an empty one is
// nothing.
TEST(X11RectFiller, FillsShowExactlyAsQtPaintsThem) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    QWidget widget;
    widget.setFixedSize(90, 30);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    const auto filler = X11RectFiller::For(widget);
    ASSERT_TRUE(filler);

    const std::vector<X11RectFiller::Fill> fills{
        {QRect(0, 0, 90, 30), qRgb(250, 250, 250)}, {QRect(3, 2, 7, 25), qRgb(40, 80, 120)},
        {QRect(10, 2, 1, 25), qRgb(40, 80, 120)},   {QRect(50, 0, 0, 30), qRgb(0, 0, 0)},
        {QRect(60, 10, 29, 5), qRgb(201, 13, 7)},   {QRect(8, 0, 4, 4), qRgb(1, 254, 128)}};
    filler->Draw(fills);
    // Read back from the server over the same connection, so after the fills.
    const QImage shown =
        widget.screen()->grabWindow(widget.winId()).toImage().convertToFormat(QImage::Format_RGB32);

    QImage expected(widget.size(), QImage::Format_RGB32);
    QPainter painter(&expected);
    for (const auto& fill : fills) {
        painter.fillRect(fill.rect, QColor(fill.colour));
    }
    painter.end();
    ASSERT_EQ(shown.size(), expected.size());
    int wrong = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            wrong += shown.pixel(x, y) != expected.pixel(x, y);
        }
    }
    EXPECT_EQ(wrong, 0);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
