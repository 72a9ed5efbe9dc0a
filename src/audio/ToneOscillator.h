#pragma once

// A tone of three partials, the fundamental, its octave and its twelfth, each at its own
// weight. The phase runs on from one call to the next, so buffers join without a click.
class ToneOscillator {
public:
    struct Weights {
        double fundamental;
        double octave;
        double twelfth;
    };

    explicit ToneOscillator(Weights weights) : m_weights(weights) {}

    // The next sample, between -sum and +sum of the weights, of a tone at hz.
    double Next(double hz);
    // Moves on by one sample without making it.
    void Skip(double hz);
    void Reset() { m_dPhase = 0.0; }
    double Phase() const { return m_dPhase; }

private:
    Weights m_weights;
    double m_dPhase = 0.0;
};
