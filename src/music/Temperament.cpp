#include "Temperament.h"

#include <cmath>

namespace {

double Cents(double ratio) {
    return 1200.0 * std::log2(ratio);
}

const double kPureFifth = Cents(1.5);
const double kPythagoreanComma = 12.0 * kPureFifth - 8400.0;
const double kSyntonicComma = Cents(81.0 / 80.0);
const double kSchisma = kPythagoreanComma - kSyntonicComma;

// The circle of fifths from C: C-G, G-D, D-A, A-E, E-B, B-#F, #F-#C, #C-#G, #G-#D, #D-#A,
// #A-F, F-C. A temperament given by how much each fifth is narrowed (in cents), laid out as
// the 12 pitch classes from C.
std::vector<double> FromFifths(const std::array<double, 12>& narrowing) {
    std::vector<double> cents(12, 0.0);
    double position = 0.0;
    for (int i = 0; i < 11; ++i) {
        position = std::fmod(position + kPureFifth - narrowing[i], 1200.0);
        cents[((i + 1) * 7) % 12] = position;
    }
    return cents;
}

// Every fifth of the given size but the wolf between #G and #D, which closes the circle.
std::vector<double> WolfFifths(double fifth) {
    std::array<double, 12> narrowing{};
    narrowing.fill(kPureFifth - fifth);
    narrowing[8] = kPythagoreanComma - 11.0 * (kPureFifth - fifth);
    return FromFifths(narrowing);
}

std::vector<double> Ratios(std::initializer_list<double> ratios) {
    std::vector<double> cents;
    for (double r : ratios) {
        cents.push_back(Cents(r));
    }
    return cents;
}

std::vector<double> BuiltInCents(std::string_view name) {
    const double q = kPythagoreanComma / 4.0;
    const double s = kPythagoreanComma / 6.0;
    const double m = kSyntonicComma / 4.0;
    if (name == "pythagorean") {
        return WolfFifths(kPureFifth);
    }
    if (name == "just") {
        return Ratios({1.0, 16.0 / 15, 9.0 / 8, 6.0 / 5, 5.0 / 4, 4.0 / 3, 45.0 / 32, 3.0 / 2,
                       8.0 / 5, 5.0 / 3, 9.0 / 5, 15.0 / 8});
    }
    if (name == "meantone") {
        return WolfFifths(kPureFifth - m);
    }
    if (name == "werckmeister3") {
        return FromFifths({q, q, q, 0, 0, q, 0, 0, 0, 0, 0, 0});
    }
    if (name == "kirnberger3") {
        return FromFifths({m, m, m, m, 0, 0, kSchisma, 0, 0, 0, 0, 0});
    }
    if (name == "vallotti") {
        return FromFifths({s, s, s, s, s, 0, 0, 0, 0, 0, 0, s});
    }
    if (name == "young2") {
        return FromFifths({s, s, s, s, s, s, 0, 0, 0, 0, 0, 0});
    }
    return {};
}

} // namespace

Temperament::Temperament() : m_description("equal temperament") {
    for (int d = 0; d < 12; ++d) {
        m_cents.push_back(100.0 * d);
    }
}

Temperament::Temperament(std::string name, std::vector<double> cents, double period,
                         std::vector<std::string> labels)
    : m_name(std::move(name)), m_bEqual(false), m_cents(std::move(cents)), m_dPeriod(period),
      m_labels(std::move(labels)) {}

std::optional<Temperament> Temperament::BuiltIn(std::string_view name) {
    if (name == kEqual) {
        return Temperament();
    }
    std::vector<double> cents = BuiltInCents(name);
    if (cents.empty()) {
        return std::nullopt;
    }
    Temperament t(std::string(name), std::move(cents), 1200.0);
    t.m_description = std::string(name);
    return t;
}

Temperament Temperament::FromScala(const ScalaScale& scale, std::string name) {
    std::vector<double> cents{0.0};
    std::vector<std::string> labels{""};
    for (std::size_t i = 0; i + 1 < scale.values.size(); ++i) {
        cents.push_back(scale.values[i].cents);
        labels.push_back(scale.values[i].label);
    }
    Temperament t(std::move(name), std::move(cents), scale.values.back().cents, std::move(labels));
    t.m_description = scale.description;
    return t;
}

bool Temperament::IsTwelveTone() const {
    return Size() == 12 && std::abs(m_dPeriod - 1200.0) < 1e-9;
}

double Temperament::DegreeCents(int d) const {
    return m_cents[static_cast<std::size_t>(d)];
}

std::string Temperament::DegreeLabel(int d) const {
    const auto i = static_cast<std::size_t>(d);
    return i < m_labels.size() && !m_labels[i].empty() ? m_labels[i] : std::to_string(d);
}

double Temperament::RowCents(int n, int root) const {
    const int k = n - 48; // semitones or degrees from A4
    if (IsTwelveTone()) {
        // Pitch classes from C: A is 9.
        auto deviation = [&](int pitchClass) {
            const int d = ((pitchClass - root) % 12 + 12) % 12;
            return DegreeCents(d) - 100.0 * d;
        };
        const int pitchClass = ((9 + k) % 12 + 12) % 12;
        return 100.0 * k + deviation(pitchClass) - deviation(9);
    }
    const int size = Size();
    const int period = (k >= 0 ? k : k - size + 1) / size; // rounded down
    const int d = k - period * size;
    return 100.0 * (root - 9) + period * m_dPeriod + DegreeCents(d);
}
