#pragma once

#include "Doreme.h"
#include "WaveDevice.h"

#include <QDialog>

#include <vector>

class CFreqSpin;
class CTemperamentBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

// "Set Parameters": the frequency of A4, 435.00 to 445.00 Hz in steps of 0.10 Hz, the source
// to record from: "Default" (the desktop's choice) or one of the server's sources, the
// temperament, its root and the transposition, and the sensitivity (the quietest level
// measured, -90 to -10 dB). OK makes the frequency (typed or stepped) the reference and
// rebuilds the note table; text that is no number is refused with "Please enter a number." and
// the dialog stays. Escape or the close box changes nothing.
class CDlgSet : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSpinLow = static_cast<int>(CDoreme::kMinFreqA4 * 10); // tenths of Hz
    static constexpr int kSpinHigh = static_cast<int>(CDoreme::kMaxFreqA4 * 10);

    // input is the source chosen so far (empty: the default); when it is not among sources
    // (unplugged, say) it is still offered under its name, so OK does not forget it.
    explicit CDlgSet(CDoreme& doreme, const std::vector<WaveSource>& sources = {},
                     const QString& input = {}, QWidget* parent = nullptr);

    double Frequency() const { return m_dFreq; }
    QDoubleSpinBox* Spin() const;
    CTemperamentBox* TemperamentBox() const { return m_temperament; }
    // The source chosen when OK was pressed; empty for the default.
    QString Input() const { return m_input; }
    // The sensitivity in dB: the quietest input the tuner measures.
    void SetSensitivity(int db);
    int Sensitivity() const { return m_nSensitivity; }

    void accept() override;

private:
    CDoreme& m_doreme;
    double m_dFreq = CDoreme::kDefaultFreqA4;
    CFreqSpin* m_spin = nullptr;
    CTemperamentBox* m_temperament = nullptr;
    QComboBox* m_inputs = nullptr;
    QString m_input;
    QSpinBox* m_sensitivity = nullptr;
    int m_nSensitivity = 0;
};
