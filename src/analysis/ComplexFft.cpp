#include "ComplexFft.h"

#include <fftw3.h>

#include <new>
#include <stdexcept>

ComplexFft::ComplexFft(int n) : m_nSize(n) {
    if (n < 1) {
        throw std::invalid_argument("a transform needs at least one point");
    }
    m_pData = AllocateFftwArray(2 * static_cast<std::size_t>(n));
    auto* data = reinterpret_cast<fftw_complex*>(m_pData.get());
    const auto lock = LockFftwPlanner();
    m_forward.reset(fftw_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_ESTIMATE));
    m_inverse.reset(fftw_plan_dft_1d(n, data, data, FFTW_BACKWARD, FFTW_ESTIMATE));
    if (!m_forward || !m_inverse) {
        throw std::bad_alloc();
    }
}

void ComplexFft::Forward(std::span<double> re, std::span<double> im) {
    Run(m_forward.get(), re, im);
}

void ComplexFft::Inverse(std::span<double> re, std::span<double> im) {
    Run(m_inverse.get(), re, im);
}

void ComplexFft::Run(fftw_plan_s* plan, std::span<double> re, std::span<double> im) {
    const std::size_t n = static_cast<std::size_t>(m_nSize);
    if (re.size() != n || im.size() != n) {
        return;
    }
    double* data = m_pData.get();
    for (std::size_t i = 0; i < n; ++i) {
        data[2 * i] = re[i];
        data[2 * i + 1] = im[i];
    }
    fftw_execute(plan);
    for (std::size_t i = 0; i < n; ++i) {
        re[i] = data[2 * i];
        im[i] = data[2 * i + 1];
    }
}
