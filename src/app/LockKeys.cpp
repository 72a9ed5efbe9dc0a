#include "LockKeys.h"

#include <QGuiApplication>

#if defined(QUAVELORIN_HAVE_X11)
#include <X11/XKBlib.h>
#endif

std::optional<LockKeys> ReadLockKeys() {
#if defined(QUAVELORIN_HAVE_X11)
    if (auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (Display* display = x11->display()) {
            unsigned state = 0;
            if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) == Success) {
                // The core keyboard's usual indicator order: caps, num, scroll.
                return LockKeys{(state & 0x01) != 0, (state & 0x02) != 0, (state & 0x04) != 0};
            }
        }
    }
#endif
    return std::nullopt;
}
