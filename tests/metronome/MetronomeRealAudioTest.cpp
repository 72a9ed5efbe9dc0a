// The metronome on a real sound server (run under with-pulse, a private one): the click track
// the dialog starts is recorded back from the monitor of the server's default sink.
#include "AudioTestSupport.h"
#include "ChildProgram.h"
#include "ClickTrack.h"
#include "DlgMetronom.h"
#include "Doreme.h"
#include "SystemWaveDevices.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <iostream>

namespace {

using namespace std::chrono_literals;

// The onset of each click after silence, timed where it first reaches a quarter of its own
// peak, so soft and loud beats are timed at the same point of the waveform; and that peak.
std::vector<std::pair<std::size_t, int>> FindBeats(const std::string& raw) {
    const auto* s = reinterpret_cast<const std::int16_t*>(raw.data());
    const std::size_t n = static_cast<std::size_t>(raw.size()) / 2;
    std::vector<std::pair<std::size_t, int>> beats;
    for (std::size_t i = 0; i + 2000 < n; ++i) {
        if (std::abs(s[i]) >= 500) {
            const int peak = std::abs(*std::max_element(
                s + i, s + i + 2000, [](int a, int b) { return std::abs(a) < std::abs(b); }));
            std::size_t onset = i;
            while (std::abs(s[onset]) < peak / 4) {
                ++onset;
            }
            beats.emplace_back(onset, peak);
            i += 5000; // well short of the next beat
        }
    }
    return beats;
}

TEST(MetronomeRealAudio, RecordedClicksAreHalfASecondApartAt120) {
    CDoreme doreme;
    ErrorRecorder errors;
    CWaveEngine engine{doreme.Notes(), MakeSystemWaveIn(), MakeSystemWaveOut()};
    NotifySink sink;
    sink.engine = &engine;
    engine.Initialise(&sink);
    std::vector<std::int16_t> clip(kClipSamples);
    CDlgMetronom dialog(engine, clip);
    dialog.show();

    ChildProgram recorder("pacat",
                          {"--record", "--device=nullsink.monitor", "--rate=44100", "--channels=1",
                           "--format=s16le", "--raw", "--latency-msec=20"},
                          ChildProgram::Capture::Output);
    ASSERT_TRUE(recorder.IsRunning());
    QTest::mouseClick(dialog.findChild<QPushButton*>("start"), Qt::LeftButton);
    // Six seconds of what the speaker played, however late the recorder started.
    ASSERT_TRUE(ProcessEventsUntil([&] { return recorder.CapturedSize() >= 6 * 44100 * 2; }, 60s));
    QTest::mouseClick(dialog.findChild<QPushButton*>("stop"), Qt::LeftButton);
    recorder.Terminate();
    recorder.Wait(5s); // ended by the signal: no exit code
    ASSERT_FALSE(recorder.IsRunning());
    EXPECT_TRUE(errors.messages.empty());
    const auto beats = FindBeats(recorder.Captured());

    // After the leading silence, a beat every half second to the millisecond. When the loaded
    // machine stalls the player past the server's buffer, the server plays silence and that
    // beat comes late; nothing can make one come early.
    ASSERT_GE(beats.size(), 8u);
    std::size_t onTime = 0;
    std::cout << "beats at " << beats[0].first;
    for (std::size_t k = 1; k < beats.size(); ++k) {
        const auto apart = static_cast<long>(beats[k].first - beats[k - 1].first);
        std::cout << " +" << apart;
        EXPECT_GE(apart, 22050 - 44) << "beat " << k;
        onTime += std::abs(apart - 22050) <= 44 ? 1 : 0;
    }
    std::cout << std::endl;
    EXPECT_GE(onTime, 5u);
    // "4": loud, soft, half, soft.
    const auto bar = std::max_element(beats.begin(), beats.begin() + 4,
                                      [](auto& a, auto& b) { return a.second < b.second; });
    for (int p : {1, 2, 3}) {
        EXPECT_NEAR(bar[p].second / double(bar->second), p == 2 ? 0.5 : 0.3, 0.03) << p;
    }
    dialog.hide();
    ProcessEventsUntil([] { return false; }, 200ms); // lets the sound server settle before exit
}

} // namespace
