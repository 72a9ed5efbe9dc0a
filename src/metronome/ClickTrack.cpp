#include "ClickTrack.h"

#include "ClickSample.h"

#include <algorithm>

std::size_t BeatLength(int tempo) {
    return static_cast<std::size_t>(60 * 44100 / std::clamp(tempo, kMinTempo, kMaxTempo));
}

std::size_t RenderClickTrack(std::span<std::int16_t> clip, int tempo, const TimePattern& pattern) {
    const std::size_t beat = BeatLength(tempo);
    const std::size_t bar = beat * static_cast<std::size_t>(pattern.beats);
    const std::size_t click = std::min(beat, kClickSamples);
    std::size_t written = 0;
    for (; written + bar <= clip.size(); written += bar) {
        for (int p = 0; p < pattern.beats; ++p) {
            const auto samples = clip.subspan(written + static_cast<std::size_t>(p) * beat, beat);
            const double accent = pattern.accents[static_cast<std::size_t>(p)];
            std::transform(kClick.begin(), kClick.begin() + static_cast<std::ptrdiff_t>(click),
                           samples.begin(), [accent](std::int16_t v) {
                               return static_cast<std::int16_t>(v * accent);
                           });
            std::fill(samples.begin() + static_cast<std::ptrdiff_t>(click), samples.end(), 0);
        }
    }
    return written;
}
