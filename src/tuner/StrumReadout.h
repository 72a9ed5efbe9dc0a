#pragma once

#include "InstrumentStrings.h"
#include "KeptReading.h"
#include "StrumMeasurement.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

class CDoreme;

// What the instrument view shows: one meter per physical string of the chosen instrument, each
// with its reading while the string sounds and, dimmed, the reading it settled on once it has
// stopped (see KeptReading).
// Plain C++: the listening session feeds it blocks, the string meters draw it.
class StrumReadout {
public:
    // A string within this many cents of its note is in tune.
    static constexpr double kInTuneCents = 2.0;

    struct Meter {
        std::string_view label; // as the tree shows it
        int note = 0;
        std::optional<double> hz; // the live reading or the kept one; nothing before any
        bool live = false;        // the string sounds now
        double cents = 0.0;       // of hz from the note
        bool inTune = false;
    };

    explicit StrumReadout(const CDoreme& doreme);

    // The instrument of the table to show, or nothing for the single meter. A new instrument
    // starts with empty meters.
    void Select(std::optional<int> instrument);
    std::optional<int> Instrument() const { return m_nInstrument; }
    bool IsActive() const { return m_nInstrument.has_value(); }

    // Measures a captured block while an instrument is shown; true when any meter changed.
    bool AppendBlock(std::span<const std::int16_t> block);
    // Nothing can be heard: every meter keeps its reading, dimmed, and the history goes.
    void ShowNothingHeard();

    const std::vector<Meter>& Meters() const { return m_meters; }

private:
    void Show(std::size_t s); // meter s from its kept reading

    const CDoreme& m_doreme;
    std::optional<int> m_nInstrument;
    std::vector<PhysicalString> m_strings;
    std::vector<Meter> m_meters;
    std::vector<KeptReading> m_kept; // one per meter
    std::vector<double> m_hz;        // the strings' notes as last measured against
    // Made when an instrument is first shown: a player who never strums does not pay for it.
    std::unique_ptr<StrumMeasurement> m_measurement;
};
