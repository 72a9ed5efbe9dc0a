#include "RealFft.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>

RealFft::RealFft(int n) : m_nSize(n) {
    if (n < 1) {
        throw std::invalid_argument("a transform needs at least one point");
    }
    const std::size_t bins = static_cast<std::size_t>(n / 2 + 1);
    m_pInput = AllocateFftwArray(static_cast<std::size_t>(n));
    m_pOutput = AllocateFftwArray(2 * bins);
    std::fill_n(m_pInput.get(), n, 0.0);
    std::fill_n(m_pOutput.get(), 2 * bins, 0.0);
    const auto lock = LockFftwPlanner();
    m_plan.reset(fftw_plan_dft_r2c_1d(n, m_pInput.get(),
                                      reinterpret_cast<fftw_complex*>(m_pOutput.get()),
                                      FFTW_ESTIMATE | FFTW_PRESERVE_INPUT));
    if (!m_plan) {
        throw std::bad_alloc();
    }
}

void RealFft::Transform() {
    fftw_execute(m_plan.get());
}

void RealFft::Magnitudes(std::span<double> spectrum, double scale) const {
    const std::size_t count = std::min(spectrum.size(), static_cast<std::size_t>(m_nSize / 2 + 1));
    const double* bins = m_pOutput.get();
    for (std::size_t k = 0; k < count; ++k) {
        const double re = bins[2 * k];
        const double im = bins[2 * k + 1];
        spectrum[k] = std::sqrt(re * re + im * im) * scale;
    }
}
