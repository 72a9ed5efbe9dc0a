#pragma once

#include "FftwPlanner.h"

#include <span>

// The complex discrete Fourier transform of one size, forward and inverse, planned once when
// the object is made and run as often as needed. The values pass through the object's own
// buffer, so one object serves one thread at a time; objects on different threads may run
// at once.
class ComplexFft {
public:
    // Plans both directions for n >= 1 points; throws std::bad_alloc when memory runs out.
    explicit ComplexFft(int n);

    // A plan is bound to the object's own arrays.
    ComplexFft(const ComplexFft&) = delete;
    ComplexFft& operator=(const ComplexFft&) = delete;

    int Size() const { return m_nSize; }

    // X[k] = sum over m of x[m] * e^(-2 pi i k m / n), in place, no scaling. Arrays whose size
    // is not n are left untouched.
    void Forward(std::span<double> re, std::span<double> im);
    // The same with e^(+2 pi i k m / n): n times the inverse of Forward.
    void Inverse(std::span<double> re, std::span<double> im);

private:
    void Run(fftw_plan_s* plan, std::span<double> re, std::span<double> im);

    int m_nSize;
    FftwArray m_pData; // n interleaved complex values
    FftwPlan m_forward;
    FftwPlan m_inverse;
};
