#pragma once

#include <QWidget>

// The tuner's meter: a scale of cents with a tick every `tickInterval`, a bold centre line and
// a needle at the value. It only shows; nothing about it can be dragged or focused. A value
// outside the range stands at the nearer end.
class CPitchMeter : public QWidget {
    Q_OBJECT
public:
    CPitchMeter(int minimum, int maximum, int tickInterval, QWidget* parent = nullptr);

    void setValue(int value);
    int value() const { return m_nValue; }
    int minimum() const { return m_nMinimum; }
    int maximum() const { return m_nMaximum; }
    int tickInterval() const { return m_nTickInterval; }
    // Without a needle the scale shows that nothing is measured.
    void setNeedleVisible(bool visible);
    bool isNeedleVisible() const { return m_bNeedle; }

    // Where on the widget `value` is drawn (the needle's x).
    double XOf(int value) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    int m_nMinimum;
    int m_nMaximum;
    int m_nTickInterval;
    int m_nValue = 0;
    bool m_bNeedle = true;
};
