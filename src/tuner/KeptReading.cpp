#include "KeptReading.h"

#include <algorithm>

void KeptReading::Add(std::optional<double> hz) {
    if (hz) {
        m_run.push_back(*hz);
        return;
    }
    if (m_run.empty()) {
        return;
    }
    if (m_run.size() >= kSteadyRun || m_run.size() >= m_nKeptRun) {
        std::vector<double> last(
            m_run.end() - static_cast<std::ptrdiff_t>(std::min(m_run.size(), kSteadyRun)),
            m_run.end());
        std::sort(last.begin(), last.end());
        m_kept = last.size() == 2 ? (last[0] + last[1]) / 2.0 : last[last.size() / 2];
        m_nKeptRun = m_run.size();
    }
    m_run.clear();
}
