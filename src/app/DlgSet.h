#pragma once

#include <QDialog>

class CDoreme;
class QDoubleSpinBox;

// "Set Parameters": the frequency of A4, 435.00 to 445.00 Hz in steps of 0.10 Hz. OK makes
// it the reference and rebuilds the note table; Escape or the close box changes nothing.
class CDlgSet : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSpinLow = 4350; // tenths of a hertz
    static constexpr int kSpinHigh = 4450;

    explicit CDlgSet(CDoreme& doreme, QWidget* parent = nullptr);

    double Frequency() const { return m_dFreq; }
    QDoubleSpinBox* Spin() const { return m_spin; }

    void accept() override;

private:
    CDoreme& m_doreme;
    double m_dFreq = 440.0;
    QDoubleSpinBox* m_spin = nullptr;
};
