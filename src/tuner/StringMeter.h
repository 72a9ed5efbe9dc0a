#pragma once

#include "StrumReadout.h"

#include <QWidget>

// A small meter for one string of the instrument view: its label and note, a needle on a scale
// of -50..+50 cents, the deviation in cents and, within a couple of cents, a green tick. A
// string that has stopped sounding keeps the reading it settled on, drawn dimmed.
class CStringMeter : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRangeCents = 50;

    explicit CStringMeter(QWidget* parent = nullptr);

    void Show(const StrumReadout::Meter& meter);
    const StrumReadout::Meter& Shown() const { return m_meter; }
    // "+3.1", "-0.4" or empty before any reading.
    QString CentsText() const;
    QString NoteText() const;
    QString LabelText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    StrumReadout::Meter m_meter;
};
