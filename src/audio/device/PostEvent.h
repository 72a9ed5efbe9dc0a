#pragma once

class QEvent;
class QObject;

// Posts an event to an object of the GUI thread from any thread; the receiver owns it. Qt's
// event queue hands the event over under locks of its own that ThreadSanitizer cannot see, so
// in such a build the hand-off is told to the sanitizer here and where Qt delivers the event:
// it then sees everything written before the post as written before the receiver reads it,
// and still every race beside that.
void PostEvent(QObject* receiver, QEvent* event);
