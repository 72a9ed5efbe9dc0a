#include "DlgMetronom.h"
#include "AudioTestSupport.h"
#include "ClickSample.h"
#include "ClickTrack.h"
#include "Doreme.h"
#include "LampPictures.h"
#include "MemoryWaveIn.h"
#include "MemoryWaveOut.h"
#include "MetronomeOpener.h"

#include <QApplication>
#include <QButtonGroup>
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
    ~Metronome() override { engine.StopOutput(); }

    QSpinBox* Tempo() { return dialog.findChild<QSpinBox*>("tempo"); }
    QTimer* Timer(const char* name) { return dialog.findChild<QTimer*>(name); }
    void Press(const char* name) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(name), Qt::LeftButton);
    }
    void Choose(const QString& text) {
        for (QRadioButton* radio : dialog.findChildren<QRadioButton*>()) {
            if (radio->text() == text) {
                QTest::mouseClick(radio, Qt::LeftButton);
                return;
            }
        }
        FAIL() << text.toStdString();
    }
    // The lamp picture the dialog shows, or -1.
    int Lamp() {
        const QImage shown = dialog.findChild<QLabel*>("light")->pixmap().toImage();
        for (int i = 0; i < 7; ++i) {
            if (!shown.isNull() && shown == lamps[static_cast<std::size_t>(i)].toImage()) {
                return i;
            }
        }
        return -1;
    }
    // Lets the device play buffers, each refilled before the next.
    void Play(int buffers) {
        for (int i = 0; i < buffers; ++i) {
            ASSERT_EQ(out->PlayBuffers(1), 1);
            QCoreApplication::processEvents();
        }
    }
    // Whether the device played the track from its start after its two leading silent buffers.
    bool HeardFrom(const std::vector<std::int16_t>& track) {
        const auto& played = out->Played();
        return played.size() > 2 * kBlockSamples &&
               std::all_of(played.begin(), played.begin() + 2 * kBlockSamples,
                           [](int v) { return v == 0; }) &&
               std::equal(played.begin() + 2 * kBlockSamples, played.end(), track.begin());
    }

    CDoreme doreme;
    MemoryWaveOut* out = new MemoryWaveOut;
    CWaveEngine engine{doreme.Notes(), std::make_unique<MemoryWaveIn>(),
                       std::unique_ptr<IWaveOut>(out)};
    NotifySink sink;
    std::vector<std::int16_t> clip = std::vector<std::int16_t>(kClipSamples);
    CDlgMetronom dialog{engine, clip};
    const std::array<QPixmap, 7> lamps = LampPictures();
};

std::vector<std::int16_t> ExpectedTrack(int tempo, int pattern) {
    std::vector<std::int16_t> track(kClipSamples);
    track.resize(RenderClickTrack(track, tempo, kTimePatterns[static_cast<std::size_t>(pattern)]));
    return track;
}

TEST_F(Metronome, OpensAt120In4WithSoundAndTheTempoMovesOnlyByItsArrows) {
    EXPECT_EQ(dialog.windowTitle(), "Metronom");
    EXPECT_EQ(Tempo()->value(), 120);
    EXPECT_EQ(dialog.findChildren<QButtonGroup*>()[0]->checkedButton()->text(), "4");
    EXPECT_EQ(dialog.findChildren<QButtonGroup*>()[1]->checkedButton()->text(), "Sound");

    QTest::keyClicks(Tempo()->findChild<QLineEdit*>(), "9");
    EXPECT_EQ(Tempo()->value(), 120);
    QTest::keyClick(Tempo(), Qt::Key_Up);
    EXPECT_EQ(Tempo()->value(), 121);
    Tempo()->setValue(299);
    QTest::keyClick(Tempo(), Qt::Key_Up);
    QTest::keyClick(Tempo(), Qt::Key_Up);
    EXPECT_EQ(Tempo()->value(), 300);
    Tempo()->setValue(31);
    QTest::keyClick(Tempo(), Qt::Key_Down);
    QTest::keyClick(Tempo(), Qt::Key_Down);
    EXPECT_EQ(Tempo()->value(), 30);
}

TEST_F(Metronome, SoundLoopsTheTrackAndASecondStartLeavesItPlaying) {
    Press("start");
    ASSERT_TRUE(engine.IsOutputOpen());
    EXPECT_FALSE(engine.IsSynthesis());
    Play(4);
    const std::vector<std::int16_t> track = ExpectedTrack(120, kDefaultPattern);
    EXPECT_TRUE(HeardFrom(track));

    // Pressed again: the same track, the device not started over (that would queue silence).
    Press("start");
    EXPECT_EQ(out->QueuedBuffers(), 2);
    Play(1);
    EXPECT_TRUE(HeardFrom(track));
    EXPECT_EQ(out->Played().size(), 5u * kBlockSamples);

    Press("stop");
    EXPECT_FALSE(engine.IsOutputOpen());
    Press("stop"); // nothing sounds: nothing changes
    EXPECT_FALSE(engine.IsOutputOpen());
}

TEST_F(Metronome, RunOfTempoClicksRestartsOnceWithTheLastTempo) {
    Press("start");
    QSignalSpy restarts(Timer("restartTimer"), &QTimer::timeout);
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(Tempo(), Qt::Key_Up);
        EXPECT_FALSE(engine.IsOutputOpen()) << "click " << i;
        EXPECT_TRUE(Timer("restartTimer")->isActive());
        Wait(60ms); // well inside the 200 ms: each click pushes the restart back
        EXPECT_EQ(restarts.count(), 0);
    }
    ASSERT_TRUE(ProcessEventsUntil([&] { return engine.IsOutputOpen(); }, 2s));
    Wait(400ms);
    EXPECT_EQ(restarts.count(), 1);

    Play(3);
    const std::vector<std::int16_t> track = ExpectedTrack(124, kDefaultPattern);
    EXPECT_TRUE(HeardFrom(track));
}

TEST_F(Metronome, StopWinsOverAPendingRestart) {
    Press("start");
    QTest::keyClick(Tempo(), Qt::Key_Up);
    Press("stop");
    Wait(400ms);
    EXPECT_FALSE(engine.IsOutputOpen());

    // A change while stopped only stops.
    Choose("3");
    QTest::keyClick(Tempo(), Qt::Key_Up);
    EXPECT_FALSE(Timer("restartTimer")->isActive());

    // Light arms a restart of its own at Start; Stop right away must hold too.
    Choose("Light");
    Press("start");
    EXPECT_TRUE(Timer("beatTimer")->isActive());
    Press("stop");
    Wait(400ms);
    EXPECT_FALSE(Timer("beatTimer")->isActive());
    EXPECT_FALSE(engine.IsOutputOpen());
}

TEST_F(Metronome, LightOfPatternOneShowsUnlitThenLampOneAtEachBeat) {
    Tempo()->setValue(300);
    Choose("1");
    Choose("Light");
    Press("start");
    EXPECT_EQ(Timer("beatTimer")->interval(), 200);
    EXPECT_FALSE(engine.IsOutputOpen());
    EXPECT_EQ(Lamp(), -1); // no picture before the first beat
    ASSERT_TRUE(ProcessEventsUntil([&] { return Lamp() == 0; }, 2s));
    ASSERT_TRUE(ProcessEventsUntil([&] { return Lamp() == 1; }, 2s));
    ASSERT_TRUE(ProcessEventsUntil([&] { return Lamp() == 0; }, 2s)); // out after 100 ms
    ASSERT_TRUE(ProcessEventsUntil([&] { return Lamp() == 1; }, 2s));

    Tempo()->setValue(30); // restarts with the slowest beat
    ASSERT_TRUE(ProcessEventsUntil([&] { return Timer("beatTimer")->isActive(); }, 2s));
    EXPECT_EQ(Timer("beatTimer")->interval(), 2000);

    // Back to Sound while running: the lamps stop and the track starts.
    Choose("Sound");
    EXPECT_FALSE(Timer("beatTimer")->isActive());
    ASSERT_TRUE(ProcessEventsUntil([&] { return engine.IsOutputOpen(); }, 2s));
}

TEST_F(Metronome, EnterClosesTheDialogAndItsTimersWithIt) {
    Choose("Light");
    Press("start");
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(Timer("beatTimer")->isActive());
    EXPECT_FALSE(Timer("restartTimer")->isActive());
}

TEST_F(Metronome, OpenerSilencesTheOutputAroundTheDialog) {
    dialog.hide();
    engine.SetSynthesis(true);
    engine.StartOutput(); // a reference tone is playing when the metronome is opened
    bool inMetronome = false;
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* opened = qobject_cast<CDlgMetronom*>(QApplication::activeModalWidget());
        ASSERT_NE(opened, nullptr);
        EXPECT_TRUE(inMetronome);
        EXPECT_FALSE(engine.IsOutputOpen());
        QTest::mouseClick(opened->findChild<QPushButton*>("start"), Qt::LeftButton);
        EXPECT_TRUE(engine.IsOutputOpen());
        checked = true;
        opened->reject(); // closed while the track sounds
    });
    RunMetronome(engine, inMetronome, nullptr);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(inMetronome);
    EXPECT_FALSE(engine.IsOutputOpen());

    // A notification still on its way finds the output closed and reads nothing.
    QCoreApplication::postEvent(&sink, new QEvent(MM_WOM_DONE));
    QCoreApplication::processEvents();
    EXPECT_EQ(out->QueuedBuffers(), 0);
}

} // namespace
