#pragma once

#include "WaveDevice.h"

#include <QString>

#include <functional>

// Every sound-device failure the user must hear about goes through ShowDeviceError. The
// application installs a handler that shows a message box; tests install one that records.
using DeviceErrorHandler = std::function<void(const QString& message)>;

// Returns the handler that was installed before.
DeviceErrorHandler SetDeviceErrorHandler(DeviceErrorHandler handler);

// "Error = 0x%08x, : %s" with the device's code and its text for that code.
QString FormatDeviceError(WaveResult code, const QString& text);

void ShowDeviceError(WaveResult code, const QString& text);
