#include "ReadingProbe.h"

#include <QWidget>

#include <cstdio>

CReadingProbe::CReadingProbe(QWidget* frame) {
    if (!frame || qEnvironmentVariableIsEmpty("QUAVELORIN_PRINT_READINGS")) {
        return;
    }
    m_label = frame->findChild<QLabel*>(QStringLiteral("pitchText"));
    connect(&m_timer, &QTimer::timeout, this, &CReadingProbe::Look);
    m_timer.start(100);
}

void CReadingProbe::Look() {
    if (!m_label || m_label->text() == m_last) {
        return;
    }
    m_last = m_label->text();
    std::printf("reading %s\n", qPrintable(m_last));
    std::fflush(stdout);
}
