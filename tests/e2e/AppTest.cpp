// The real program, as a user meets it: the same start-up and exit as main(), on the
// offscreen platform, listening to a private sound server (or to none at all). The test reads
// the widgets, not pixels.
#include "BoxWatcher.h"
#include "ChildProgram.h"
#include "Commands.h"
#include "EndProcess.h"
#include "EventWait.h"
#include "GraphView.h"
#include "InstrumentTree.h"
#include "ListeningSession.h"
#include "MainFrame.h"
#include "QuavelorinApp.h"
#include "ServerSine.h"
#include "StringMeter.h"
#include "StringMeters.h"
#include "StrobeView.h"
#include "TunerView.h"
#include "WaveEngine.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

using namespace std::chrono_literals;

// The temporary folder for the program's settings, made by main() for the whole run.
QString& TheSettingsFolder() {
    static QString path;
    return path;
}

QString Label(CQuavelorinApp& app, const char* name) {
    return app.MainFrame()->TunerView()->findChild<QLabel*>(name)->text();
}

// The frequency of the read-out, "444.85Hz (18Cents)".
std::optional<double> ShownHz(CQuavelorinApp& app) {
    const QString text = Label(app, "pitchText");
    const int end = text.indexOf("Hz");
    bool ok = false;
    const double hz = end > 0 ? text.left(end).toDouble(&ok) : 0.0;
    return ok ? std::optional<double>(hz) : std::nullopt;
}

TEST(RealProgram, ReadsAPlayedToneAgainstA4) {
    ServerSine sine(445);
    ASSERT_TRUE(sine.IsPlaying());
    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(app.MainFrame()->windowTitle(), "Quavelorin");
    EXPECT_EQ(Label(app, "noteTarget"), "A4");

    // The first sound the program hears starts the read-out afresh: no climb from 440 Hz.
    std::vector<double> seen;
    const bool settled = ProcessEventsUntil(
        [&] {
            const auto hz = ShownHz(app);
            if (hz && (seen.empty() || seen.back() != *hz)) {
                seen.push_back(*hz);
            }
            // Within 1.5 cents: the note-locked measurement itself reads this tone 0.6 cents low.
            return hz && std::abs(*hz - 445.0) < 0.4;
        },
        20s);
    ASSERT_TRUE(settled) << "last read-out: " << Label(app, "pitchText").toStdString();
    ASSERT_GE(seen.size(), 1u);
    EXPECT_GT(seen.front(), 444.0) << seen.front();
    EXPECT_TRUE(Label(app, "pitchText").endsWith("(19Cents)") ||
                Label(app, "pitchText").endsWith("(18Cents)"))
        << Label(app, "pitchText").toStdString();
    EXPECT_EQ(Label(app, "noteTarget"), "A4");
    app.ExitInstance();
}

// A guitar strummed, every string detuned its own way: with the instrument chosen in the tree,
// each string's meter reads its own string. Then its sixth string alone, on the single meter.
TEST(RealProgram, TunesTheGuitarsStrumAndItsLowString) {
    const double detunes[] = {12.0, -8.0, 20.0, 0.0, -25.0, 30.0}; // E2 A2 D3 G3 B3 E4
    QTemporaryDir dir;
    const std::string strum = dir.filePath("strum.wav").toStdString();
    const QString wav = dir.filePath("e2.wav");
    std::vector<std::string> synth{"-n", "-r", "44100", "-b", "16", "-c", "6", strum, "synth", "5"};
    const int notes[] = {19, 24, 29, 34, 38, 43}; // A0 = 0
    for (int s = 0; s < 6; ++s) {
        synth.push_back("pluck");
        synth.push_back(std::to_string(440.0 * std::exp2((notes[s] - 48 + detunes[s] / 100) / 12)));
    }
    synth.insert(synth.end(), {"delay", "0", "0.02", "0.04", "0.06", "0.08", "0.1", "remix", "-"});
    ASSERT_EQ(RunProgram("sox", synth), 0);
    ASSERT_EQ(RunProgram("sox", {"-n", "-r", "44100", "-c", "1", "-b", "16", wav.toStdString(),
                                 "synth", "40", "sine", "82.41", "gain", "-3"}),
              0);

    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    CInstrumentTree& tree = *app.MainFrame()->TunerView()->Tree();
    auto click = [&](QTreeWidgetItem* item) {
        tree.scrollToItem(item);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(item).center());
    };
    QTreeWidgetItem* guitar = nullptr;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        if (tree.topLevelItem(i)->text(0) == "Guitar") {
            guitar = tree.topLevelItem(i);
        }
    }
    ASSERT_NE(guitar, nullptr);
    click(guitar);
    const auto& meters = app.MainFrame()->TunerView()->StringMeters()->Meters();
    ASSERT_EQ(meters.size(), 6u);
    {
        ChildProgram play("paplay", {strum});
        ASSERT_TRUE(play.IsRunning());
        const bool read = ProcessEventsUntil(
            [&] {
                for (int s = 0; s < 6; ++s) { // the meters run from the first string down
                    const auto& shown = meters[5 - s]->Shown();
                    if (!shown.live || std::abs(shown.cents - detunes[s]) > 2.0) {
                        return false;
                    }
                }
                return true;
            },
            20s);
        QStringList shown;
        for (const CStringMeter* meter : meters) {
            shown << meter->NoteText() + " " + meter->CentsText();
        }
        EXPECT_TRUE(read) << shown.join(", ").toStdString();
        EXPECT_TRUE(meters[2]->Shown().inTune) << shown.join(", ").toStdString();
    }

    tree.expandItem(guitar);
    QTreeWidgetItem* sixth = guitar->child(5);
    ASSERT_EQ(sixth->text(0), "6--(E2)");
    click(sixth);
    ASSERT_TRUE(ProcessEventsUntil([&] { return Label(app, "noteTarget") == "E2"; }, 1000ms));
    EXPECT_EQ(Label(app, "frequencyTarget"), "82.41Hz");

    ChildProgram play("paplay", {wav.toStdString()});
    ASSERT_TRUE(play.IsRunning());
    const bool settled = ProcessEventsUntil(
        [&] {
            const auto hz = ShownHz(app);
            return hz && std::abs(*hz - 82.41) < 0.07; // 1.5 cents
        },
        25s);
    EXPECT_TRUE(settled) << "last read-out: " << Label(app, "pitchText").toStdString();
    EXPECT_EQ(Label(app, "noteTarget"), "E2");
    app.ExitInstance();
}

TEST(RealProgram, DrawsAPlayedA4AtItsGridLine) {
    ServerSine sine(440);
    ASSERT_TRUE(sine.IsPlaying());
    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    CGraphView& graph = *app.MainFrame()->GraphView();
    while (graph.CanZoomOut()) {
        app.MainFrame()->OnCommand(ID_ZOOM_OUT); // full scale 100 %: no peak is cut off
    }
    ASSERT_TRUE(ProcessEventsUntil(
        [&] {
            return std::abs(app.MainFrame()->GraphView()->Analyser().Display()->history.back() -
                            440.0) < 2.0;
        },
        10s));
    const QImage shown = graph.Canvas()->grab().toImage();
    // As tall as the pane shows, never shorter than the canvas's own 421 pixels.
    EXPECT_EQ(shown.size(), QSize(1821, std::max(421, graph.viewport()->height())));

    const auto outline = graph.Surfaces().Outline();
    const auto tallest = std::min_element(outline.begin(), outline.end(),
                                          [](QPoint a, QPoint b) { return a.y() < b.y(); });
    EXPECT_EQ(tallest->x(), GraphScale::NoteX(kNoteA4));
    EXPECT_LT(tallest->y(), 300);
    EXPECT_EQ(std::count_if(outline.begin(), outline.end(),
                            [&](QPoint p) { return p.y() == tallest->y(); }),
              1);
    app.ExitInstance();
}

bool SoundServer(const char* command) {
    return RunProgram(qEnvironmentVariable("QUAVELORIN_SOUND_SERVER").toStdString(), {command}) ==
           0;
}

bool ReadsNear(CQuavelorinApp& app, double hz, std::chrono::milliseconds timeout,
               double tolerance = 0.4) {
    return ProcessEventsUntil(
        [&] {
            const auto shown = ShownHz(app);
            return shown && std::abs(*shown - hz) < tolerance;
        },
        timeout);
}

// Nothing heard: no read-out, the needle at the centre, an empty plot.
void ExpectNothingShown(CQuavelorinApp& app) {
    EXPECT_EQ(Label(app, "pitchText"), "");
    EXPECT_EQ(app.MainFrame()->TunerView()->Readout().MeterPosition(), 0);
    const auto display = app.MainFrame()->GraphView()->Analyser().Display();
    EXPECT_TRUE(std::all_of(display->spectrum.begin(), display->spectrum.end(),
                            [](double v) { return v == 0.0; }));
    EXPECT_TRUE(std::all_of(display->history.begin(), display->history.end(),
                            [](double v) { return v == 0.0; }));
}

// The sound server goes away for 20 s while the program listens and comes back playing another
// tone: the program says so once, shows nothing stale meanwhile, and listens again by itself.
TEST(RealProgram, ListensAgainAfterALongOutage) {
    BoxWatcher watcher;
    CQuavelorinApp app;
    {
        ServerSine sine(445);
        ASSERT_TRUE(sine.IsPlaying());
        ASSERT_TRUE(app.InitInstance());
        ASSERT_TRUE(ReadsNear(app, 445.0, 20s)) << Label(app, "pitchText").toStdString();
    }
    ASSERT_TRUE(SoundServer("stop"));
    ASSERT_TRUE(ProcessEventsUntil([&] { return Label(app, "pitchText").isEmpty(); }, 3s));
    ProcessEventsUntil([] { return false; }, 20s);
    ExpectNothingShown(app);

    ASSERT_TRUE(SoundServer("start"));
    const auto spectra = app.MainFrame()->GraphView()->Analyser().Display()->serial;
    ServerSine sine(440);
    ASSERT_TRUE(sine.IsPlaying());
    EXPECT_TRUE(ReadsNear(app, 440.0, 30s)) << Label(app, "pitchText").toStdString();
    EXPECT_GT(app.MainFrame()->GraphView()->Analyser().Display()->serial,
              spectra); // the spectrum goes on as well
    EXPECT_EQ(Label(app, "noteTarget"), "A4");
    ASSERT_EQ(watcher.boxes.size(), 1);
    EXPECT_EQ(watcher.boxes[0],
              "Quavelorin|Error = 0x00000001, : The sound device stopped or was removed.");
    EXPECT_EQ(app.ExitInstance(), 0);
}

// Started while no server answers: said once; the server that appears 10 s later is heard.
TEST(RealProgram, HearsAServerThatAppearsAfterStart) {
    ASSERT_TRUE(SoundServer("stop"));
    BoxWatcher watcher;
    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    ProcessEventsUntil([] { return false; }, 10s);
    ExpectNothingShown(app);
    ASSERT_TRUE(SoundServer("start"));
    ServerSine sine(440);
    ASSERT_TRUE(sine.IsPlaying());
    EXPECT_TRUE(ReadsNear(app, 440.0, 30s)) << Label(app, "pitchText").toStdString();
    ASSERT_EQ(watcher.boxes.size(), 1);
    EXPECT_EQ(watcher.boxes[0], "Quavelorin|Error = 0x00000002, : No sound device is available.");
    EXPECT_EQ(app.ExitInstance(), 0);
}

// A second virtual microphone, hearing a sink of its own; gone again with the object.
class SecondSource {
public:
    SecondSource() {
        Load({"module-null-sink", "sink_name=second", "rate=44100", "channels=2"});
        Load(kMicrophone);
        Load({"module-loopback", "source=second.monitor", "sink=drain", "latency_msec=20"});
    }
    ~SecondSource() {
        for (auto it = m_modules.rbegin(); it != m_modules.rend(); ++it) {
            RunProgram("pactl", {"unload-module", *it});
        }
    }
    bool IsUp() const { return m_modules.size() == 3; }
    // Unplugs the microphone alone: its sink and loopback stay.
    void RemoveMicrophone() {
        RunProgram("pactl", {"unload-module", m_modules.at(1)});
        m_modules.erase(m_modules.begin() + 1);
    }
    void PlugMicrophoneBackIn() { Load(kMicrophone); }

private:
    static inline const std::vector<std::string> kMicrophone{
        "module-remap-source", "master=second.monitor", "source_name=secondmic", "channels=1"};
    void Load(std::vector<std::string> arguments) {
        std::string module;
        arguments.insert(arguments.begin(), "load-module");
        if (RunProgram("pactl", arguments, &module) == 0) {
            m_modules.push_back(QString::fromStdString(module).trimmed().toStdString());
        }
    }
    std::vector<std::string> m_modules;
};

// Plays a minute of a sine into the given sink.
class SinkSine {
public:
    SinkSine(const QTemporaryDir& dir, const std::string& sink, int hz)
        : m_wav(dir.filePath(QString::number(hz) + ".wav").toStdString()) {
        RunProgram("sox", {"-n", "-r", "44100", "-c", "1", "-b", "16", m_wav, "synth", "60", "sine",
                           std::to_string(hz), "gain", "-3"});
        m_play.emplace("paplay", std::vector<std::string>{"--device=" + sink, m_wav});
    }
    bool IsPlaying() { return m_play && m_play->IsRunning(); }

private:
    std::string m_wav;
    std::optional<ChildProgram> m_play;
};

// The default microphone hears 440 Hz and a second one, picked in the settings, 523 Hz.
struct TwoMicrophones {
    TwoMicrophones() { QSettings("Pelorin", "Quavelorin").setValue("Setting/Input", "secondmic"); }
    bool AreHeard() { return second.IsUp() && first.IsPlaying() && other.IsPlaying(); }

    SecondSource second;
    QTemporaryDir dir;
    SinkSine first{dir, "nullsink", 440};
    SinkSine other{dir, "second", 523};
};

// The source picked in Set Parameters is recorded from. Unplugged while it is heard: said
// once, and capture is on the default within 3 s, with no other server event to prompt it.
// Picked but not there at start: the desktop's default is used without a word, a change of
// default is followed, and the pick is kept for its return.
TEST(RealProgram, RecordsFromThePickedSourceAndGivesWayToTheDefault) {
    TwoMicrophones mics;
    ASSERT_TRUE(mics.AreHeard());
    BoxWatcher watcher;
    {
        CQuavelorinApp app;
        ASSERT_TRUE(app.InitInstance());
        app.MainFrame()->OnCommand(ID_AUTO_TONE);
        ASSERT_TRUE(ReadsNear(app, 523.0, 20s, 3.0)) << Label(app, "pitchText").toStdString();
        mics.second.RemoveMicrophone();
        const DisplayAnalyser& display = app.MainFrame()->GraphView()->Analyser();
        EXPECT_TRUE(ProcessEventsUntil(
            [&] { return std::abs(display.Display()->history.back() - 440.0) < 2.0; }, 3s));
        EXPECT_TRUE(ReadsNear(app, 440.0, 20s, 3.0)) << Label(app, "pitchText").toStdString();
        EXPECT_EQ(watcher.boxes.size(), 1) << watcher.boxes.join("; ").toStdString();
        app.ExitInstance();
    }
    mics.second.PlugMicrophoneBackIn();
    watcher.boxes.clear();
    QSettings("Pelorin", "Quavelorin").setValue("Setting/Input", "gonemic");
    {
        CQuavelorinApp app;
        ASSERT_TRUE(app.InitInstance());
        ASSERT_TRUE(app.MainFrame()->TunerView()->IsAutomatic()); // as the first run left it
        EXPECT_TRUE(ReadsNear(app, 440.0, 20s, 3.0)) << Label(app, "pitchText").toStdString();
        ASSERT_EQ(RunProgram("pactl", {"set-default-source", "secondmic"}), 0);
        EXPECT_TRUE(ReadsNear(app, 523.0, 20s, 3.0)) << Label(app, "pitchText").toStdString();
        app.ExitInstance();
    }
    EXPECT_EQ(QSettings("Pelorin", "Quavelorin").value("Setting/Input").toString(),
              "gonemic"); // kept for its return
    EXPECT_TRUE(watcher.boxes.isEmpty()) << watcher.boxes.join("; ").toStdString();
    RunProgram("pactl", {"set-default-source", "loopmic"});
    QSettings("Pelorin", "Quavelorin").remove("Setting/Input");
}

// A clarinettist tuning in Werckmeister III: 351 Hz is a cent below that temperament's F4
// (equal temperament would read it 8 cents sharp), and the tuner names the written G4.
TEST(RealProgram, ReadsInTheStoredTemperamentAndNamesTheWrittenNote) {
    ServerSine sine(351);
    ASSERT_TRUE(sine.IsPlaying());
    QSettings("Pelorin", "Quavelorin").setValue("Setting/Temperament", "werckmeister3");
    QSettings("Pelorin", "Quavelorin").setValue("Setting/Transpose", -2);
    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(app.MainFrame()->findChild<QLabel*>("temperamentIndicator")->text(),
              "Werckmeister III on C, transposed -2");
    app.MainFrame()->OnCommand(ID_AUTO_TONE);
    // Automatic mode reads this tone 1.3 cents high (351.26 Hz).
    EXPECT_TRUE(ReadsNear(app, 351.0, 20s)) << Label(app, "pitchText").toStdString();
    EXPECT_EQ(Label(app, "noteTarget"), "G4");
    const QString text = Label(app, "pitchText");
    EXPECT_TRUE(text.endsWith("(-1Cents)") || text.endsWith("(0Cents)") ||
                text.endsWith("(1Cents)"))
        << text.toStdString();
    app.ExitInstance();
    QSettings("Pelorin", "Quavelorin").remove("Setting");
}

// The server's index of the module that made this source; empty when there is none.
std::string SourceModule(const std::string& source) {
    std::string modules;
    RunProgram("pactl", {"list", "short", "modules"}, &modules);
    for (const QString& line : QString::fromStdString(modules).split('\n')) {
        if (line.contains("source_name=" + QString::fromStdString(source) + " ")) {
            return line.section('\t', 0, 0).toStdString();
        }
    }
    return {};
}

// The only microphone is unplugged while the speakers play on: the server's default falls to
// a monitor, which is never read. Said once, nothing shown meanwhile, and the reading comes
// back by itself with the microphone.
TEST(RealProgram, WithTheOnlyMicrophoneGoneNothingIsRead) {
    ServerSine sine(445);
    ASSERT_TRUE(sine.IsPlaying());
    BoxWatcher watcher;
    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    ASSERT_TRUE(ReadsNear(app, 445.0, 20s)) << Label(app, "pitchText").toStdString();

    const std::string module = SourceModule("loopmic");
    ASSERT_FALSE(module.empty());
    ASSERT_EQ(RunProgram("pactl", {"unload-module", module}), 0);
    EXPECT_TRUE(ProcessEventsUntil([&] { return Label(app, "pitchText").isEmpty(); }, 3s));
    // Whatever the monitor plays, nothing comes back while no microphone is there.
    EXPECT_FALSE(ProcessEventsUntil([&] { return !Label(app, "pitchText").isEmpty(); }, 3s))
        << Label(app, "pitchText").toStdString();
    ExpectNothingShown(app);
    EXPECT_EQ(watcher.boxes.size(), 1) << watcher.boxes.join("; ").toStdString();

    ASSERT_EQ(RunProgram("pactl", {"load-module", "module-remap-source", "master=nullsink.monitor",
                                   "source_name=loopmic", "channels=1"}),
              0);
    RunProgram("pactl", {"set-default-source", "loopmic"});
    EXPECT_TRUE(ReadsNear(app, 445.0, 30s)) << Label(app, "pitchText").toStdString();
    EXPECT_EQ(watcher.boxes.size(), 1) << watcher.boxes.join("; ").toStdString();
    app.ExitInstance();
}

// The microphone is suspended: no error, but nothing comes. The read-out shows no value
// within 3 s, without a box, and reads again once sound does.
TEST(RealProgram, ASuspendedMicrophoneShowsNothingUntilItSoundsAgain) {
    ServerSine sine(445);
    ASSERT_TRUE(sine.IsPlaying());
    BoxWatcher watcher;
    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    ASSERT_TRUE(ReadsNear(app, 445.0, 20s)) << Label(app, "pitchText").toStdString();

    ASSERT_EQ(RunProgram("pactl", {"suspend-sink", "nullsink", "1"}), 0);
    EXPECT_TRUE(ProcessEventsUntil([&] { return Label(app, "pitchText").isEmpty(); }, 3s));
    // The spectrum's thread clears its snapshot on its own time.
    const DisplayAnalyser& display = app.MainFrame()->GraphView()->Analyser();
    EXPECT_TRUE(ProcessEventsUntil([&] { return display.Display()->history.back() == 0.0; }, 3s));
    ExpectNothingShown(app);
    ASSERT_EQ(RunProgram("pactl", {"suspend-sink", "nullsink", "0"}), 0);
    EXPECT_TRUE(ReadsNear(app, 445.0, 20s)) << Label(app, "pitchText").toStdString();
    EXPECT_TRUE(watcher.boxes.isEmpty()) << watcher.boxes.join("; ").toStdString();
    app.ExitInstance();
}

// A settings folder that cannot be made (its parent is a file): said once, and the program
// runs on and listens.
TEST(RealProgram, SaysOnceThatItsSettingsWillNotBeKept) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocker.fileName() + "/x");
    BoxWatcher watcher;
    ServerSine sine(440);
    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(ProcessEventsUntil([&] { return ShownHz(app).has_value(); }, 10s));
    ASSERT_EQ(watcher.boxes.size(), 1);
    EXPECT_TRUE(watcher.boxes[0].startsWith("Quavelorin|Quavelorin cannot write"))
        << watcher.boxes[0].toStdString();
    app.MainFrame()->OnCommand(ID_HALF_TONE_UP); // still answering
    EXPECT_EQ(Label(app, "noteTarget"), "#A/bB4");
    app.ExitInstance();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, TheSettingsFolder());
}

// A file of sound made with sox, played into the virtual microphone for as long as it lives.
class PlayedSound {
public:
    PlayedSound(const QTemporaryDir& dir, const std::string& name,
                const std::vector<std::string>& synth) {
        const std::string wav = dir.filePath(QString::fromStdString(name)).toStdString();
        std::vector<std::string> args = {"-n", "-r", "44100", "-c", "1", "-b", "16", wav, "synth"};
        args.insert(args.end(), synth.begin(), synth.end());
        if (RunProgram("sox", args) == 0) {
            m_play.emplace("paplay", std::vector<std::string>{wav});
        }
    }
    bool IsPlaying() { return m_play && m_play->IsRunning(); }

private:
    std::optional<ChildProgram> m_play;
};

// Waits for count blocks to be heard and says whether any value was shown meanwhile.
bool ShowsAValueWithin(CQuavelorinApp& app, int count) {
    CListeningSession& session = app.MainFrame()->TunerView()->Session();
    int heard = 0;
    bool shown = false;
    QObject::connect(&session, &CListeningSession::LevelChanged, &session, [&] {
        ++heard;
        shown = shown || !Label(app, "pitchText").isEmpty() || !session.IsQuiet();
    });
    ProcessEventsUntil([&] { return heard >= count; }, 20s);
    QObject::disconnect(&session, &CListeningSession::LevelChanged, &session, nullptr);
    return shown || heard < count;
}

TEST(RealProgram, SilenceAndRoomNoiseShowNothingInAnyModeAndAQuietStringIsRead) {
    QTemporaryDir dir;
    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    CTunerView& view = *app.MainFrame()->TunerView();
    EXPECT_FALSE(ShowsAValueWithin(app, 3)) << "silence"; // nothing is playing yet

    PlayedSound noise(dir, "noise.wav", {"40", "whitenoise", "gain", "-58"}); // -60 dB RMS
    ASSERT_TRUE(noise.IsPlaying());
    ShowsAValueWithin(app, 2); // the noise reaches the microphone
    for (const int step : {0, ID_AUTO_TONE, ID_PRECISE_AUTO}) {
        if (step) {
            app.MainFrame()->OnCommand(step);
        }
        EXPECT_FALSE(ShowsAValueWithin(app, 4)) << step;
        EXPECT_EQ(Label(app, "noteTarget"), "A4") << step; // not A0
        EXPECT_LT(view.Session().InputLevel(), -55.0);
    }
    EXPECT_TRUE(view.IsAutomatic() && view.IsPrecise());

    // A plucked string at -30 dB, read in precise automatic mode and then on its note.
    PlayedSound string(dir, "g3.wav", {"40", "pluck", "196", "gain", "-30"});
    ASSERT_TRUE(string.IsPlaying());
    EXPECT_TRUE(ProcessEventsUntil([&] { return Label(app, "noteTarget") == "G3"; }, 10s))
        << Label(app, "pitchText").toStdString();
    app.MainFrame()->OnCommand(ID_AUTO_TONE);
    EXPECT_TRUE(ReadsNear(app, 196.0, 10s, 1.0)) << Label(app, "pitchText").toStdString();
    app.ExitInstance();
}

TEST(RealProgram, StartsInAutomaticModeWhenLeftInIt) {
    {
        CQuavelorinApp first;
        ASSERT_TRUE(first.InitInstance());
        first.MainFrame()->OnCommand(ID_AUTO_TONE);
        first.ExitInstance();
    }
    ServerSine e4(330);
    ASSERT_TRUE(e4.IsPlaying());
    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(app.MainFrame()->TunerView()->IsAutomatic());
    EXPECT_TRUE(ProcessEventsUntil([&] { return Label(app, "noteTarget") == "E4"; }, 10s))
        << Label(app, "pitchText").toStdString();
    app.ExitInstance();
}

// The strobe's first row, as the pane draws it frame by frame, for steady tones against A4:
// its travel in stripes per second of sound.
TEST(RealProgram, TheStrobeMovesAtTheBeatOfTheToneAgainstItsTarget) {
    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    app.MainFrame()->OnCommand(ID_VIEW_STROBE);
    CStrobeView& strobe = *app.MainFrame()->TunerView()->Strobe();
    ASSERT_TRUE(strobe.isVisible());
    for (const int hz : {441, 439, 440}) {
        ServerSine sine(hz);
        ASSERT_TRUE(sine.IsPlaying());
        ASSERT_TRUE(ProcessEventsUntil([&] { return strobe.Phase().Presence(0) > 0.9; }, 10s));
        ProcessEventsUntil([] { return false; }, 500ms); // the rows settle
        double travel = 0.0;
        double last = strobe.Phase().Offset(0);
        const std::uint64_t start = strobe.Phase().Samples();
        const std::uint64_t frames = strobe.Frames();
        auto connection = QObject::connect(&strobe, &CStrobeView::FrameReady, [&] {
            double step = strobe.Phase().Offset(0) - last;
            step -= std::round(step);
            last = strobe.Phase().Offset(0);
            travel += step;
        });
        const std::uint64_t tenSeconds = 10 * 44100;
        ASSERT_TRUE(ProcessEventsUntil(
            [&] { return strobe.Phase().Samples() - start >= tenSeconds; }, 40s));
        QObject::disconnect(connection);
        const double seconds = double(strobe.Phase().Samples() - start) / 44100.0;
        const double speed = travel / seconds;
        std::printf("strobe at %d Hz: %.3f stripes/s over %.1f s of sound, %llu frames\n", hz,
                    speed, seconds, static_cast<unsigned long long>(strobe.Frames() - frames));
        if (hz == 440) {
            EXPECT_LT(std::abs(travel), 1.0); // less than a stripe in 10 s
        } else {
            EXPECT_NEAR(speed, hz - 440.0, 0.1);
        }
    }
    app.ExitInstance();
}

// Run with no sound server: the device error is shown once, and the program runs on.
TEST(NoSoundServer, ShowsTheErrorOnceAndRunsOn) {
    BoxWatcher watcher;
    QStringList& boxes = watcher.boxes;

    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    // Long enough for several quiet attempts to reach a server (one a second, or every 2 s).
    ProcessEventsUntil([] { return false; }, 4500ms);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0], "Quavelorin|Error = 0x00000002, : No sound device is available.");
    EXPECT_TRUE(app.MainFrame()->isVisible());
    EXPECT_EQ(Label(app, "pitchText"), "");

    // Still answering: a half tone up, and the reference tone reports its own failure once.
    app.MainFrame()->OnCommand(ID_HALF_TONE_UP);
    EXPECT_EQ(Label(app, "noteTarget"), "#A/bB4");
    app.MainFrame()->OnCommand(ID_STANDARD_TONE);
    ProcessEventsUntil([&] { return boxes.size() == 2; }, 2000ms);
    EXPECT_EQ(boxes.size(), 2);
    EXPECT_FALSE(app.MainFrame()->TunerView()->IsToneOn());
    app.ExitInstance();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int code = 1;
    {
        QTemporaryDir runtime; // the single-instance socket, apart from any running copy
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        QApplication app(argc, argv);
        QTemporaryDir settings;
        TheSettingsFolder() = settings.path();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        ::testing::InitGoogleTest(&argc, argv);
        // Every test starts as a first start: the program keeps its mode and target at exit.
        struct FirstStart : ::testing::EmptyTestEventListener {
            void OnTestStart(const ::testing::TestInfo&) override {
                QSettings(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin")).clear();
            }
        };
        ::testing::UnitTest::GetInstance()->listeners().Append(new FirstStart);
        code = RUN_ALL_TESTS();
    }
    return EndProcess(code); // as the program ends
}
