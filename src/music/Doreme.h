#pragma once

#include "NoteTable.h"

#include <optional>

// The musical model: the A4 reference and the note table computed from it.
//
// m_dFreqA4 and BuildNoteTable belong to the GUI thread. Other threads read only the table's
// frequencies (through Notes()), which stay consistent row by row during a rebuild.
class CDoreme {
public:
    static constexpr double kDefaultFreqA4 = 440.0;

    CDoreme();
    virtual ~CDoreme() = default;

    CDoreme(const CDoreme&) = delete;
    CDoreme& operator=(const CDoreme&) = delete;

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

    double m_dFreqA4 = kDefaultFreqA4;

private:
    NoteTable m_table;
};

// The program's single musical model.
CDoreme& TheDoreme();
