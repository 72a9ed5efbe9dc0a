#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// What one string's meter shows, block by block: the reading while the string sounds, and once
// it has stopped the reading it settled on. That is the median of the last three readings of
// its run, so a last reading pulled off by the fading string does not stay on the meter. A run
// of one or two blocks (another string's partial or a pluck's splash lighting it briefly) does
// not replace what a run of three or more left.
class KeptReading {
public:
    static constexpr std::size_t kSteadyRun = 3;

    // The string's reading in this block, or nothing when it does not sound.
    void Add(std::optional<double> hz);
    // Nothing can be heard: a run ends.
    void Stop() { Add(std::nullopt); }

    bool Live() const { return m_nRun > 0; }
    // The live reading, else the kept one; nothing before any.
    std::optional<double> Shown() const { return Live() ? m_last.back() : m_kept; }

private:
    std::vector<double> m_last; // the run's last readings, at most kSteadyRun, oldest first
    std::size_t m_nRun = 0;     // the run's length so far
    std::optional<double> m_kept;
    std::size_t m_nKeptRun = 0; // the length of the run that left it
};
