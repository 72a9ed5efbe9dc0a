#include "Fft.h"
#include "ComplexFft.h"
#include "RealFft.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <random>
#include <span>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

const double kPi = 4.0 * std::atan(1.0);

struct Signal {
    std::vector<double> re, im;
    explicit Signal(std::size_t n, unsigned seed = 1) : re(n), im(n) {
        std::mt19937 gen(seed);
        std::uniform_real_distribution<double> dist(-1000.0, 1000.0);
        for (std::size_t i = 0; i < n; ++i) {
            re[i] = dist(gen);
            im[i] = dist(gen);
        }
    }
};

std::vector<std::int16_t> SineSamples(std::size_t count, double hz, double amplitude) {
    std::vector<std::int16_t> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        samples[i] = static_cast<std::int16_t>(
            std::lround(amplitude * std::sin(2.0 * kPi * hz * i / 44100)));
    }
    return samples;
}

TEST(CFft, FreshObjectHasDefaultCountAndNoArrays) {
    CFft fft;
    EXPECT_EQ(fft.Count(), 1024);
    EXPECT_FALSE(fft.IsReady());
    EXPECT_TRUE(fft.Window().empty());
    EXPECT_TRUE(fft.Real().empty());
    // Nothing to do on an object without arrays, and nothing breaks.
    std::vector<double> spectrum(512, -1.0);
    fft.PrepareFrame(std::vector<std::int16_t>(1024, 7));
    fft.Transform();
    fft.MagnitudeSpectrum(spectrum);
    EXPECT_EQ(spectrum[0], -1.0);
}

TEST(CFft, WindowIsRaisedHalfSineOnAPedestal) {
    CFft fft;
    ASSERT_EQ(fft.Init(32768), 1);
    const auto w = fft.Window();
    ASSERT_EQ(w.size(), 32768u);
    EXPECT_EQ(w[0], 0.5);
    EXPECT_DOUBLE_EQ(w[16384], 1.0);
    EXPECT_NEAR(w[32767], 0.5, 1e-4);
    EXPECT_DOUBLE_EQ(w[8192], 0.5 + 0.5 * std::sin(kPi / 4));
    EXPECT_TRUE(std::is_sorted(w.begin(), w.begin() + 16385));
}

TEST(CFft, InitAgainReplacesTheArrays) {
    CFft fft;
    ASSERT_EQ(fft.Init(64), 1);
    ASSERT_EQ(fft.Init(128), 1);
    EXPECT_EQ(fft.Count(), 128);
    EXPECT_EQ(fft.Window().size(), 128u);
    EXPECT_DOUBLE_EQ(fft.Window()[64], 1.0);
    fft.Free();
    EXPECT_FALSE(fft.IsReady());
    fft.Free(); // twice is harmless
}

TEST(CFft, InitRefusesSizesItCannotTransform) {
    CFft fft;
    EXPECT_EQ(fft.Init(0), 0);
    EXPECT_EQ(fft.Init(-8), 0);
    EXPECT_EQ(fft.Init(1000), 0);
    EXPECT_FALSE(fft.IsReady());
}

// Runs in a child process: with the address space capped, the allocation fails and Init must
// report it, not throw.
[[noreturn]] void InitUnderMemoryCap() {
    const rlimit limit{256L << 20, 256L << 20};
    setrlimit(RLIMIT_AS, &limit);
    CFft fft;
    const int result = fft.Init(1 << 26); // 512 MiB per array
    std::_Exit(result == 0 && !fft.IsReady() ? 0 : 1);
}

TEST(CFftDeathTest, InitReportsAllocationFailure) {
#ifdef QUAVELORIN_SANITIZED
    GTEST_SKIP() << "a sanitizer's shadow memory does not fit under the address-space cap";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(InitUnderMemoryCap(), ::testing::ExitedWithCode(0), "");
}

TEST(CFft, SilenceGivesAnAllZeroSpectrum) {
    CFft fft;
    ASSERT_EQ(fft.Init(32768), 1);
    fft.PrepareFrame(std::vector<std::int16_t>(32768, 0));
    fft.Transform();
    std::vector<double> spectrum(16384, -1.0);
    fft.MagnitudeSpectrum(spectrum);
    EXPECT_TRUE(std::all_of(spectrum.begin(), spectrum.end(), [](double v) { return v == 0.0; }));
}

TEST(CFft, SineOnABinPeaksInThatBin) {
    CFft fft;
    ASSERT_EQ(fft.Init(32768), 1);
    for (int k : {20, 327, 1000, 3110}) {
        fft.PrepareFrame(SineSamples(32768, k * 44100.0 / 32768, 8000.0));
        fft.Transform();
        std::vector<double> spectrum(16384);
        fft.MagnitudeSpectrum(spectrum);
        const auto peak = std::max_element(spectrum.begin(), spectrum.end()) - spectrum.begin();
        EXPECT_EQ(peak, k);
    }
}

TEST(CFft, PrepareFrameWindowsTheSamplesAndClearsImag) {
    CFft fft;
    ASSERT_EQ(fft.Init(8), 1);
    fft.Imag()[3] = 5.0;
    const std::vector<std::int16_t> samples = {100, -200, 300, -400, 500, -600, 700, -32768};
    fft.PrepareFrame(samples);
    for (int i = 0; i < 8; ++i) {
        EXPECT_DOUBLE_EQ(fft.Real()[i], samples[i] * fft.Window()[i]);
        EXPECT_EQ(fft.Imag()[i], 0.0);
    }
    // A short buffer counts as silence beyond its end.
    fft.PrepareFrame(std::vector<std::int16_t>{1000, 1000});
    EXPECT_EQ(fft.Real()[0], 500.0);
    EXPECT_EQ(fft.Real()[2], 0.0);
    EXPECT_EQ(fft.Real()[7], 0.0);
}

// The bins a wrong twiddle, order or direction would spoil first, and a spread of the rest.
std::vector<std::size_t> CheckedBins(std::size_t n) {
    std::vector<std::size_t> bins = {0, 1, 2, n / 2 - 1, n / 2, n / 2 + 1, n - 2, n - 1};
    for (std::size_t k = 3; k < n; k += 127) {
        bins.push_back(k);
    }
    return bins;
}

// The direct transform at the checked bins, sign -1 forward and +1 inverse. Each angle is
// reduced exactly (k * m mod n) before it is rounded, so the reference is good to about 1e-13.
std::vector<std::complex<double>> DirectBins(const Signal& x, int sign) {
    const std::size_t n = x.re.size();
    std::vector<std::complex<double>> twiddle(n);
    for (std::size_t j = 0; j < n; ++j) {
        twiddle[j] = std::polar(1.0, sign * 2.0 * kPi * static_cast<double>(j) / n);
    }
    std::vector<std::complex<double>> bins;
    for (std::size_t k : CheckedBins(n)) {
        std::complex<double> sum = 0.0;
        std::size_t j = 0; // k * m mod n
        for (std::size_t m = 0; m < n; ++m) {
            sum += std::complex<double>(x.re[m], x.im[m]) * twiddle[j];
            j = j + k < n ? j + k : j + k - n;
        }
        bins.push_back(sum);
    }
    return bins;
}

// Largest error over the checked bins, relative to the largest magnitude among them.
double RelativeError(const Signal& input, std::span<const double> re, std::span<const double> im,
                     int sign) {
    const auto expected = DirectBins(input, sign);
    const auto bins = CheckedBins(input.re.size());
    double worst = 0.0;
    double largest = 0.0;
    for (std::size_t i = 0; i < bins.size(); ++i) {
        const std::complex<double> got(re[bins[i]], im[bins[i]]);
        worst = std::max(worst, std::abs(got - expected[i]));
        largest = std::max(largest, std::abs(expected[i]));
    }
    return worst / largest;
}

TEST(Transforms, EachSizeMatchesTheDirectTransform) {
    // The tuner frame, through CFft.
    CFft fft;
    ASSERT_EQ(fft.Init(32768), 1);
    const Signal frame(32768, 3);
    std::copy(frame.re.begin(), frame.re.end(), fft.Real().begin());
    std::copy(frame.im.begin(), frame.im.end(), fft.Imag().begin());
    fft.Transform();
    EXPECT_LT(RelativeError(frame, fft.Real(), fft.Imag(), -1), 1e-9);

    // The note-locked filter's pair.
    ComplexFft filter(16384);
    const Signal history(16384, 4);
    Signal forward = history;
    filter.Forward(forward.re, forward.im);
    EXPECT_LT(RelativeError(history, forward.re, forward.im, -1), 1e-9);
    Signal inverse = history;
    filter.Inverse(inverse.re, inverse.im);
    EXPECT_LT(RelativeError(history, inverse.re, inverse.im, +1), 1e-9);

    // The display transform takes real input only.
    RealFft display(32768);
    Signal block(32768, 5);
    std::fill(block.im.begin(), block.im.end(), 0.0);
    std::copy(block.re.begin(), block.re.end(), display.Input().begin());
    display.Transform();
    std::vector<double> magnitudes(16384 + 2, -1.0);
    display.Magnitudes(magnitudes, 1.0);
    const auto expected = DirectBins(block, -1);
    const auto bins = CheckedBins(32768);
    double worst = 0.0;
    double largest = 0.0;
    for (std::size_t i = 0; i < bins.size(); ++i) {
        if (bins[i] <= 16384) {
            worst = std::max(worst, std::abs(magnitudes[bins[i]] - std::abs(expected[i])));
            largest = std::max(largest, std::abs(expected[i]));
        }
    }
    EXPECT_LT(worst / largest, 1e-9);
    EXPECT_EQ(magnitudes[16385], -1.0);         // bins 0 .. n/2 only
    EXPECT_EQ(display.Input()[7], block.re[7]); // the input is left as it was
}

TEST(ComplexFft, ForwardThenInverseReturnsTheInput) {
    for (std::size_t n : {1u, 2u, 8u, 1024u, 16384u}) {
        const Signal original(n, static_cast<unsigned>(n));
        Signal s = original;
        ComplexFft fft(static_cast<int>(n));
        fft.Forward(s.re, s.im);
        fft.Inverse(s.re, s.im);
        for (std::size_t i = 0; i < n; ++i) {
            ASSERT_NEAR(s.re[i] / n, original.re[i], 1e-7) << n << ":" << i;
            ASSERT_NEAR(s.im[i] / n, original.im[i], 1e-7) << n << ":" << i;
        }
    }
}

TEST(ComplexFft, OnePointIsLeftAsItIsAndWrongSizesAreRefused) {
    ComplexFft one(1);
    std::vector<double> re{3.5}, im{-1.0};
    one.Forward(re, im);
    EXPECT_EQ(re[0], 3.5);
    EXPECT_EQ(im[0], -1.0);
    // Mismatched arrays are refused rather than overrun.
    ComplexFft eight(8);
    Signal t(8);
    const Signal original = t;
    std::vector<double> shortIm(4, 0.0);
    eight.Forward(t.re, shortIm);
    EXPECT_EQ(t.re, original.re);
    EXPECT_THROW(ComplexFft(0), std::invalid_argument);
    EXPECT_THROW(RealFft(-2), std::invalid_argument);
}

TEST(RealFft, MagnitudesScaleToTheSineAmplitude) {
    // A real sine of amplitude A on bin k has |X[k]| = A * n / 2; 2/n brings it back to A.
    const int n = 4096;
    const int k = 100;
    RealFft fft(n);
    for (int i = 0; i < n; ++i) {
        fft.Input()[i] = 1234.0 * std::sin(2.0 * kPi * k * i / n);
    }
    fft.Transform();
    std::vector<double> spectrum(n / 2);
    fft.Magnitudes(spectrum, 2.0 / n);
    EXPECT_NEAR(spectrum[k], 1234.0, 1e-6);
    EXPECT_NEAR(spectrum[k + 1], 0.0, 1e-6);
}

TEST(Transforms, PlansMadeOnSeveralThreadsAtOnceAllWork) {
    // The planner is shared; one thread planning while another plans or runs must not matter.
    const Signal input(2048, 9);
    Signal expected = input;
    ComplexFft(2048).Forward(expected.re, expected.im);
    std::vector<int> failures(4, 0);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                for (int round = 0; round < 60; ++round) {
                    RealFft other(256 << (round % 6));
                    other.Transform();
                    ComplexFft fft(2048);
                    Signal s = input;
                    fft.Forward(s.re, s.im);
                    failures[t] += s.re != expected.re || s.im != expected.im;
                }
            });
        }
    }
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

} // namespace
