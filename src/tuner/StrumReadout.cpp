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
    m_kept.assign(m_strings.size(), KeptReading{});
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
        changed = changed || readings[s] || m_meters[s].live;
        m_kept[s].Add(readings[s]);
        Show(s);
    }
    return changed;
}

void StrumReadout::Show(std::size_t s) {
    Meter& meter = m_meters[s];
    meter.live = m_kept[s].Live();
    meter.hz = m_kept[s].Shown();
    if (meter.hz) {
        meter.cents = m_doreme.CentsDeviation(*meter.hz, meter.note);
        meter.inTune = std::abs(meter.cents) <= kInTuneCents;
    }
}

void StrumReadout::ShowNothingHeard() {
    for (std::size_t s = 0; s < m_meters.size(); ++s) {
        m_kept[s].Stop();
        Show(s);
    }
    if (m_measurement) {
        m_measurement->Clear();
    }
}
