#pragma once

#include "FftwPlanner.h"

#include <span>

// The forward transform of n real values, planned once when the object is made: it gives the
// bins 0 .. n/2 (the others mirror them). One object serves one thread at a time.
class RealFft {
public:
    // Plans for n >= 1 points; throws std::bad_alloc when memory runs out.
    explicit RealFft(int n);

    // A plan is bound to the object's own arrays.
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    int Size() const { return m_nSize; }

    // The n input values; Transform reads them and leaves them as they are.
    std::span<double> Input() { return {m_pInput.get(), static_cast<std::size_t>(m_nSize)}; }

    // X[k] = sum over m of x[m] * e^(-2 pi i k m / n), no scaling.
    void Transform();

    // spectrum[k] = |X[k]| * scale for the bins that fit in both spectrum and 0 .. n/2.
    void Magnitudes(std::span<double> spectrum, double scale) const;

private:
    int m_nSize;
    FftwArray m_pInput;  // n values
    FftwArray m_pOutput; // n/2 + 1 interleaved complex values
    FftwPlan m_plan;
};
