#pragma once

#include "ScalaFile.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How the notes of a scale are spaced: the cents of each degree above the root within one
// period, the period itself, and a label for each degree.
//
// A scale of 12 degrees repeating at the octave lays its degrees on the 12 note names from the
// root. Any other scale is laid degree by degree from the root, each degree a row of the note
// table, and names its degrees by their label or number. Plain data: copied by value.
class Temperament {
public:
    static constexpr std::string_view kEqual = "equal";
    // The built-in temperaments, by the names the settings and the analyser use.
    static constexpr std::array<std::string_view, 8> kBuiltInNames = {
        "equal",         "pythagorean", "just",     "meantone",
        "werckmeister3", "kirnberger3", "vallotti", "young2"};

    // Equal temperament.
    Temperament();

    // A built-in temperament by name; nothing for any other name.
    static std::optional<Temperament> BuiltIn(std::string_view name);
    // The scale of a Scala file; name is what the settings and the status bar call it.
    static Temperament FromScala(const ScalaScale& scale, std::string name);

    const std::string& Name() const { return m_name; }
    const std::string& Description() const { return m_description; }
    bool IsEqual() const { return m_bEqual; }
    // 12 degrees repeating at the octave: the degrees are the note names from the root.
    bool IsTwelveTone() const;
    int Size() const { return static_cast<int>(m_cents.size()); }
    double PeriodCents() const { return m_dPeriod; }
    // Cents above the root of degree d (0 for the root itself), d within 0..Size()-1.
    double DegreeCents(int d) const;
    // The text after the degree's value, or its number when there is none.
    std::string DegreeLabel(int d) const;

    // Cents of row n of the note table from A4, for a root given as a pitch class counted from
    // C (0 = C, 9 = A). In a 12-tone temperament A stays where equal temperament puts it, so
    // that A4 keeps the reference pitch; other scales start at the root's equal-tempered pitch
    // in octave 4 (row 48) and go up and down degree by degree.
    double RowCents(int n, int root) const;

private:
    Temperament(std::string name, std::vector<double> cents, double period,
                std::vector<std::string> labels = {});

    std::string m_name = std::string(kEqual);
    std::string m_description;
    bool m_bEqual = true;
    std::vector<double> m_cents; // degree 0 is the root, at 0 cents
    double m_dPeriod = 1200.0;
    std::vector<std::string> m_labels;
};
