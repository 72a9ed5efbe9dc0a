#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <span>

// The strobe's logic: for each of the first partials of the target, the phase of the sound's
// partial against a reference turning at the target's frequency times the partial's number.
//
// Every sample is multiplied by each row's reference phasor and the products are averaged with
// a short memory (kMemorySeconds): the result turns at the difference between the partial
// and its reference. A row's offset is that phase in turns, so its stripes stand still when
// the sound is at the target and move right when sharp, left when flat; row k, drawn with k
// stripes where row 1 has one, moves at the same speed on screen as row 1, one stripe of row 1
// per beat of the fundamental (at +1 cent on A4, one stripe in 3.9 s). A row's presence, 0..1,
// follows how much of the sound lies in its partial, eased so that a row whose partial comes
// and goes fades instead of flickering.
class StrobePhase {
public:
    static constexpr int kRows = 3;
    static constexpr double kMemorySeconds = 0.02;
    static constexpr double kFadeSeconds = 0.15;

    explicit StrobePhase(double sampleRate = 44100.0);

    // The target's fundamental in Hz; 0 (or less) for none: every row fades out. A new target
    // starts every row afresh.
    void SetTarget(double hz);
    double Target() const { return m_dTarget; }

    // Takes the samples that arrived since the last call.
    void Process(std::span<const std::int16_t> samples);

    // The samples taken so far: the strobe's own clock.
    std::uint64_t Samples() const { return m_nSamples; }

    // Row k's stripe position in turns, -0.5..0.5.
    double Offset(int row) const;
    // How visible row k is, 0..1.
    double Presence(int row) const;

private:
    double m_dRate;
    double m_dTarget = 0.0;
    double m_dKeep;     // per sample, of the averages
    double m_dFadeKeep; // per sample, of the presences
    double m_dPower = 0.0;
    std::uint64_t m_nSamples = 0;
    std::array<std::complex<double>, kRows> m_reference{}; // each row's phasor
    std::array<std::complex<double>, kRows> m_step{};      // its turn per sample
    std::array<std::complex<double>, kRows> m_average{};
    std::array<double, kRows> m_presence{};
};
