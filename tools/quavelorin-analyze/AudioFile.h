#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An audio file as the tuner hears it: mixed to mono, at 44100 Hz, as 16-bit samples.
struct LoadedAudio {
    std::vector<std::int16_t> samples;
    std::string error; // empty on success; one line saying what went wrong
    int fileRate = 0;
    int fileChannels = 0;
};

// Reads any file libsndfile reads (WAV, FLAC, Ogg, ...), averages its channels and resamples
// other rates with libsamplerate.
LoadedAudio LoadAudioFile(const std::string& path);
