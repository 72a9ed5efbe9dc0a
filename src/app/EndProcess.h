#pragma once

// The value main returns, once everything of the program's own is closed (devices, threads,
// windows, the application object): `return EndProcess(code);`. With the sound server's own
// client library the program ends as any other, and static objects are destroyed.
//
// The Qt Multimedia build instead ends the process here, without running the destructors of
// static objects. Why: Qt 6.4's PulseAudio back end keeps its connection to the sound server
// in a static object whose destructor disconnects while the library's main-loop thread still
// runs, without taking that loop's lock. libpulse then fails an assertion ("'!m->rebuild_pollfds'
// failed" in pa_mainloop_poll) or crashes, in about one process exit of a hundred, however long
// the program waited after closing its devices. Skipping the static destructors never reaches
// that code; the server notices the closed connection by itself.
int EndProcess(int code);
