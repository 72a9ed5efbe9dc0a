#pragma once

#include "NoteTable.h"
#include "Temperament.h"

#include <atomic>
#include <optional>
#include <string>

// The musical model: the A4 reference, the temperament and its root, the transposition, and the
// note table computed from them. The one place that knows them: every view asks here.
//
// They change only on the GUI thread. Other threads read only the table's frequencies (through
// Notes()), NearestNoteIndex and CentsDeviation, which touch nothing but atomics: each row is old
// or new during a rebuild, never torn. Names are for the GUI thread.
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
    double FreqA4() const { return m_dFreqA4.load(std::memory_order_acquire); }

    // Lays temperament on root (a pitch class from C: 0 = C, 9 = A; kept within 0..11) and
    // rewrites the table. A stays at the reference in 12-tone temperaments.
    void SetTemperament(const Temperament& temperament, int root = 0);
    const Temperament& GetTemperament() const { return m_temperament; }
    int Root() const { return m_nRoot; }

    // The instrument sounds semitones (kept within -12..12) from the written note: the names
    // follow, the frequencies stay what sounds.
    void SetTranspose(int semitones);
    int Transpose() const { return m_nTranspose; }
    static constexpr int kMaxTranspose = 12;

    // A pitch class from C as the program names it ("C", "#F"), and back from "C", "#F", "bG"
    // or "#F/bG" in either case.
    static std::string RootName(int root);
    static std::optional<int> RootOfName(std::string_view text);

    // The name of row n as the player reads it, written (transposed): a note name in a 12-tone
    // temperament, degree and period ("[5]4") in others, where the transposition moves by the
    // whole degrees nearest to its semitones. Rows just outside the table are named too.
    std::string NoteName(int n) const;
    // Black keys with both spellings, e.g. "#A/bB4".
    std::string NoteDualName(int n) const;
    // The row of a written name (as NoteTable::IndexOfName reads it); nothing when the note
    // sounds outside the table.
    std::optional<int> IndexOfWrittenName(std::string_view text) const;

    // Rewrites the 88 frequencies from the reference and the temperament.
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
    double RowFrequency(int n) const;
    std::optional<int> NearestRow(double f) const;
    int WrittenIndex(int n) const;

    std::atomic<double> m_dFreqA4 = kDefaultFreqA4;
    // Equal temperament: the bands of NearestNoteIndex are whole cents from A4, as they always
    // were.
    std::atomic<bool> m_bEqual = true;
    Temperament m_temperament;
    int m_nRoot = 0;
    int m_nTranspose = 0;
    NoteTable m_table;
};

// The program's single musical model.
CDoreme& TheDoreme();
