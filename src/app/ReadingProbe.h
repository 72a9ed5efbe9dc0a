#pragma once

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QWidget;

// For scripts that drive the real program (bench/starts, bench/listen): when the environment
// holds QUAVELORIN_PRINT_READINGS, each new read-out of the tuner pane goes to standard output
// as a line of its own ("reading 441.84Hz (7Cents)"), so a script can tell that the program
// hears what is played. Without the variable it does nothing.
class CReadingProbe : public QObject {
public:
    explicit CReadingProbe(QWidget* frame);

private:
    void Look();

    QPointer<QLabel> m_label;
    QTimer m_timer;
    QString m_last;
};
