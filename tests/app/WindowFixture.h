#pragma once

#include "Doreme.h"
#include "EventWait.h"
#include "InstrumentTree.h"
#include "MainFrame.h"
#include "MemoryWaveIn.h"
#include "MemoryWaveOut.h"
#include "TunerView.h"
#include "WaveEngine.h"

#include <QApplication>
#include <QLabel>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

// The main window as the program builds it, on in-memory sound devices, shown offscreen.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture() {
        QSettings(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin")).clear();
        frame.InitialUpdate();
        frame.show();
        frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
    }

    CTunerView& View() { return *frame.TunerView(); }
    CInstrumentTree& Tree() { return *View().Tree(); }
    QString Text(const char* name) { return View().findChild<QLabel*>(name)->text(); }

    // Lets posted events run (the tree posts its choice to the view).
    static void Pump() {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
        }
    }

    QTreeWidgetItem* FindItem(const QString& text, QTreeWidgetItem* under = nullptr) {
        const int count = under ? under->childCount() : Tree().topLevelItemCount();
        for (int i = 0; i < count; ++i) {
            QTreeWidgetItem* item = under ? under->child(i) : Tree().topLevelItem(i);
            if (item->text(0) == text) {
                return item;
            }
        }
        return nullptr;
    }

    void Click(QTreeWidgetItem* item) {
        Tree().scrollToItem(item);
        const QRect rect = Tree().visualItemRect(item);
        QTest::mouseClick(Tree().viewport(), Qt::LeftButton, {}, rect.center());
        Pump();
    }

    CDoreme doreme;
    MemoryWaveIn* in = new MemoryWaveIn;
    MemoryWaveOut* out = new MemoryWaveOut;
    CWaveEngine engine{doreme.Notes(), std::unique_ptr<IWaveIn>(in),
                       std::unique_ptr<IWaveOut>(out)};
    MemoryWaveOut* probe = new MemoryWaveOut;
    CMainFrame frame{doreme, engine, std::unique_ptr<IWaveOut>(probe)};
};
