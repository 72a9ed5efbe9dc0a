// The metronome on a real sound server: the click track the dialog starts is recorded back from
// the server's monitor of the default sink, and its beats are found in the recording. Runs under
// with-pulse (a private server).
#include "AudioTestSupport.h"
#include "ClickTrack.h"
#include "DlgMetronom.h"
#include "Doreme.h"
#include "QtWaveIn.h"
#include "QtWaveOut.h"

#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

namespace {

using namespace std::chrono_literals;

struct Beat {
    std::size_t onset; // first sample at a quarter of the click's own peak
    int peak;
};

// Each click begins after silence; its onset is taken relative to its own peak, so a soft beat
// and a loud one are timed at the same point of the waveform.
std::vector<Beat> FindBeats(const std::vector<std::int16_t>& s) {
    std::vector<Beat> beats;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (std::abs(s[i]) < 500 || i + 2000 > s.size()) {
            continue;
        }
        int peak = 0;
        for (std::size_t j = i; j < i + 2000; ++j) {
            peak = std::max(peak, std::abs(static_cast<int>(s[j])));
        }
        std::size_t onset = i;
        while (std::abs(s[onset]) < peak / 4) {
            ++onset;
        }
        beats.push_back({onset, peak});
        i += 5000; // well inside the 22050 samples to the next beat
    }
    return beats;
}

TEST(MetronomeRealAudio, RecordedClicksAreHalfASecondApartAt120) {
    CDoreme doreme;
    ErrorRecorder errors;
    CWaveEngine engine{doreme.Notes(), std::make_unique<QtWaveIn>(), std::make_unique<QtWaveOut>()};
    NotifySink sink;
    sink.engine = &engine;
    engine.Initialise(&sink);
    std::vector<std::int16_t> clip(kClipSamples);
    CDlgMetronom dialog(engine, clip);
    dialog.show();

    QProcess recorder;
    recorder.start("pacat", {"--record", "--device=nullsink.monitor", "--rate=44100",
                             "--channels=1", "--format=s16le", "--raw", "--latency-msec=20"});
    ASSERT_TRUE(recorder.waitForStarted(5000));
    ProcessEventsUntil([] { return false; }, 500ms);

    QTest::mouseClick(dialog.findChild<QPushButton*>("start"), Qt::LeftButton);
    ASSERT_TRUE(engine.IsOutputOpen());
    ASSERT_TRUE(errors.messages.empty());
    ProcessEventsUntil([] { return false; }, 6s);
    QTest::mouseClick(dialog.findChild<QPushButton*>("stop"), Qt::LeftButton);
    EXPECT_FALSE(engine.IsOutputOpen());

    recorder.terminate();
    ASSERT_TRUE(recorder.waitForFinished(5000));
    const QByteArray raw = recorder.readAllStandardOutput();
    std::vector<std::int16_t> recorded(static_cast<std::size_t>(raw.size()) / 2);
    for (std::size_t i = 0; i < recorded.size(); ++i) { // little-endian 16-bit
        const auto byte = [&](std::size_t k) {
            return static_cast<std::uint8_t>(raw[qsizetype(k)]);
        };
        recorded[i] = static_cast<std::int16_t>(byte(2 * i) | byte(2 * i + 1) << 8);
    }

    const std::vector<Beat> beats = FindBeats(recorded);
    std::cout << "recorded " << recorded.size() << " samples; beats at";
    for (const Beat& b : beats) {
        std::cout << " " << b.onset << " (" << b.peak << ")";
    }
    std::cout << std::endl;

    // About 0.74 s of leading silence, then a beat every half second to the millisecond. When
    // the loaded machine stalls the player past the server's buffer, the server plays silence
    // and that beat comes late; nothing can make one come early.
    ASSERT_GE(beats.size(), 8u);
    std::size_t onTime = 0;
    for (std::size_t k = 1; k < beats.size(); ++k) {
        const auto apart = static_cast<long>(beats[k].onset - beats[k - 1].onset);
        EXPECT_GE(apart, 22050 - 44) << "between beats " << k - 1 << " and " << k;
        onTime += std::abs(apart - 22050) <= 44 ? 1 : 0;
    }
    std::cout << onTime << " of " << beats.size() - 1 << " beats on time" << std::endl;
    EXPECT_GE(onTime, 5u);
    // "4": loud, soft, half, soft.
    const auto loudest =
        std::max_element(beats.begin(), beats.begin() + 4,
                         [](const Beat& a, const Beat& b) { return a.peak < b.peak; });
    ASSERT_LE(loudest + 3, beats.end());
    EXPECT_NEAR(loudest[1].peak / double(loudest->peak), 0.3, 0.03);
    EXPECT_NEAR(loudest[2].peak / double(loudest->peak), 0.5, 0.03);
    EXPECT_NEAR(loudest[3].peak / double(loudest->peak), 0.3, 0.03);

    dialog.hide();
    ProcessEventsUntil([] { return false; }, 200ms); // lets the sound server settle before exit
}

} // namespace
