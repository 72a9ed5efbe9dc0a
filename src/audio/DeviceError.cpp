#include "DeviceError.h"

#include <QtGlobal>

namespace {

DeviceErrorHandler& Handler() {
    static DeviceErrorHandler handler = [](const QString& message) {
        qWarning("%s", qUtf8Printable(message));
    };
    return handler;
}

} // namespace

DeviceErrorHandler SetDeviceErrorHandler(DeviceErrorHandler handler) {
    DeviceErrorHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

QString FormatDeviceError(WaveResult code, const QString& text) {
    return QString::asprintf("Error = 0x%08x, : %s", static_cast<unsigned>(code),
                             qUtf8Printable(text));
}

void ShowDeviceError(WaveResult code, const QString& text) {
    if (Handler()) {
        Handler()(FormatDeviceError(code, text));
    }
}
