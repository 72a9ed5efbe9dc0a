#pragma once

#include <QDoubleSpinBox>

// The A4 box of Set Parameters: the arrows step it, and typed text is taken as it is. A typed
// number beyond the range is brought within it when the text is taken; text that is no number
// is remembered, so that the dialog can ask for a number instead of silently keeping the old.
class CFreqSpin : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit CFreqSpin(QWidget* parent = nullptr);

    // The last text typed was not a number.
    bool HasBadText() const { return m_bBadText; }

    QValidator::State validate(QString& input, int& pos) const override;
    double valueFromText(const QString& text) const override;
    void fixup(QString& input) const override;
    void stepBy(int steps) override;

private:
    bool m_bBadText = false;
};
