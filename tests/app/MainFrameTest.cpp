#include "WindowFixture.h"

#include "AboutDlg.h"
#include "Commands.h"
#include "DlgSet.h"
#include "GraphView.h"
#include "HomePageAddress.h"
#include "SettingsStore.h"
#include "SignalHelpers.h"
#include "TunerMessages.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <functional>

namespace {

using namespace std::chrono_literals;

QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

TEST_F(WindowFixture, MenusHoldTheirCommandsInOrder) {
    const QList<QAction*> bar = frame.menuBar()->actions();
    ASSERT_EQ(bar.size(), 4);
    EXPECT_EQ(bar[0]->text(), "&File");
    EXPECT_EQ(MenuTexts(bar[0]->menu()), QStringList({"E&xit"}));
    EXPECT_EQ(bar[1]->text(), "&Function");
    EXPECT_EQ(MenuTexts(bar[1]->menu()),
              QStringList({"Automatic tone (F3)", "Precise automatic mode",
                           "Increment half tone (F2)", "Decrement half tone (F1)",
                           "Play standard tone (F5)", "-", "Metronom (F8)", "-", "Spectrum"}));
    EXPECT_EQ(MenuTexts(bar[1]->menu()->actions().last()->menu()),
              QStringList({"Zoom In", "Zoom Out"}));
    EXPECT_EQ(MenuTexts(bar[2]->menu()),
              QStringList({"&Toolbar", "&Status Bar", "Strobe", "-", "Set Parameter Dialog"}));
    EXPECT_EQ(MenuTexts(bar[3]->menu()), QStringList({"Help", "&About Quavelorin..."}));
    // The keys are part of the text; no separate shortcut column.
    EXPECT_TRUE(frame.Action(ID_HALF_TONE_DOWN)->shortcut().isEmpty());
}

TEST_F(WindowFixture, ToolbarButtonsHaveTheirTooltipsAndPrompts) {
    auto* toolBar = frame.findChild<QToolBar*>("mainToolBar");
    ASSERT_NE(toolBar, nullptr);
    EXPECT_EQ(toolBar->iconSize(), QSize(28, 28));
    QStringList tips;
    for (QAction* action : toolBar->actions()) {
        tips << (action->isSeparator() ? QStringLiteral("|") : action->toolTip());
    }
    EXPECT_EQ(tips, QStringList({"b", "#", "|", "Auto", "standard tone", "|", "Metronom", "|",
                                 "Set Parameters Dialog", "Zoom In", "Zoom Out", "|", "Help",
                                 "About Quavelorin"}));

    EXPECT_EQ(frame.statusBar()->currentMessage(), "Ready");
    frame.Action(ID_HALF_TONE_DOWN)->showStatusText(toolBar);
    EXPECT_EQ(frame.statusBar()->currentMessage(), "Decrement a half tone");
    frame.Action(ID_METRONOM)->showStatusText(toolBar);
    EXPECT_EQ(frame.statusBar()->currentMessage(), "Play the metronom");
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(toolBar, &leave);
    EXPECT_EQ(frame.statusBar()->currentMessage(), "Ready");
}

TEST_F(WindowFixture, ToolbarAndStatusBarCanBeHiddenAndShown) {
    auto* toolBar = frame.findChild<QToolBar*>("mainToolBar");
    EXPECT_TRUE(frame.Action(ID_VIEW_TOOLBAR)->isChecked());
    frame.OnCommand(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(toolBar->isHidden());
    EXPECT_FALSE(frame.Action(ID_VIEW_TOOLBAR)->isChecked());
    frame.OnCommand(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(toolBar->isHidden());
    frame.OnCommand(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(frame.statusBar()->isHidden());
    EXPECT_FALSE(frame.Action(ID_VIEW_STATUS_BAR)->isChecked());
}

// Records the addresses the program asks the desktop to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    explicit UrlRecorder(const QString& scheme) : m_scheme(scheme) {
        QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(m_scheme); }
    QList<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls << url; }

private:
    QString m_scheme;
};

TEST_F(WindowFixture, HelpOpensThePageBesideTheExecutable) {
    UrlRecorder files(QStringLiteral("file"));
    frame.OnCommand(ID_HELP_FILE);
    ASSERT_EQ(files.urls.size(), 1);
    const QFileInfo page(files.urls[0].toLocalFile());
    EXPECT_EQ(page.fileName(), "quavelorinhelp.html");
    EXPECT_EQ(page.absolutePath(), QCoreApplication::applicationDirPath());
    EXPECT_TRUE(page.exists());
}

// Runs `act` on the next modal dialog once it is up.
void OnNextDialog(const std::function<void(QWidget*)>& act) {
    QTimer::singleShot(0, [act] {
        ProcessEventsUntil([] { return QApplication::activeModalWidget() != nullptr; }, 2s);
        act(QApplication::activeModalWidget());
    });
}

TEST_F(WindowFixture, AboutBoxOpensTheHomePageAndStaysOpenOrNamesNoneWhenThereIsNone) {
    UrlRecorder web(QStringLiteral("https"));
    for (const QString page : {"https://tuner.example.org/", ""}) {
        const HomePageAddress address(page);
        bool stillOpen = false;
        QStringList texts;
        OnNextDialog([&](QWidget* box) {
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), "About Quavelorin");
            for (const QWidget* child : box->findChildren<QWidget*>()) {
                texts << child->property("text").toString();
            }
            if (auto* home = box->findChild<QPushButton*>("homePageButton")) {
                home->click();
                stillOpen = box->isVisible();
            }
            static_cast<QDialog*>(box)->accept();
        });
        frame.OnCommand(ID_APP_ABOUT);
        EXPECT_EQ(texts.filter("http").size(), page.isEmpty() ? 0 : 1) << page.toStdString();
        EXPECT_EQ(stillOpen, !page.isEmpty());
    }
    EXPECT_EQ(web.urls, QList<QUrl>({QUrl("https://tuner.example.org/")}));
}

TEST_F(WindowFixture, SetParametersStoresTheReferenceOnOkOnly) {
    // OK without touching anything stores 4400 and keeps 440 Hz.
    OnNextDialog([](QWidget* dialog) {
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Set Parameters");
        auto* spin = dialog->findChild<QDoubleSpinBox*>("frequencySpin");
        EXPECT_EQ(spin->text(), "440.00");
        static_cast<QDialog*>(dialog)->accept();
    });
    frame.OnCommand(ID_SET_PARAMETERS);
    EXPECT_EQ(CSettingsStore::ReadInt("Setting", "FreqOfA4", -1), 4400);

    // Three steps up and OK: 440.30 Hz, and the neighbours follow at once.
    OnNextDialog([](QWidget* dialog) {
        auto* spin = dialog->findChild<QDoubleSpinBox*>("frequencySpin");
        for (int i = 0; i < 3; ++i) {
            spin->stepUp();
        }
        EXPECT_EQ(spin->text(), "440.30");
        static_cast<QDialog*>(dialog)->accept();
    });
    frame.OnCommand(ID_SET_PARAMETERS);
    EXPECT_EQ(CSettingsStore::ReadInt("Setting", "FreqOfA4", -1), 4403);
    EXPECT_DOUBLE_EQ(doreme.FreqA4(), 440.3);
    EXPECT_EQ(Text("frequencyTarget"), "440.30Hz");

    // Escape changes neither the reference nor the store.
    OnNextDialog([](QWidget* dialog) {
        dialog->findChild<QDoubleSpinBox*>("frequencySpin")->stepDown();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    frame.OnCommand(ID_SET_PARAMETERS);
    EXPECT_DOUBLE_EQ(doreme.FreqA4(), 440.3);
    EXPECT_EQ(CSettingsStore::ReadInt("Setting", "FreqOfA4", -1), 4403);
}

TEST_F(WindowFixture, SetParametersStoresTheSensitivityAndTheTunerUsesItAtOnce) {
    CListeningSession& session = View().Session();
    EXPECT_EQ(session.Sensitivity(), -50.0);
    OnNextDialog([](QWidget* dialog) {
        auto* spin = dialog->findChild<QSpinBox*>("sensitivitySpin");
        EXPECT_EQ(spin->text(), "-50 dB");
        spin->setValue(-35);
        static_cast<QDialog*>(dialog)->accept();
    });
    frame.OnCommand(ID_SET_PARAMETERS);
    EXPECT_EQ(CSettingsStore::ReadSensitivity(), -35);
    EXPECT_EQ(session.Sensitivity(), -35.0);
    // A tone at -40 dB, heard at the default, is below the new sensitivity.
    const double amplitude = 32768.0 * std::pow(10.0, -40.0 / 20.0);
    std::vector<std::int16_t> block(kBlockSamples);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::int16_t>(amplitude * std::sin(2 * M_PI * 440.0 * i / 44100));
    }
    QSignalSpy heard(&session, &CListeningSession::LevelChanged);
    in->Feed(block);
    ASSERT_TRUE(ProcessEventsUntil([&] { return heard.count() > 0; }, 2s));
    EXPECT_NEAR(session.InputLevel(), -40.0, 0.1);
    EXPECT_TRUE(session.IsQuiet());

    // Stored values outside the spin's range are brought into it.
    CSettingsStore::WriteInt("Setting", "Sensitivity", -200);
    EXPECT_EQ(CSettingsStore::ReadSensitivity(), -90);
}

TEST(DlgSet, SpinStopsAtBothEndsInTenthsOfAHertz) {
    CDoreme doreme;
    doreme.SetFreqA4(444.9);
    CDlgSet dialog(doreme);
    QDoubleSpinBox* spin = dialog.Spin();
    EXPECT_EQ(spin->text(), "444.90");
    spin->stepUp();
    spin->stepUp();
    spin->stepUp();
    EXPECT_EQ(spin->text(), "445.00"); // no wrap
    spin->setValue(435.1);
    spin->stepDown();
    spin->stepDown();
    EXPECT_EQ(spin->text(), "435.00");
    EXPECT_DOUBLE_EQ(dialog.Frequency(), 435.0);
    dialog.accept();
    EXPECT_DOUBLE_EQ(doreme.FreqA4(), 435.0);
    EXPECT_DOUBLE_EQ(doreme.Frequency(48), 435.0); // the table was rebuilt
}

// A chosen input that is not there now (unplugged) is still offered, so OK does not forget it.
TEST(DlgSet, AnAbsentInputIsKeptAndAnotherCanBeChosen) {
    CDoreme doreme;
    CDlgSet dialog(doreme, {{"mic-a", "Microphone A"}}, "gone");
    auto* inputs = dialog.findChild<QComboBox*>("inputCombo");
    ASSERT_EQ(inputs->count(), 3);
    EXPECT_EQ(inputs->itemText(1), "Microphone A");
    EXPECT_EQ(inputs->currentIndex(), 2);
    dialog.accept();
    EXPECT_EQ(dialog.Input(), "gone");
    inputs->setCurrentIndex(1);
    dialog.accept();
    EXPECT_EQ(dialog.Input(), "mic-a");
    inputs->setCurrentIndex(0);
    dialog.accept();
    EXPECT_EQ(dialog.Input(), ""); // the default
}

TEST(DlgSet, WritesAPointUnderAGermanLocale) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    CDoreme doreme;
    doreme.SetFreqA4(440.3);
    CDlgSet dialog(doreme);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(dialog.Spin()->text(), "440.30");
}

TEST(SettingsStore, ReferenceIsReadInTenthsAndClamped) {
    QSettings(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin")).clear();
    EXPECT_DOUBLE_EQ(CSettingsStore::ReadFreqOfA4(), 440.0); // nothing stored yet
    const std::pair<int, double> cases[] = {
        {4300, 435.0}, {4460, 445.0}, {4415, 441.5}, {5000, 445.0}, {4350, 435.0}};
    for (const auto& [stored, hz] : cases) {
        CSettingsStore::WriteInt("Setting", "FreqOfA4", stored);
        EXPECT_DOUBLE_EQ(CSettingsStore::ReadFreqOfA4(), hz) << stored;
    }
    CSettingsStore::WriteFreqOfA4(440.1);
    EXPECT_EQ(CSettingsStore::ReadInt("Setting", "FreqOfA4", 0), 4401);
    // A value that is not a number reads as the default.
    QSettings(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin"))
        .setValue("Setting/FreqOfA4", "loud");
    EXPECT_DOUBLE_EQ(CSettingsStore::ReadFreqOfA4(), 440.0);
}

TEST(SettingsStore, ValuesThatAreNoNumbersReadAsTheDefaultOthersAreLimited) {
    QSettings store(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin"));
    const std::pair<const char*, int> cases[] = {
        {"loud", 7}, {"4Hz", 7}, {"", 7},      {"nan", 7},  {"0x4", 7},         {"3", 3},
        {"4.6", 5},  {"-2", 0},  {"1e99", 12}, {"-inf", 0}, {"99999999999", 12}};
    for (const auto& [text, expected] : cases) {
        store.setValue("Setting/Key", text);
        store.sync();
        EXPECT_EQ(CSettingsStore::ReadNumber("Setting", "Key", 7, 0, 12), expected) << text;
    }
}

TEST(SettingsStore, AnUnreadableFileIsCopiedAsideAndWhatCanBeReadIsKept) {
    const QString path =
        QSettings(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin")).fileName();
    QByteArray garbage("\0\1\xff", 3);
    garbage += "[[[garbage\n=x\n[Setting]\nFreqOfA4=soft\n[User]\nName=me\n";
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(garbage);
    }
    EXPECT_EQ(CSettingsStore::CheckAtStartUp(), "");
    QFile aside(path + ".unreadable");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), garbage);
    EXPECT_DOUBLE_EQ(CSettingsStore::ReadFreqOfA4(), 440.0);
    CSettingsStore::WriteFreqOfA4(441.0);
    QSettings store(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin"));
    store.sync();
    EXPECT_EQ(store.value("User/Name").toString(), "me");
    EXPECT_EQ(store.value("Setting/FreqOfA4").toInt(), 4410);
    QFile::remove(path + ".unreadable");
}

TEST(SettingsStore, TheValuesLiveInARealFile) {
    CSettingsStore::WriteFreqOfA4(442.0);
    QSettings store(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin"));
    store.sync();
    EXPECT_TRUE(QFileInfo::exists(store.fileName())) << store.fileName().toStdString();
    EXPECT_TRUE(store.fileName().startsWith(QDir::tempPath()));
    EXPECT_EQ(store.value("Setting/FreqOfA4").toInt(), 4420);
}

TEST_F(WindowFixture, StartUpReadsTheStoredReference) {
    CSettingsStore::WriteInt("Setting", "FreqOfA4", 4460);
    CDoreme other;
    CWaveEngine quiet{other.Notes(), std::make_unique<MemoryWaveIn>(),
                      std::make_unique<MemoryWaveOut>()};
    CMainFrame second{other, quiet};
    second.InitialUpdate();
    EXPECT_DOUBLE_EQ(other.FreqA4(), 445.0);
    EXPECT_EQ(second.TunerView()->findChild<QLabel*>("frequencyTarget")->text(), "445.00Hz");
}

TEST_F(WindowFixture, PreciseAutomaticModeIsOffUntilChosenThenKeptForTheNextStart) {
    QAction* precise = frame.Action(ID_PRECISE_AUTO);
    EXPECT_FALSE(precise->isChecked());
    precise->trigger();
    EXPECT_TRUE(precise->isChecked());
    EXPECT_TRUE(View().Session().IsPrecise());
    EXPECT_EQ(CSettingsStore::ReadInt("Setting", "PreciseAuto", -1), 1);

    CDoreme other;
    CWaveEngine quiet{other.Notes(), std::make_unique<MemoryWaveIn>(),
                      std::make_unique<MemoryWaveOut>()};
    CMainFrame second{other, quiet};
    second.InitialUpdate();
    EXPECT_TRUE(second.Action(ID_PRECISE_AUTO)->isChecked());
    EXPECT_FALSE(second.TunerView()->IsAutomatic()); // automatic mode itself is not kept
}

// A precise reading is drawn among the spectrum's pitch markers when it arrives, not only with
// the next spectrum: here no block, and so no spectrum, follows it.
TEST_F(WindowFixture, PreciseReadingsRedrawTheMarkersAtOnce) {
    CListeningSession& session = View().Session();
    session.SetPrecise(true);
    session.SetAutomatic(true);
    const double a3 = doreme.Frequency(36);
    SineBlocks tone(a3, 9000.0);
    for (int b = 0; b < 6; ++b) {
        const std::uint64_t blocks = session.State().Blocks();
        in->Feed(tone.Next());
        ASSERT_TRUE(ProcessEventsUntil([&] { return session.State().Blocks() > blocks; }, 5s));
        ASSERT_TRUE(ProcessEventsUntil([&] { return !session.State().IsBusy(); }, 5s));
        QApplication::processEvents(); // the worker's result
    }
    ASSERT_NEAR(CentsBetween(session.PreciseMarkers().back(), a3), 0.0, 1.0);

    const CGraphView& graph = *frame.GraphView();
    QSignalSpy markers(&session, &CListeningSession::MarkersChanged);
    const long composed = graph.Surfaces().Compositions();
    // A result for a frame without a new block: the markers move on with an empty reading.
    QApplication::postEvent(
        &session, new PitchResultEvent(a3, session.Choice(), a3, session.State().Blocks()));
    EXPECT_TRUE(ProcessEventsUntil([&] { return graph.Surfaces().Compositions() > composed; }, 5s));
    EXPECT_EQ(markers.count(), 1);
    EXPECT_EQ(session.PreciseMarkers().back(), 0.0);
    EXPECT_NEAR(CentsBetween(session.PreciseMarkers()[18], a3), 0.0, 1.0);
}

} // namespace

#include "MainFrameTest.moc"
