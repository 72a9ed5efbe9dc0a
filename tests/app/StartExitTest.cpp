// Start-up and exit: one copy at a time, the language, the day's home page, and the pages
// that cannot be opened.
#include "WindowFixture.h"

#include "AboutDlg.h"
#include "BoxWatcher.h"
#include "Commands.h"
#include "InstanceLock.h"
#include "Language.h"
#include "QuavelorinApp.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {

using namespace std::chrono_literals;

const QString kQmFolder = QStringLiteral(QUAVELORIN_QM_DIR);

QString Translate(const char* context, const char* text) {
    return QCoreApplication::translate(context, text);
}

TEST(Language, ChineseOfAnyScriptOrRegionAndJapaneseChooseTheirFiles) {
    const std::pair<const char*, const char*> cases[] = {{"zh_CN", "quavelorin_chn.qm"},
                                                         {"zh_TW", "quavelorin_chn.qm"},
                                                         {"zh_HK", "quavelorin_chn.qm"},
                                                         {"zh_Hant_TW", "quavelorin_chn.qm"},
                                                         {"zh_SG", "quavelorin_chn.qm"},
                                                         {"ja_JP", "quavelorin_jpn.qm"},
                                                         {"en_US", ""},
                                                         {"de_DE", ""},
                                                         {"ko_KR", ""},
                                                         {"C", ""}};
    for (const auto& [name, file] : cases) {
        EXPECT_EQ(CLanguage::FileFor(QLocale(QString::fromLatin1(name))), file) << name;
    }
}

TEST(Language, LoadsTheProgramsAndTheToolkitsTexts) {
    CLanguage language;
    EXPECT_EQ(language.Load(QLocale(QLocale::Japanese), {QDir::tempPath(), kQmFolder}), "");
    EXPECT_TRUE(language.IsLoaded());
    EXPECT_EQ(Translate("CMainFrame", "&File"), "ファイル(&F)");
    EXPECT_EQ(Translate("QPlatformTheme", "Cancel"), "キャンセル");
    // Another language replaces it; unloading brings the English back.
    EXPECT_EQ(language.Load(QLocale(QLocale::Chinese, QLocale::Taiwan), {kQmFolder}), "");
    EXPECT_EQ(Translate("CMainFrame", "&File"), "文件(&F)");
    language.Unload();
    EXPECT_EQ(Translate("CMainFrame", "&File"), "&File");
    EXPECT_EQ(language.Load(QLocale(QLocale::English), {kQmFolder}), "");
    EXPECT_FALSE(language.IsLoaded());
}

TEST(Language, AMissingOrDamagedFileIsNamedAndNothingLoads) {
    QTemporaryDir empty;
    CLanguage language;
    const QString missing = language.Load(QLocale(QLocale::Chinese), {empty.path()});
    EXPECT_TRUE(missing.startsWith(QDir(empty.path()).filePath("quavelorin_chn.qm")))
        << missing.toStdString();
    EXPECT_TRUE(missing.endsWith("No such file or directory")) << missing.toStdString();
    EXPECT_FALSE(language.IsLoaded());

    QFile damaged(QDir(empty.path()).filePath("quavelorin_jpn.qm"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a translation");
    damaged.close();
    const QString wrong = language.Load(QLocale(QLocale::Japanese), {empty.path()});
    EXPECT_TRUE(wrong.endsWith("The file is damaged or is not a translation."))
        << wrong.toStdString();
    EXPECT_FALSE(language.IsLoaded());
    EXPECT_EQ(Translate("CMainFrame", "&File"), "&File");
}

// A listening socket whose owner is gone: what a copy that crashed leaves behind.
void LeaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(path).constData(),
                 sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::listen(fd, 1);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(path));
}

TEST(InstanceLock, AStaleSocketNeverBlocksTheNextStart) {
    LeaveStaleSocket(CInstanceLock::ServerName());
    CInstanceLock first;
    EXPECT_TRUE(first.Acquire());
    EXPECT_TRUE(first.IsHeld());
    CInstanceLock second;
    EXPECT_FALSE(second.Acquire());
    first.Release();
    EXPECT_TRUE(second.Acquire());
}

TEST(InstanceLock, ASecondCopyBringsTheFirstForwardAndEnds) {
    CInstanceLock first;
    ASSERT_TRUE(first.Acquire());
    QSignalSpy raised(&first, &CInstanceLock::RaiseRequested);

    QTemporaryDir home;
    QProcess copy;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home.path()); // its own settings, for its exit of the day
    copy.setProcessEnvironment(env);
    copy.start(QStringLiteral(QUAVELORIN_EXECUTABLE), {});
    ASSERT_TRUE(copy.waitForFinished(10000));
    EXPECT_EQ(copy.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(copy.exitCode(), 0);
    EXPECT_TRUE(ProcessEventsUntil([&] { return raised.count() == 1; }, 2s));
}

class Today : public ::testing::Test {
protected:
    Today() { QSettings(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin")).clear(); }
    static QString Stored() {
        return QSettings(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin"))
            .value("User/today")
            .toString();
    }
};

TEST_F(Today, FirstExitOfEachDayIncludingAClockSetBack) {
    EXPECT_TRUE(CQuavelorinApp::CheckToday(QDate(2012, 5, 7))); // nothing stored yet
    EXPECT_EQ(Stored(), "2012/05/07");
    EXPECT_FALSE(CQuavelorinApp::CheckToday(QDate(2012, 5, 7)));
    EXPECT_TRUE(CQuavelorinApp::CheckToday(QDate(2012, 5, 8)));
    EXPECT_TRUE(CQuavelorinApp::CheckToday(QDate(2012, 5, 6))); // the clock was set back
    EXPECT_EQ(Stored(), "2012/05/06");
    EXPECT_TRUE(CQuavelorinApp::CheckToday(QDate(2013, 5, 6))); // a year on, same day
}

TEST_F(Today, AStoreThatCannotBeReadOrWrittenSaysYesEveryTime) {
    // A folder where the settings file should be: neither readable nor writable as a file,
    // even for the administrator.
    const QString file =
        QSettings(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin")).fileName();
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file));
    EXPECT_TRUE(CQuavelorinApp::CheckToday(QDate(2012, 5, 7)));
    EXPECT_TRUE(CQuavelorinApp::CheckToday(QDate(2012, 5, 7)));
    QDir(file).removeRecursively();
}

// Records the web addresses the program asks the desktop to open, and what held then.
class HomePageRecorder : public QObject {
    Q_OBJECT
public:
    HomePageRecorder() { QDesktopServices::setUrlHandler("https", this, "Open"); }
    ~HomePageRecorder() override { QDesktopServices::unsetUrlHandler("https"); }
    QList<QUrl> urls;
    std::function<void()> onOpen;

public slots:
    void Open(const QUrl& url) {
        urls << url;
        if (onOpen) {
            onOpen();
        }
    }
};

TEST_F(Today, ExitUnloadsTheLanguageReleasesTheLockThenOpensTheHomePage) {
    QLocale::setDefault(QLocale(QLocale::Japanese));
    HomePageRecorder web;
    bool languageGone = false;
    bool lockFree = false;
    web.onOpen = [&] {
        languageGone = Translate("CMainFrame", "&File") == "&File";
        lockFree = CInstanceLock().Acquire();
    };
    BoxWatcher watcher; // also closes a sound device error where no sound server runs
    {
        // The translations are not beside this test: the "Error" box names the file, and the
        // program goes on in English.
        CQuavelorinApp app;
        ASSERT_TRUE(app.InitInstance());
        QLocale::setDefault(QLocale::c());
        ASSERT_FALSE(watcher.boxes.isEmpty());
        const QString box = watcher.boxes[0];
        EXPECT_TRUE(box.startsWith("Error|" + QCoreApplication::applicationDirPath()))
            << box.toStdString();
        EXPECT_TRUE(box.endsWith("No such file or directory")) << box.toStdString();
        EXPECT_EQ(app.MainFrame()->height(), CQuavelorinApp::kStartHeight);
        EXPECT_TRUE(app.Lock().IsHeld());
        EXPECT_EQ(app.ExitInstance(), 0);
        ASSERT_EQ(web.urls.size(), 1);
        EXPECT_EQ(web.urls[0].toString(), QString::fromLatin1(CAboutDlg::kHomePage));
        EXPECT_TRUE(languageGone);
        EXPECT_TRUE(lockFree);
        EXPECT_EQ(Stored(), QDate::currentDate().toString("yyyy/MM/dd"));
        EXPECT_EQ(app.ExitInstance(), 0); // once only
    }
    // The second exit of the day opens nothing.
    CQuavelorinApp again;
    ASSERT_TRUE(again.InitInstance());
    again.ExitInstance();
    EXPECT_EQ(web.urls.size(), 1);
}

// The text of the one message box `act` shows (closed at once); empty when none.
QString NextBoxText(const std::function<void()>& act) {
    BoxWatcher watcher;
    act();
    return watcher.boxes.size() == 1 ? watcher.boxes[0].section('|', 1) : QString();
}

// The offscreen desktop, like a desktop without a browser, cannot open anything.
TEST_F(WindowFixture, HelpSaysWhenTheDesktopCannotOpenIt) {
    const QString text = NextBoxText([&] { frame.OnCommand(ID_HELP_FILE); });
    EXPECT_TRUE(text.contains(CMainFrame::HelpFilePath())) << text.toStdString();
    EXPECT_TRUE(text.startsWith("The desktop could not open this page")) << text.toStdString();
}

TEST_F(WindowFixture, HelpNamesAMissingPage) {
    const QString page = CMainFrame::HelpFilePath();
    ASSERT_TRUE(QFile::rename(page, page + ".away"));
    const QString text = NextBoxText([&] { frame.OnCommand(ID_HELP_FILE); });
    QFile::rename(page + ".away", page);
    EXPECT_EQ(text, "This page cannot be found:\n\n" + page);
}

TEST(AboutBox, SaysWhenTheDesktopCannotOpenTheHomePage) {
    CAboutDlg about;
    const QString text =
        NextBoxText([&] { about.findChild<QPushButton*>("homePageButton")->click(); });
    EXPECT_TRUE(text.contains(QString::fromLatin1(CAboutDlg::kHomePage))) << text.toStdString();
}

} // namespace

#include "StartExitTest.moc"
