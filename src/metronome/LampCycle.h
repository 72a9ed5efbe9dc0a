#pragma once

// The Light output's picture sequence. After a restart the first beat shows the unlit picture
// (0), the following beats lamps 1 .. n in turn, over and over: for one lamp that is 0, 1, 1, ...
class CLampCycle {
public:
    void Restart(int lamps) {
        m_nBeatsPerBar = lamps;
        m_nLightIndex = 0;
    }
    // The picture for this beat; advances to the next.
    int Beat() {
        const int shown = m_nLightIndex;
        if (++m_nLightIndex > m_nBeatsPerBar) {
            m_nLightIndex = 1;
        }
        return shown;
    }

private:
    int m_nBeatsPerBar = 1;
    int m_nLightIndex = 0;
};
