#pragma once

#include <QIcon>

// The instrument tree's two 16 x 16 pictures, drawn here: a lyre for families and instruments,
// four strings for the positions to tune.
QIcon InstrumentIcon();
QIcon PositionIcon();

// The small triangle under the meter's centre, pointing up at it (9 x 5 pixels).
QPixmap CentreMarkPixmap();
