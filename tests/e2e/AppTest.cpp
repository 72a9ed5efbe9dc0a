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
#include "MainFrame.h"
#include "QuavelorinApp.h"
#include "ServerSine.h"
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

    // The read-out climbs from 440 Hz by a third of the gap per block.
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
    ASSERT_GE(seen.size(), 3u);
    EXPECT_LT(seen.front(), 442.0); // it started near 440 and approached
    EXPECT_TRUE(Label(app, "pitchText").endsWith("(19Cents)") ||
                Label(app, "pitchText").endsWith("(18Cents)"))
        << Label(app, "pitchText").toStdString();
    EXPECT_EQ(Label(app, "noteTarget"), "A4");
    app.ExitInstance();
}

TEST(RealProgram, TunesTheGuitarsLowString) {
    QTemporaryDir dir;
    const QString wav = dir.filePath("e2.wav");
    ASSERT_EQ(RunProgram("sox", {"-n", "-r", "44100", "-c", "1", "-b", "16", wav.toStdString(),
                                 "synth", "40", "sine", "82.41", "gain", "-3"}),
              0);

    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    CInstrumentTree& tree = *app.MainFrame()->TunerView()->Tree();
    QTreeWidgetItem* guitar = nullptr;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        if (tree.topLevelItem(i)->text(0) == "Guitar") {
            guitar = tree.topLevelItem(i);
        }
    }
    ASSERT_NE(guitar, nullptr);
    tree.expandItem(guitar);
    QTreeWidgetItem* sixth = guitar->child(5);
    ASSERT_EQ(sixth->text(0), "6--(E2)");
    tree.scrollToItem(sixth);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(sixth).center());
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
    EXPECT_EQ(shown.size(), QSize(1821, 421));

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
        Load({"module-remap-source", "master=second.monitor", "source_name=secondmic",
              "channels=1"});
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

private:
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

// The source picked in Set Parameters is recorded from; one that has gone is replaced by the
// desktop's default without a word; with none picked, a change of default is followed.
TEST(RealProgram, RecordsFromThePickedSourceOrFollowsTheDefault) {
    SecondSource second;
    ASSERT_TRUE(second.IsUp());
    QTemporaryDir dir;
    SinkSine first(dir, "nullsink", 440);
    SinkSine other(dir, "second", 523);
    ASSERT_TRUE(first.IsPlaying() && other.IsPlaying());
    QSettings("Pelorin", "Quavelorin").setValue("Setting/Input", "secondmic");
    BoxWatcher watcher;
    {
        CQuavelorinApp app;
        ASSERT_TRUE(app.InitInstance());
        app.MainFrame()->OnCommand(ID_AUTO_TONE);
        EXPECT_TRUE(ReadsNear(app, 523.0, 20s, 3.0)) << Label(app, "pitchText").toStdString();
        app.ExitInstance();
    }
    QSettings("Pelorin", "Quavelorin").setValue("Setting/Input", "gonemic");
    {
        CQuavelorinApp app;
        ASSERT_TRUE(app.InitInstance());
        app.MainFrame()->OnCommand(ID_AUTO_TONE);
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

// The picked microphone is unplugged while it is heard: said once, and capture is on the
// default within 3 s, with no other server event to prompt it.
TEST(RealProgram, APickedSourceThatGoesGivesWayToTheDefault) {
    SecondSource second;
    ASSERT_TRUE(second.IsUp());
    QTemporaryDir dir;
    SinkSine first(dir, "nullsink", 440);
    SinkSine other(dir, "second", 523);
    ASSERT_TRUE(first.IsPlaying() && other.IsPlaying());
    QSettings("Pelorin", "Quavelorin").setValue("Setting/Input", "secondmic");
    BoxWatcher watcher;
    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    app.MainFrame()->OnCommand(ID_AUTO_TONE);
    ASSERT_TRUE(ReadsNear(app, 523.0, 20s, 3.0)) << Label(app, "pitchText").toStdString();

    second.RemoveMicrophone();
    const DisplayAnalyser& display = app.MainFrame()->GraphView()->Analyser();
    EXPECT_TRUE(ProcessEventsUntil(
        [&] { return std::abs(display.Display()->history.back() - 440.0) < 2.0; }, 3s));
    EXPECT_TRUE(ReadsNear(app, 440.0, 20s, 3.0)) << Label(app, "pitchText").toStdString();
    EXPECT_EQ(watcher.boxes.size(), 1) << watcher.boxes.join("; ").toStdString();
    app.ExitInstance();
    QSettings("Pelorin", "Quavelorin").remove("Setting/Input");
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
        code = RUN_ALL_TESTS();
    }
    return EndProcess(code); // as the program ends
}
