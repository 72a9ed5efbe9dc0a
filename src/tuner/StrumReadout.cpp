#include "StrumReadout.h"

#include "Doreme.h"

#include <cmath>

StrumReadout::StrumReadout(const CDoreme& doreme) : m_doreme(doreme) {}

void StrumReadout::Select(std::optional<int> instrument) {
    if (instrument && (*instrument < 0 || *instrument >= kInstrumentCount)) {
        instrument.reset();
    }
    m_nInstrument = instrument;
    m_strings =
        instrument ? PhysicalStrings(InstrumentTable[*instrument]) : std::vector<PhysicalString>{};
    m_meters.clear();
    for (const PhysicalString& string : m_strings) {
        Meter meter;
        meter.label = string.label;
        meter.note = string.note;
        m_meters.push_back(meter);
    }
    m_hz.clear();
    if (instrument && !m_measurement) {
        m_measurement = std::make_unique<StrumMeasurement>();
    }
    if (m_measurement) {
        m_measurement->Clear();
    }
}

bool StrumReadout::AppendBlock(std::span<const std::int16_t> block) {
    if (!IsActive()) {
        return false;
    }
    // The reference pitch may have changed since the last block.
    std::vector<double> hz;
    for (const PhysicalString& string : m_strings) {
        hz.push_back(m_doreme.Frequency(string.note));
    }
    if (hz != m_hz) {
        m_measurement->SetStrings(hz);
        m_hz = hz;
    }
    const auto& readings = m_measurement->AppendBlock(block);
    bool changed = false;
    for (std::size_t s = 0; s < m_meters.size(); ++s) {
        Meter& meter = m_meters[s];
        changed = changed || readings[s] || meter.live;
        meter.live = readings[s].has_value();
        if (readings[s]) {
            meter.hz = readings[s];
            meter.cents = m_doreme.CentsDeviation(*readings[s], meter.note);
            meter.inTune = std::abs(meter.cents) <= kInTuneCents;
        }
    }
    return changed;
}

void StrumReadout::ShowNothingHeard() {
    for (Meter& meter : m_meters) {
        meter.live = false;
    }
    if (m_measurement) {
        m_measurement->Clear();
    }
}
