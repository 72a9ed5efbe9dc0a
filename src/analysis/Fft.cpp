#include "Fft.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// The plan needs memory of its own; running out of it fails Init like the arrays do.
std::unique_ptr<ComplexFft> PlanTransform(int n) {
    try {
        return std::make_unique<ComplexFft>(n);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace

int CFft::Init(int n) {
    Free();
    if (n < 1 || (n & (n - 1)) != 0) {
        return 0;
    }
    m_nCount = n;
    m_pWindow.reset(new (std::nothrow) double[n]);
    m_pReal.reset(new (std::nothrow) double[n]);
    m_pImag.reset(new (std::nothrow) double[n]);
    if (m_pWindow && m_pReal && m_pImag) {
        m_pTransform = PlanTransform(n);
    }
    if (!IsReady()) {
        Free();
        return 0;
    }

    // A raised half-sine on a pedestal of 0.5: 0.5 at the ends, 1.0 in the middle. It keeps
    // half the weight on the older block of the frame instead of fading it out.
    const double pi = 4.0 * std::atan(1.0);
    for (int i = 0; i < n; ++i) {
        m_pWindow[i] = 0.5 + 0.5 * std::sin(pi * i / n);
        m_pReal[i] = 0.0;
        m_pImag[i] = 0.0;
    }
    return 1;
}

void CFft::Free() {
    m_pWindow.reset();
    m_pReal.reset();
    m_pImag.reset();
    m_pTransform.reset();
}

void CFft::PrepareFrame(std::span<const std::int16_t> samples) {
    if (!IsReady()) {
        return;
    }
    const std::size_t n = static_cast<std::size_t>(m_nCount);
    for (std::size_t i = 0; i < n; ++i) {
        const double sample = i < samples.size() ? static_cast<double>(samples[i]) : 0.0;
        m_pReal[i] = sample * m_pWindow[i];
        m_pImag[i] = 0.0;
    }
}

void CFft::Transform() {
    if (IsReady()) {
        m_pTransform->Forward(Real(), Imag());
    }
}

void CFft::MagnitudeSpectrum(std::span<double> spectrum) const {
    if (!IsReady()) {
        return;
    }
    const std::size_t bins = std::min(static_cast<std::size_t>(m_nCount / 2), spectrum.size());
    const double scale = 2.0 / m_nCount;
    for (std::size_t k = 0; k < bins; ++k) {
        spectrum[k] = std::sqrt(m_pReal[k] * m_pReal[k] + m_pImag[k] * m_pImag[k]) * scale;
    }
}
