#include "KeptReading.h"

#include <algorithm>

void KeptReading::Add(std::optional<double> hz) {
    if (hz) {
        if (m_last.size() == kSteadyRun) {
            m_last.erase(m_last.begin());
        }
        m_last.push_back(*hz);
        ++m_nRun;
        return;
    }
    if (m_nRun == 0) {
        return;
    }
    if (m_nRun >= kSteadyRun || m_nRun >= m_nKeptRun) {
        std::sort(m_last.begin(), m_last.end());
        m_kept = m_last.size() == 2 ? (m_last[0] + m_last[1]) / 2.0 : m_last[m_last.size() / 2];
        m_nKeptRun = m_nRun;
    }
    m_last.clear();
    m_nRun = 0;
}
