#include "PreciseAutoTracker.h"

#include "Doreme.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

PreciseAutoTracker::PreciseAutoTracker(const CDoreme& doreme)
    : m_doreme(doreme), m_ring(static_cast<std::size_t>(kRingBlocks) * kBlockSamples, 0) {}

void PreciseAutoTracker::Reset() {
    m_nCandidate = -1;
    m_nRun = 0;
    m_nLocked = -1;
    m_bShown = false;
    m_bMeasured = false;
}

void PreciseAutoTracker::AppendBlock(std::span<const std::int16_t> block) {
    auto slot =
        m_ring.begin() + static_cast<std::ptrdiff_t>((m_nBlocks % kRingBlocks) * kBlockSamples);
    const std::size_t n = std::min(block.size(), static_cast<std::size_t>(kBlockSamples));
    std::copy_n(block.begin(), n, slot);
    std::fill(slot + static_cast<std::ptrdiff_t>(n), slot + kBlockSamples, 0);
    ++m_nBlocks;
}

std::span<const std::int16_t> PreciseAutoTracker::RingBlock(std::uint64_t index) const {
    return std::span<const std::int16_t>(m_ring).subspan((index % kRingBlocks) * kBlockSamples,
                                                         kBlockSamples);
}

std::optional<PreciseAutoTracker::Reading>
PreciseAutoTracker::OnEstimate(std::optional<double> checked, std::uint64_t block) {
    // A frame is made of blocks already appended; of none, there is nothing to go by.
    const std::uint64_t end = std::min(block, m_nBlocks);
    const auto guarded = end > 0 ? checked : std::nullopt;
    m_dGuarded = guarded.value_or(0.0);
    const auto note = guarded ? m_doreme.NearestNoteIndex(*guarded) : std::nullopt;
    if (!note) {
        m_nCandidate = -1;
        m_nRun = 0;
        return std::nullopt;
    }
    if (*note == m_nCandidate) {
        ++m_nRun;
    } else {
        m_nCandidate = *note;
        m_nRun = 1;
        m_nCandidateFirst = end - 1;
    }
    if (*note != m_nLocked) {
        if (m_nRun < kConfirmations) {
            return std::nullopt; // a new note, or a stray frame: nothing new until confirmed
        }
        m_nLocked = *note;
        // The first frame that found the note may hold the end of the last one and the new
        // one's attack in its newer block: the note's history starts after it.
        m_nLockFirst = m_nCandidateFirst + 1;
        m_bShown = false;
        m_bMeasured = false;
    }
    return Measure();
}

std::optional<PreciseAutoTracker::Reading> PreciseAutoTracker::Measure() {
    // The note's own history spans NoteFactor blocks. While fewer blocks of the note have
    // come, the history is decimated less, so that it holds the note alone and no silence.
    const std::uint64_t have = m_nBlocks - m_nLockFirst;
    int x = NoteLockedMeasurement::NoteFactor(m_nLocked);
    while (x > 1 && static_cast<std::uint64_t>(x) > have) {
        x /= 2;
    }
    // The history evolves as in note-locked mode, as if the note had been chosen when it
    // began: each block is appended to the filtered history, then filtered with it. For a new
    // note, a new decimation or after missed frames it is built afresh from the ring, block by
    // block.
    std::uint64_t fresh = m_nBlocks - m_nMeasuredBlocks;
    if (m_bMeasured && fresh == 0) {
        return std::nullopt; // no new block since the last reading
    }
    if (!m_bMeasured || x != m_nMeasuredX || fresh > static_cast<std::uint64_t>(x)) {
        m_meter.Clear();
        fresh = static_cast<std::uint64_t>(x);
    }
    std::optional<double> hz;
    for (std::uint64_t i = fresh; i >= 1; --i) {
        m_meter.AppendDecimated(RingBlock(m_nBlocks - i), x);
        hz = m_meter.NoteLockedMeasure(m_nLocked, m_doreme.Notes(), x, kEdgeMargin);
    }
    m_bMeasured = true;
    m_nMeasuredX = x;
    m_nMeasuredBlocks = m_nBlocks;
    // The band reaches two semitones or more around the note: a reading well beyond the
    // note's own half tone is not the tone. A tone about a quarter tone off still reads
    // against its note.
    if (!hz || std::abs(m_doreme.CentsDeviation(*hz, m_nLocked)) > kMaxCents) {
        // A fundamental too weak for the filter, as on a piano's lowest strings: the checked
        // estimate, which found this note, is the best there is.
        hz = m_dGuarded;
    }
    const bool first = !m_bShown;
    m_bShown = true;
    return Reading{m_nLocked, *hz, first};
}
