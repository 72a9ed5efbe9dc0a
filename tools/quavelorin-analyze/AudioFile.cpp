#include "AudioFile.h"

#include "AudioFormat.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace {

// About 1 MiB of floats per piece, whatever the channel count or rate.
constexpr sf_count_t kPieceSamples = 1 << 18;

} // namespace

struct AudioFile::Handles {
    SNDFILE* file = nullptr;
    SRC_STATE* converter = nullptr;
    ~Handles() {
        if (converter) {
            src_delete(converter);
        }
        if (file) {
            sf_close(file);
        }
    }
};

AudioFile::AudioFile() = default;
AudioFile::~AudioFile() = default;

bool AudioFile::Fail(std::string message) {
    m_error = std::move(message);
    m_handles.reset();
    return false;
}

bool AudioFile::Open(const std::string& path) {
    m_path = path;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        return Fail("no such file: " + path);
    }
    if (fs::is_directory(status)) {
        return Fail("not a file but a folder: " + path);
    }
    if (!fs::is_regular_file(status) && !fs::is_fifo(status)) {
        return Fail("not an audio file but a device or socket: " + path);
    }

    SF_INFO info{};
    m_handles = std::make_unique<Handles>();
    m_handles->file = sf_open(path.c_str(), SFM_READ, &info);
    if (!m_handles->file) {
        return Fail("cannot read " + path + ": " + sf_strerror(nullptr));
    }
    if (info.channels <= 0) {
        return Fail("no audio in " + path + ": it has no channels");
    }
    if (info.samplerate < kMinRate || info.samplerate > kMaxRate) {
        return Fail("cannot analyse " + path + ": its sample rate of " +
                    std::to_string(info.samplerate) + " Hz is outside " + std::to_string(kMinRate) +
                    ".." + std::to_string(kMaxRate) + " Hz");
    }
    m_fileRate = info.samplerate;
    m_fileChannels = info.channels;
    // Fewer frames per piece when there are many channels, or when a low rate makes each frame
    // many samples at 44100 Hz.
    const auto growth = static_cast<sf_count_t>(std::ceil(double(kSampleRate) / m_fileRate));
    const sf_count_t frames =
        std::max<sf_count_t>(1, kPieceSamples / std::max<sf_count_t>(info.channels, growth));
    m_frames.resize(static_cast<std::size_t>(frames * info.channels));
    if (m_fileRate != kSampleRate) {
        int err = 0;
        m_handles->converter = src_new(SRC_SINC_MEDIUM_QUALITY, 1, &err);
        if (!m_handles->converter) {
            return Fail("cannot convert " + path + " to 44100 Hz: " + src_strerror(err));
        }
    }
    return true;
}

std::size_t AudioFile::Read(std::span<std::int16_t> out) {
    std::size_t filled = 0;
    while (filled < out.size()) {
        if (m_pendingPos == m_pending.size() && !Decode()) {
            break;
        }
        const std::size_t n = std::min(out.size() - filled, m_pending.size() - m_pendingPos);
        std::copy_n(m_pending.begin() + static_cast<std::ptrdiff_t>(m_pendingPos), n,
                    out.begin() + static_cast<std::ptrdiff_t>(filled));
        m_pendingPos += n;
        filled += n;
    }
    return filled;
}

bool AudioFile::Decode() {
    if (!m_handles || m_bInputDone) {
        return false;
    }
    SNDFILE* file = m_handles->file;
    const sf_count_t capacity = static_cast<sf_count_t>(m_frames.size()) / m_fileChannels;
    const sf_count_t got = sf_readf_float(file, m_frames.data(), capacity);
    if (sf_error(file) != SF_ERR_NO_ERROR) {
        return Fail("cannot read " + m_path + ": " + sf_strerror(file));
    }
    m_mono.resize(static_cast<std::size_t>(std::max<sf_count_t>(got, 0)));
    for (std::size_t f = 0; f < m_mono.size(); ++f) {
        float sum = 0.0f;
        for (int c = 0; c < m_fileChannels; ++c) {
            sum += m_frames[f * static_cast<std::size_t>(m_fileChannels) +
                            static_cast<std::size_t>(c)];
        }
        m_mono[f] = sum / static_cast<float>(m_fileChannels);
    }
    m_bInputDone = got <= 0;

    const std::vector<float>* piece = &m_mono;
    if (m_handles->converter) {
        if (!Resample()) {
            return false;
        }
        piece = &m_resampled;
    }
    // NaN and infinities from a float file become silence.
    m_pending.resize(piece->size());
    std::transform(piece->begin(), piece->end(), m_pending.begin(), [](float v) {
        return static_cast<std::int16_t>(
            std::isfinite(v) ? std::lrint(std::clamp(v, -1.0f, 1.0f) * 32767.0f) : 0);
    });
    m_pendingPos = 0;
    return !m_pending.empty() || !m_bInputDone;
}

bool AudioFile::Resample() {
    // Converts the whole piece; after the last one, drains what the converter still holds.
    const double ratio = static_cast<double>(kSampleRate) / m_fileRate;
    m_resampled.clear();
    std::vector<float> out(static_cast<std::size_t>(std::ceil(m_mono.size() * ratio)) + 4096);
    std::size_t used = 0;
    for (;;) {
        SRC_DATA data{};
        data.data_in = m_mono.data() + used;
        data.input_frames = static_cast<long>(m_mono.size() - used);
        data.data_out = out.data();
        data.output_frames = static_cast<long>(out.size());
        data.src_ratio = ratio;
        data.end_of_input = m_bInputDone ? 1 : 0;
        if (const int err = src_process(m_handles->converter, &data); err != 0) {
            return Fail("cannot convert " + m_path + " to 44100 Hz: " + src_strerror(err));
        }
        used += static_cast<std::size_t>(data.input_frames_used);
        m_resampled.insert(m_resampled.end(), out.begin(), out.begin() + data.output_frames_gen);
        const bool drained = !m_bInputDone || data.output_frames_gen == 0;
        if (used == m_mono.size() && drained) {
            return true;
        }
        if (data.input_frames_used == 0 && data.output_frames_gen == 0) {
            return true; // nothing more will come out
        }
    }
}
