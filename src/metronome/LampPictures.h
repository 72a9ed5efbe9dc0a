#pragma once

#include <QPixmap>

#include <array>

// The Light output's pictures, 32 x 32, drawn here: entry 0 is the unlit lamp (a plain dark
// navy square), entries 1 .. 6 a white disc on navy with a red numeral.
constexpr int kLampSize = 32;
std::array<QPixmap, 7> LampPictures();
