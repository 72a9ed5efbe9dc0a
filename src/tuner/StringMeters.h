#pragma once

#include <QWidget>

#include <vector>

class CStringMeter;
class StrumReadout;

// The instrument view: one small meter per string of the chosen instrument, in the tree's
// order, in as many columns as the strings need (one for up to four, three for a 21-string
// zither).
class CStringMeters : public QWidget {
    Q_OBJECT
public:
    explicit CStringMeters(QWidget* parent = nullptr);

    // Rebuilds the meters when the instrument changed, then shows every reading.
    void Show(const StrumReadout& readout);
    const std::vector<CStringMeter*>& Meters() const { return m_meters; }

private:
    std::vector<CStringMeter*> m_meters;
    int m_nInstrument = -1;
};
