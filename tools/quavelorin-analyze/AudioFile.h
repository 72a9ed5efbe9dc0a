#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// An audio file as the tuner hears it, read a piece at a time: mixed to mono, at 44100 Hz, as
// 16-bit samples. Memory stays the same however long the file is, and the header's frame
// count is never relied on: the file ends where its audio ends.
//
// Reads any file libsndfile reads (WAV, FLAC, Ogg, ...), averages its channels and resamples
// other rates with libsamplerate.
class AudioFile {
public:
    static constexpr int kMinRate = 1000;
    static constexpr int kMaxRate = 768000;

    AudioFile();
    ~AudioFile();
    AudioFile(const AudioFile&) = delete;
    AudioFile& operator=(const AudioFile&) = delete;

    // False, with Error() saying why in one line, when path is not an audio file this can read.
    bool Open(const std::string& path);

    // Fills out from the start; fewer samples than it holds only at the end of the audio or on
    // a read error (then Error() is no longer empty).
    std::size_t Read(std::span<std::int16_t> out);

    const std::string& Error() const { return m_error; }
    int FileRate() const { return m_fileRate; }
    int FileChannels() const { return m_fileChannels; }

private:
    // Decodes the next piece of the file into m_pending; false at the end or on an error.
    bool Decode();
    // Converts m_mono to 44100 Hz into m_resampled.
    bool Resample();
    bool Fail(std::string message);

    struct Handles;
    std::unique_ptr<Handles> m_handles;
    std::string m_path;
    std::string m_error;
    int m_fileRate = 0;
    int m_fileChannels = 0;
    bool m_bInputDone = false;
    std::vector<float> m_frames; // one piece of the file, interleaved
    std::vector<float> m_mono;   // the same piece mixed down
    std::vector<float> m_resampled;
    std::vector<std::int16_t> m_pending; // converted samples not yet handed out
    std::size_t m_pendingPos = 0;
};
