#include "PulseStreams.h"

#include "AudioFormat.h"

#include <pulse/operation.h>

#include <cstdint>

pa_sample_spec BlockSampleSpec() {
    return {PA_SAMPLE_S16LE, static_cast<std::uint32_t>(kSampleRate), 1};
}

pa_stream* NewBlockStream(pa_context* context, const char* name) {
    const pa_sample_spec spec = BlockSampleSpec();
    return pa_stream_new(context, name, &spec, nullptr);
}

void ReleaseStream(pa_stream*& stream) {
    if (!stream) {
        return;
    }
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    pa_stream_set_moved_callback(stream, nullptr, nullptr);
    if (pa_stream_get_state(stream) != PA_STREAM_UNCONNECTED) {
        pa_stream_disconnect(stream);
    }
    pa_stream_unref(stream);
    stream = nullptr;
}

void Forget(pa_operation* operation) {
    if (operation) {
        pa_operation_unref(operation);
    }
}
