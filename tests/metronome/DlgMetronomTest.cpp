#include "DlgMetronom.h"
#include "AudioTestSupport.h"
#include "ClickTrack.h"
#include "Doreme.h"
#include "LampPictures.h"
#include "MemoryWaveIn.h"
#include "MemoryWaveOut.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

void Wait(std::chrono::milliseconds time) {
    ProcessEventsUntil([] { return false; }, time);
}

// The dialog shown offscreen over the real engine on in-memory devices.
class Metronome : public ::testing::Test {
protected:
    Metronome() {
        sink.engine = &engine;
        engine.Initialise(&sink);
        dialog.show();
    }

    QSpinBox* Tempo() { return dialog.findChild<QSpinBox*>("tempo"); }
    QTimer* Timer(const char* name) { return dialog.findChild<QTimer*>(name); }
    void Press(const char* name) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(name), Qt::LeftButton);
    }
    void Choose(const QString& text) {
        for (QRadioButton* radio : dialog.findChildren<QRadioButton*>()) {
            if (radio->text() == text) {
                QTest::mouseClick(radio, Qt::LeftButton);
            }
        }
    }
    bool LampShows(int picture) {
        const QImage shown = dialog.findChild<QLabel*>("light")->pixmap().toImage();
        return !shown.isNull() && shown == LampPictures()[std::size_t(picture)].toImage();
    }
    // Plays that many more buffers, each refilled before the next; then whether all played so
    // far is the two silent buffers and the track of this tempo in "4" from its start.
    bool Plays(int tempo, int buffers) {
        for (int i = 0; i < buffers; ++i) {
            out->PlayBuffers(1);
            QCoreApplication::processEvents();
        }
        std::vector<std::int16_t> track(kClipSamples);
        RenderClickTrack(track, tempo, kTimePatterns[kDefaultPattern]);
        const auto& played = out->Played();
        return played.size() > 2 * kBlockSamples &&
               std::count(played.begin(), played.begin() + 2 * kBlockSamples, 0) ==
                   2 * kBlockSamples &&
               std::equal(played.begin() + 2 * kBlockSamples, played.end(), track.begin());
    }

    CDoreme doreme;
    MemoryWaveOut* out = new MemoryWaveOut;
    CWaveEngine engine{doreme.Notes(), std::make_unique<MemoryWaveIn>(),
                       std::unique_ptr<IWaveOut>(out)};
    NotifySink sink;
    std::vector<std::int16_t> clip = std::vector<std::int16_t>(kClipSamples);
    CDlgMetronom dialog{engine, clip};
};

TEST_F(Metronome, SoundLoopsTheTrackAndASecondStartLeavesItPlaying) {
    QTest::keyClicks(Tempo()->findChild<QLineEdit*>(), "9"); // only the arrows move the tempo
    EXPECT_EQ(Tempo()->value(), 120);
    Press("start");
    EXPECT_FALSE(engine.IsSynthesis());
    ASSERT_TRUE(Plays(120, 4));
    Press("start"); // not started over: that would queue silence
    EXPECT_TRUE(Plays(120, 1));
    Press("stop");
    EXPECT_FALSE(engine.IsOutputOpen());
}

TEST_F(Metronome, RunOfTempoClicksRestartsOnceWithTheLastTempo) {
    Press("start");
    QTimer* restartTimer = Timer("restartTimer");
    QSignalSpy restarts(restartTimer, &QTimer::timeout);
    // The clicks come well inside the delay however loaded the machine is: a minute, for now.
    restartTimer->setInterval(60000);
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(Tempo(), Qt::Key_Up);
        EXPECT_FALSE(engine.IsOutputOpen());
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(restarts.count(), 0);
    EXPECT_TRUE(restartTimer->isActive());
    restartTimer->setInterval(CDlgMetronom::kRestartDelayMs); // the pending restart comes now
    ASSERT_TRUE(ProcessEventsUntil([&] { return engine.IsOutputOpen(); }, 5s));
    EXPECT_TRUE(Plays(124, 3));
    EXPECT_EQ(restarts.count(), 1); // and does not come again
    EXPECT_FALSE(restartTimer->isActive());
}

TEST_F(Metronome, StopWinsOverAPendingRestart) {
    Press("start");
    QTest::keyClick(Tempo(), Qt::Key_Up);
    Press("stop");
    Choose("Light"); // Light arms a restart of its own at Start
    Press("start");
    Press("stop");
    Wait(400ms);
    EXPECT_FALSE(engine.IsOutputOpen());
    EXPECT_FALSE(Timer("beatTimer")->isActive());
}

TEST_F(Metronome, LightOfPatternOneShowsUnlitThenLampOneAtEachBeat) {
    Tempo()->setValue(300);
    Choose("1");
    Choose("Light");
    Press("start");
    EXPECT_EQ(Timer("beatTimer")->interval(), 200);
    for (int picture : {0, 1, 0, 1}) { // the lamp goes out 100 ms after each beat
        ASSERT_TRUE(ProcessEventsUntil([&] { return LampShows(picture); }, 2s)) << picture;
    }
    Choose("Sound"); // while running: the lamps stop and the track starts
    EXPECT_FALSE(Timer("beatTimer")->isActive());
    ASSERT_TRUE(ProcessEventsUntil([&] { return engine.IsOutputOpen(); }, 2s));
    QTest::keyClick(&dialog, Qt::Key_Return); // closes, and the timers with it
    EXPECT_FALSE(dialog.isVisible() || Timer("lampOffTimer")->isActive());
}

} // namespace
