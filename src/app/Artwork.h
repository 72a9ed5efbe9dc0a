#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn here in code: the toolbar buttons (28 x 28), the window icon
// and the About box's banner.
QIcon HalfToneDownIcon();
QIcon HalfToneUpIcon();
QIcon AutoToneIcon();
QIcon StandardToneIcon();
QIcon MetronomIcon();
QIcon SetParametersIcon();
QIcon ZoomInIcon();
QIcon ZoomOutIcon();
QIcon HelpIcon();
QIcon AboutIcon();
QIcon ApplicationIcon();
QPixmap AboutBanner(); // 184 x 33
