#pragma once

#include <QString>

class QWidget;

// Shows a sound-device failure in a box with the program's title. The box does not wait for
// its answer: a failure is met inside device notifications, which must go on (and retry)
// meanwhile.
void ShowDeviceErrorBox(QWidget* parent, const QString& message);
