#pragma once

#include "NoteTable.h"

#include <optional>

// The musical model: the A4 reference and the note table computed from it.
//
// The reference changes only through SetFreqA4, on the GUI thread. Other threads read only the
// table's frequencies (through Notes()), which stay consistent row by row during a rebuild.
class CDoreme {
public:
    // The reference pitch of A4: its default and the range it is kept in.
    static constexpr double kDefaultFreqA4 = 440.0;
    static constexpr double kMinFreqA4 = 435.0;
    static constexpr double kMaxFreqA4 = 445.0;

    CDoreme();
    virtual ~CDoreme() = default;

    CDoreme(const CDoreme&) = delete;
    CDoreme& operator=(const CDoreme&) = delete;

    // Makes hz (kept within 435..445 Hz; not a number keeps the old value) the reference and
    // rewrites the table from it.
    void SetFreqA4(double hz);
    double FreqA4() const { return m_dFreqA4; }

    // Rewrites the 88 frequencies from m_dFreqA4.
    void BuildNoteTable();

    const NoteTable& Notes() const { return m_table; }
    double Frequency(int n) const { return m_table.Frequency(n); }

    // The note whose band (50 cents below to 49 above, in whole cents from A4) holds f;
    // no note when f lies outside the table or is not a positive finite frequency.
    std::optional<int> NearestNoteIndex(double f) const;

    // Signed distance of f from row n, in cents.
    double CentsDeviation(double f, int n) const;

    // The semitones just outside the table, for displays that show a neighbour of A0 or C8.
    double FrequencyBelowTable() const;
    double FrequencyAboveTable() const;

private:
    double m_dFreqA4 = kDefaultFreqA4;
    NoteTable m_table;
};

// The program's single musical model.
CDoreme& TheDoreme();
