#include "AudioFile.h"

#include "AudioFormat.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {

struct SndFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

LoadedAudio Failure(std::string message) {
    LoadedAudio result;
    result.error = std::move(message);
    return result;
}

} // namespace

LoadedAudio LoadAudioFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return Failure("no such file: " + path);
    }
    if (std::filesystem::is_directory(path, ec)) {
        return Failure("not a file but a folder: " + path);
    }

    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndFileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        return Failure("cannot read " + path + ": " + sf_strerror(nullptr));
    }
    if (info.frames <= 0 || info.channels <= 0 || info.samplerate <= 0) {
        return Failure("no audio in " + path);
    }

    // Mix to mono as floats in -1..1.
    std::vector<float> mono;
    mono.reserve(static_cast<std::size_t>(info.frames));
    std::vector<float> chunk(static_cast<std::size_t>(4096 * info.channels));
    sf_count_t got;
    while ((got = sf_readf_float(file.get(), chunk.data(), 4096)) > 0) {
        for (sf_count_t f = 0; f < got; ++f) {
            float sum = 0.0f;
            for (int c = 0; c < info.channels; ++c) {
                sum += chunk[static_cast<std::size_t>(f * info.channels + c)];
            }
            mono.push_back(sum / static_cast<float>(info.channels));
        }
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
        return Failure("cannot read " + path + ": " + sf_strerror(file.get()));
    }
    if (mono.empty()) {
        return Failure("no audio in " + path);
    }

    if (info.samplerate != kSampleRate) {
        const double ratio = static_cast<double>(kSampleRate) / info.samplerate;
        std::vector<float> resampled(static_cast<std::size_t>(std::ceil(mono.size() * ratio)) + 16);
        SRC_DATA data{};
        data.data_in = mono.data();
        data.input_frames = static_cast<long>(mono.size());
        data.data_out = resampled.data();
        data.output_frames = static_cast<long>(resampled.size());
        data.src_ratio = ratio;
        if (const int err = src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1); err != 0) {
            return Failure("cannot convert " + path + " to 44100 Hz: " + src_strerror(err));
        }
        resampled.resize(static_cast<std::size_t>(data.output_frames_gen));
        mono.swap(resampled);
    }

    LoadedAudio result;
    result.fileRate = info.samplerate;
    result.fileChannels = info.channels;
    result.samples.resize(mono.size());
    std::transform(mono.begin(), mono.end(), result.samples.begin(), [](float v) {
        return static_cast<std::int16_t>(std::lrint(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
    });
    return result;
}
