#pragma once

#include "Doreme.h"

#include <QDialog>

class QDoubleSpinBox;

// "Set Parameters": the frequency of A4, 435.00 to 445.00 Hz in steps of 0.10 Hz. OK makes
// it the reference and rebuilds the note table; Escape or the close box changes nothing.
class CDlgSet : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSpinLow = static_cast<int>(CDoreme::kMinFreqA4 * 10); // tenths of Hz
    static constexpr int kSpinHigh = static_cast<int>(CDoreme::kMaxFreqA4 * 10);

    explicit CDlgSet(CDoreme& doreme, QWidget* parent = nullptr);

    double Frequency() const { return m_dFreq; }
    QDoubleSpinBox* Spin() const { return m_spin; }

    void accept() override;

private:
    CDoreme& m_doreme;
    double m_dFreq = CDoreme::kDefaultFreqA4;
    QDoubleSpinBox* m_spin = nullptr;
};
