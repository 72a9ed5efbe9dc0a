// The whole program on a Chinese system: the translations beside the executable are found and
// every menu, pane and status text is Chinese. The real start-up and exit, on a real sound
// server, on the offscreen platform.
#include "BoxWatcher.h"
#include "EventWait.h"
#include "MainFrame.h"
#include "QuavelorinApp.h"
#include "TunerView.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (QAction* action : actions) {
        if (!action->isSeparator()) {
            texts << action->text();
        }
    }
    return texts;
}

TEST(ChineseSystem, MenusPanesAndStatusBarSpeakChinese) {
    BoxWatcher watcher; // none expected: the translation is there and the sound server runs

    CQuavelorinApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(app.Language().IsLoaded());
    CMainFrame& frame = *app.MainFrame();
    const QList<QAction*> bar = frame.menuBar()->actions();
    EXPECT_EQ(Texts(bar), QStringList({"文件(&F)", "功能(&N)", "查看(&V)", "帮助(&H)"}));
    EXPECT_EQ(Texts(bar[0]->menu()->actions()), QStringList({"退出(&X)"}));
    EXPECT_EQ(Texts(bar[3]->menu()->actions()), QStringList({"帮助", "关于 Quavelorin(&A)..."}));
    QStringList groups;
    for (auto* group : frame.TunerView()->findChildren<QGroupBox*>()) {
        groups << group->title();
    }
    EXPECT_EQ(groups, QStringList({"音准表", "乐器选择"}));
    EXPECT_EQ(frame.statusBar()->currentMessage(), "就绪");
    EXPECT_EQ(frame.windowTitle(), "Quavelorin");
    ProcessEventsUntil([] { return false; }, std::chrono::milliseconds(500));
    EXPECT_TRUE(watcher.boxes.isEmpty()) << watcher.boxes.join('\n').toStdString();
    app.ExitInstance();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "zh_CN.UTF-8");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QApplication app(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    // Today's visit is done: the exit opens no page.
    QSettings(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin"))
        .setValue("User/today", QDate::currentDate().toString("yyyy/MM/dd"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
