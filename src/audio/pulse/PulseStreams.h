#pragma once

#include <pulse/stream.h>

// What the capture and output streams share: the one sample format of the program, and the
// way a stream is let go. With the loop locked.
pa_sample_spec BlockSampleSpec();
pa_stream* NewBlockStream(pa_context* context, const char* name);
// Detaches every callback (so nothing calls back into a device half gone), disconnects, frees,
// and leaves the pointer null; nothing when it is null.
void ReleaseStream(pa_stream*& stream);
// Lets go of an operation nobody waits for; nothing when it is null.
void Forget(pa_operation* operation);
