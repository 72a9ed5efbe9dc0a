// Writes one test tone for the accuracy benchmark as a 16-bit mono 44100 Hz WAV file:
//
//   make_tone OUT.wav HZ SECONDS pure|harmonic NOISE_DB SEED
//
// "harmonic" has a fundamental weaker than its octave, like many plucked and bowed strings;
// NOISE_DB is the level of white noise below the tone's RMS (0: no noise).
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: make_tone OUT.wav HZ SECONDS pure|harmonic NOISE_DB SEED\n");
        return 2;
    }
    const std::string path = argv[1];
    const double hz = std::atof(argv[2]);
    const double seconds = std::atof(argv[3]);
    const bool harmonic = std::string(argv[4]) == "harmonic";
    const double noiseDb = std::atof(argv[5]);
    std::mt19937 random(static_cast<unsigned>(std::atoi(argv[6])));

    constexpr int rate = 44100;
    const double twoPi = 8.0 * std::atan(1.0);
    const std::vector<double> partials =
        harmonic ? std::vector<double>{0.5, 1.0, 0.7, 0.5, 0.3, 0.2} : std::vector<double>{1.0};
    const long frames = std::lround(seconds * rate);
    std::vector<double> signal(static_cast<std::size_t>(frames));
    std::uniform_real_distribution<double> phase(0.0, twoPi);
    std::vector<double> phases(partials.size());
    for (auto& p : phases) {
        p = phase(random);
    }
    double energy = 0.0;
    for (long i = 0; i < frames; ++i) {
        double v = 0.0;
        for (std::size_t h = 0; h < partials.size(); ++h) {
            const double f = hz * static_cast<double>(h + 1);
            if (f < rate / 2.0) {
                v += partials[h] * std::sin(twoPi * f * i / rate + phases[h]);
            }
        }
        signal[static_cast<std::size_t>(i)] = v;
        energy += v * v;
    }
    const double rms = std::sqrt(energy / static_cast<double>(frames));
    if (noiseDb > 0.0) {
        std::normal_distribution<double> noise(0.0, rms * std::pow(10.0, -noiseDb / 20.0));
        for (auto& v : signal) {
            v += noise(random);
        }
    }
    double peak = 0.0;
    for (double v : signal) {
        peak = std::max(peak, std::fabs(v));
    }
    std::vector<short> samples(signal.size());
    for (std::size_t i = 0; i < signal.size(); ++i) {
        samples[i] = static_cast<short>(std::lround(signal[i] / peak * 16000.0));
    }

    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "make_tone: %s\n", sf_strerror(nullptr));
        return 3;
    }
    sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    return 0;
}
