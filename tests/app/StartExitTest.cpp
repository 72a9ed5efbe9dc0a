// Start-up and exit: one copy at a time, the language, the day's home page, and a help page
// that cannot be opened.
#include "WindowFixture.h"

#include "BoxWatcher.h"
#include "BuildSettings.h"
#include "ChildProgram.h"
#include "Commands.h"
#include "HomePageAddress.h"
#include "QuavelorinApp.h"

#include <QDesktopServices>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

QString File() {
    return QCoreApplication::translate("CMainFrame", "&File");
}

TEST(Language, ChineseOfAnyScriptOrRegionAndJapaneseChooseTheirFiles) {
    for (const char* name : {"zh_CN", "zh_TW", "zh_HK", "zh_Hant_TW", "zh_SG"}) {
        EXPECT_EQ(CLanguage::FileFor(QLocale(name)), "quavelorin_chn.qm") << name;
    }
    EXPECT_EQ(CLanguage::FileFor(QLocale("ja_JP")), "quavelorin_jpn.qm");
    for (const char* name : {"en_US", "de_DE", "ko_KR", "C"}) {
        EXPECT_EQ(CLanguage::FileFor(QLocale(name)), "") << name;
    }
}

TEST(Language, LoadsTheProgramsAndTheToolkitsTextsFromTheFirstFolderHoldingThem) {
    const QString qm = QStringLiteral(QUAVELORIN_QM_DIR);
    CLanguage language;
    EXPECT_EQ(language.Load(QLocale(QLocale::Japanese), {QDir::tempPath(), qm}), "");
    EXPECT_EQ(File(), "ファイル(&F)");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "キャンセル");
    EXPECT_EQ(language.Load(QLocale(QLocale::Chinese, QLocale::Taiwan), {qm}), "");
    EXPECT_EQ(File(), "文件(&F)");
    language.Unload();
    EXPECT_EQ(File(), "&File");
    EXPECT_EQ(language.Load(QLocale(QLocale::English), {qm}), "");
    EXPECT_FALSE(language.IsLoaded());
}

TEST(Language, AMissingOrDamagedFileIsNamedAndNothingLoads) {
    QTemporaryDir dir;
    CLanguage language;
    EXPECT_EQ(language.Load(QLocale(QLocale::Chinese), {dir.path()}),
              dir.filePath("quavelorin_chn.qm") + "\n\nNo such file or directory");
    QFile damaged(dir.filePath("quavelorin_jpn.qm"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly) && damaged.write("not a translation") > 0);
    damaged.close();
    EXPECT_TRUE(language.Load(QLocale(QLocale::Japanese), {dir.path()})
                    .endsWith("The file is damaged or is not a translation."));
    EXPECT_FALSE(language.IsLoaded());
    EXPECT_EQ(File(), "&File");
}

TEST(InstanceLock, AStaleSocketNeverBlocksTheNextStart) {
    // A bound socket whose owner is gone: what a copy that crashed leaves behind.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(CInstanceLock::ServerName()), 100);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);

    CInstanceLock first;
    EXPECT_TRUE(first.Acquire());
    CInstanceLock second;
    EXPECT_FALSE(second.Acquire());
    first.Release();
    EXPECT_TRUE(second.Acquire());
}

// Runs the program while a first copy holds the lock, with `home` for its settings; returns
// what it wrote to its error output (the offscreen desktop names each page it cannot open).
QString RunSecondCopy(const QString& home) {
    ChildProgram copy(QUAVELORIN_EXECUTABLE, {}, ChildProgram::Capture::Errors,
                      {"HOME=" + home.toStdString()});
    EXPECT_EQ(copy.Wait(std::chrono::seconds(10)), 0);
    return QString::fromStdString(copy.Captured());
}

// The program as built: by default it has no home page, and no exit visits one.
TEST(InstanceLock, ASecondCopyBringsTheFirstForwardAndEndsWithTheExitOfTheDay) {
    CInstanceLock first;
    ASSERT_TRUE(first.Acquire());
    QSignalSpy raised(&first, &CInstanceLock::RaiseRequested);
    const QString page = QStringLiteral(QUAVELORIN_HOME_PAGE);
    QTemporaryDir home;
    const QString opened = RunSecondCopy(home.path());
    EXPECT_FALSE(RunSecondCopy(home.path()).contains("http"));
    EXPECT_TRUE(ProcessEventsUntil([&] { return raised.count() == 2; }, 2s));
    if (page.isEmpty()) {
        EXPECT_FALSE(opened.contains("http")) << opened.toStdString();
        EXPECT_FALSE(QFile::exists(home.filePath(".config/Pelorin/Quavelorin.conf")));
        return;
    }
    EXPECT_TRUE(opened.contains(page));

    // A store that can be neither read nor written (a folder where its file belongs, which
    // stops even root) opens the home page on every exit.
    QTemporaryDir broken;
    ASSERT_TRUE(QDir().mkpath(broken.filePath(".config/Pelorin/Quavelorin.conf")));
    EXPECT_TRUE(RunSecondCopy(broken.path()).contains(page));
    EXPECT_TRUE(RunSecondCopy(broken.path()).contains(page));
}

class Today : public ::testing::Test {
protected:
    Today() { Store().clear(); }
    static QSettings Store() { return QSettings("Pelorin", "Quavelorin"); }
};

TEST_F(Today, FirstExitOfEachDayIncludingAClockSetBack) {
    EXPECT_TRUE(CQuavelorinApp::CheckToday(QDate(2012, 5, 7))); // nothing stored yet
    EXPECT_EQ(Store().value("User/today"), "2012/05/07");
    EXPECT_FALSE(CQuavelorinApp::CheckToday(QDate(2012, 5, 7)));
    EXPECT_TRUE(CQuavelorinApp::CheckToday(QDate(2012, 5, 8)));
    EXPECT_TRUE(CQuavelorinApp::CheckToday(QDate(2012, 5, 6))); // the clock was set back
    EXPECT_TRUE(CQuavelorinApp::CheckToday(QDate(2013, 5, 6)));
}

// Records the web pages the program asks the desktop to open, and what held at that moment.
class HomePageRecorder : public QObject {
    Q_OBJECT
public:
    HomePageRecorder() { QDesktopServices::setUrlHandler("https", this, "Open"); }
    ~HomePageRecorder() override { QDesktopServices::unsetUrlHandler("https"); }
    QStringList opened;

public slots:
    void Open(const QUrl& url) {
        opened << url.toString() + (File() == "&File" ? " english" : "") +
                      (CInstanceLock().Acquire() ? " unlocked" : "");
    }
};

TEST_F(Today, ExitUnloadsTheLanguageReleasesTheLockThenOpensTheHomePage) {
    const QString page = QStringLiteral("https://tuner.example.org/");
    const HomePageAddress address(page);
    HomePageRecorder web;
    BoxWatcher watcher; // also closes a sound device error where no sound server runs
    QLocale::setDefault(QLocale(QLocale::Japanese));
    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    QLocale::setDefault(QLocale::c());
    // The translations are not beside this test: the "Error" box names the file.
    ASSERT_FALSE(watcher.boxes.isEmpty());
    EXPECT_EQ(watcher.boxes[0], "Error|" + QCoreApplication::applicationDirPath() +
                                    "/quavelorin_jpn.qm\n\nNo such file or directory");
    EXPECT_EQ(app.MainFrame()->height(), CQuavelorinApp::kStartHeight);
    EXPECT_TRUE(app.Lock().IsHeld());
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(web.opened, QStringList(page + " english unlocked"));
    EXPECT_EQ(Store().value("User/today"), QDate::currentDate().toString("yyyy/MM/dd"));

    CQuavelorinApp again; // the day's second exit opens nothing
    ASSERT_TRUE(again.InitInstance());
    again.ExitInstance();
    EXPECT_EQ(web.opened.size(), 1);
}

TEST_F(Today, WithoutAHomePageNoExitOpensAPageOrKeepsADate) {
    const HomePageAddress none(QString{});
    HomePageRecorder web;
    BoxWatcher watcher;
    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    app.ExitInstance();
    EXPECT_TRUE(web.opened.isEmpty());
    EXPECT_FALSE(Store().contains("User/today"));
}

// The offscreen desktop, like a desktop without a browser, cannot open anything.
TEST_F(WindowFixture, HelpSaysWhenItCannotBeOpenedAndNamesThePage) {
    BoxWatcher watcher;
    const QString page = CMainFrame::HelpFilePath();
    frame.OnCommand(ID_HELP_FILE);
    ASSERT_TRUE(QFile::rename(page, page + ".away"));
    frame.OnCommand(ID_HELP_FILE);
    QFile::rename(page + ".away", page);
    EXPECT_EQ(watcher.boxes,
              QStringList({"Quavelorin|The desktop could not open this page:\n\n" + page +
                               "\n\nYou can open it by hand in your web browser.",
                           "Quavelorin|This page cannot be found:\n\n" + page}));
}

} // namespace

#include "StartExitTest.moc"
