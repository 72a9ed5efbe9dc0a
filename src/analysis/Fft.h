#pragma once

#include "ComplexFft.h"

#include <cstdint>
#include <memory>
#include <span>

// The tuner's transform object: the window and the two working arrays of one N-point frame.
//
// Init plans the transform once (on the GUI thread, at start-up); Transform only runs the plan.
// The GUI thread prepares a frame only while the analysis worker is idle, and the worker
// transforms it only after being told a frame is ready; the two never touch the arrays at once.
class CFft {
public:
    static constexpr int kDefaultCount = 1024;

    CFft() = default;
    virtual ~CFft() = default;

    CFft(const CFft&) = delete;
    CFft& operator=(const CFft&) = delete;

    // Allocates and fills the window for n points. Returns 1 on success, 0 when n is not a
    // power of two or memory runs out (never throws). Arrays of an earlier Init are released
    // first.
    virtual int Init(int n);
    virtual void Free();

    // imag = 0, real[i] = sample[i] * window[i]. Samples beyond the buffer count as silence.
    void PrepareFrame(std::span<const std::int16_t> samples);

    // Forward transform of the prepared frame, in place.
    void Transform();

    // spectrum[k] = |X[k]| * 2 / N for k < N / 2 (and < spectrum.size()).
    void MagnitudeSpectrum(std::span<double> spectrum) const;

    int Count() const { return m_nCount; }
    bool IsReady() const { return m_pWindow && m_pReal && m_pImag && m_pTransform; }

    std::span<const double> Window() const { return Array(m_pWindow); }
    std::span<double> Real() { return Array(m_pReal); }
    std::span<double> Imag() { return Array(m_pImag); }
    std::span<const double> Real() const { return Array(m_pReal); }
    std::span<const double> Imag() const { return Array(m_pImag); }

private:
    std::span<double> Array(const std::unique_ptr<double[]>& p) const {
        return p ? std::span<double>(p.get(), static_cast<std::size_t>(m_nCount))
                 : std::span<double>();
    }

    int m_nCount = kDefaultCount;
    std::unique_ptr<double[]> m_pWindow;
    std::unique_ptr<double[]> m_pReal;
    std::unique_ptr<double[]> m_pImag;
    std::unique_ptr<ComplexFft> m_pTransform;
};
