#include "Fft.h"
#include "FftInPlace.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <random>
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

TEST(FftInPlace, MatchesTheDirectTransform) {
    const std::size_t n = 64;
    Signal s(n);
    std::vector<std::complex<double>> expected(n);
    for (std::size_t k = 0; k < n; ++k) {
        for (std::size_t m = 0; m < n; ++m) {
            expected[k] += std::complex<double>(s.re[m], s.im[m]) *
                           std::polar(1.0, -2.0 * kPi * static_cast<double>(k * m) / n);
        }
    }
    FftInPlace(s.re, s.im, ForwardTheta(n));
    for (std::size_t k = 0; k < n; ++k) {
        EXPECT_NEAR(s.re[k], expected[k].real(), 1e-8) << k;
        EXPECT_NEAR(s.im[k], expected[k].imag(), 1e-8) << k;
    }
}

TEST(FftInPlace, ForwardThenInverseReturnsTheInput) {
    for (std::size_t n : {2u, 8u, 1024u, 16384u}) {
        const Signal original(n, static_cast<unsigned>(n));
        Signal s = original;
        FftInPlace(s.re, s.im, ForwardTheta(static_cast<int>(n)));
        FftInPlace(s.re, s.im, InverseTheta(static_cast<int>(n)));
        for (std::size_t i = 0; i < n; ++i) {
            ASSERT_NEAR(s.re[i] / n, original.re[i], 1e-7) << n << ":" << i;
            ASSERT_NEAR(s.im[i] / n, original.im[i], 1e-7) << n << ":" << i;
        }
    }
}

TEST(FftInPlace, YieldingVariantGivesTheSameResult) {
    Signal a(kDisplayFftSize);
    Signal b = a;
    FftInPlace(a.re, a.im, ForwardTheta(kDisplayFftSize));
    FftInPlaceYielding(b.re, b.im, ForwardTheta(kDisplayFftSize));
    EXPECT_EQ(a.re, b.re);
    EXPECT_EQ(a.im, b.im);
}

TEST(FftInPlace, SizesThatAreNotAPowerOfTwoAreLeftAlone) {
    const Signal original(6);
    Signal s = original;
    FftInPlace(s.re, s.im, ForwardTheta(6));
    EXPECT_EQ(s.re, original.re);
    // One point: no stage runs and nothing is reordered.
    std::vector<double> re{3.5}, im{-1.0};
    FftInPlace(re, im, ForwardTheta(1));
    EXPECT_EQ(re[0], 3.5);
    EXPECT_EQ(im[0], -1.0);
    // Mismatched arrays are refused rather than overrun.
    std::vector<double> shortIm(4, 0.0);
    Signal t = original;
    t.re.resize(8, 1.0);
    FftInPlace(t.re, shortIm, ForwardTheta(8));
    EXPECT_EQ(t.re[7], 1.0);
}

TEST(MagnitudeSpectrum, ScalesToTheSineAmplitude) {
    // A real sine of amplitude A on bin k has |X[k]| = A * n / 2; 2/n brings it back to A.
    const int n = 4096;
    const int k = 100;
    std::vector<double> re(n), im(n, 0.0);
    for (int i = 0; i < n; ++i) {
        re[i] = 1234.0 * std::sin(2.0 * kPi * k * i / n);
    }
    FftInPlace(re, im, ForwardTheta(n));
    std::vector<double> spectrum(n / 2);
    MagnitudeSpectrum(re, im, spectrum, 2.0 / n);
    EXPECT_NEAR(spectrum[k], 1234.0, 1e-6);
    EXPECT_NEAR(spectrum[k + 1], 0.0, 1e-6);
}

} // namespace
