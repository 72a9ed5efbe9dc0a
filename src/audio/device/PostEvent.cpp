#include "PostEvent.h"

#include <QCoreApplication>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);

namespace {

// Called by Qt before it delivers any event; false lets the delivery go on.
bool AcquireDelivered(void** data) {
    __tsan_acquire(data[1]);
    return false;
}

const bool g_bDeliveryHooked =
    QInternal::registerCallback(QInternal::EventNotifyCallback, AcquireDelivered);

} // namespace
#endif

void PostEvent(QObject* receiver, QEvent* event) {
#if defined(__SANITIZE_THREAD__)
    (void)g_bDeliveryHooked;
    __tsan_release(event);
#endif
    QCoreApplication::postEvent(receiver, event);
}
