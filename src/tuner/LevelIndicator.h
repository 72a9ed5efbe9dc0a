#pragma once

#include <QWidget>

// A small bar of the input level, so the user sees that the microphone hears: it fills from
// the left up to the level, with a mark at the sensitivity, green at or above it and grey
// below.
class CLevelIndicator : public QWidget {
    Q_OBJECT
public:
    static constexpr double kFloorDb = -90.0; // the bar's left end; its right end is 0 dB

    explicit CLevelIndicator(QWidget* parent = nullptr);

    void SetLevel(double db, double thresholdDb);
    double Level() const { return m_dLevel; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    double XOf(double db) const;

    double m_dLevel = kFloorDb;
    double m_dThreshold = kFloorDb;
};
