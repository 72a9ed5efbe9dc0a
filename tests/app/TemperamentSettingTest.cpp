#include "WindowFixture.h"

#include "Commands.h"
#include "DlgSet.h"
#include "TemperamentBox.h"
#include "TemperamentStore.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <functional>

namespace {

using namespace std::chrono_literals;

// Runs act on the next modal window once it is up, and waits for it to have run.
void WithNextModal(const std::function<void(QWidget*)>& act, bool* done) {
    *done = false;
    QTimer::singleShot(0, [act, done] {
        ProcessEventsUntil([] { return QApplication::activeModalWidget() != nullptr; }, 5s);
        act(QApplication::activeModalWidget());
        *done = true;
    });
}

// Closes the next message box and keeps its text.
void CloseNextMessage(QString* text, bool* done) {
    WithNextModal(
        [text](QWidget* box) {
            ASSERT_NE(qobject_cast<QMessageBox*>(box), nullptr);
            *text = static_cast<QMessageBox*>(box)->text();
            static_cast<QMessageBox*>(box)->accept();
        },
        done);
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return file.fileName();
}

// A second start of the program on the same settings.
struct Restart {
    Restart() { frame.InitialUpdate(); }
    CDoreme doreme;
    CWaveEngine engine{doreme.Notes(), std::make_unique<MemoryWaveIn>(),
                       std::make_unique<MemoryWaveOut>()};
    CMainFrame frame{doreme, engine};
    QString Status() { return frame.findChild<QLabel*>("temperamentIndicator")->text(); }
};

TEST_F(WindowFixture, ChosenTemperamentShowsInTheStatusBarAndSurvivesARestart) {
    auto* status = frame.findChild<QLabel*>("temperamentIndicator");
    EXPECT_EQ(status->text(), ""); // nothing to warn of in equal temperament
    bool done = false;
    WithNextModal(
        [](QWidget* dialog) {
            auto* temperaments = dialog->findChild<QComboBox*>("temperamentCombo");
            temperaments->setCurrentIndex(temperaments->findData("werckmeister3"));
            dialog->findChild<QComboBox*>("rootCombo")->setCurrentIndex(2); // D
            dialog->findChild<QSpinBox*>("transposeSpin")->setValue(-2);
            static_cast<QDialog*>(dialog)->accept();
        },
        &done);
    frame.OnCommand(ID_SET_PARAMETERS);
    EXPECT_TRUE(done);
    EXPECT_EQ(status->text(), "Werckmeister III on D, transposed -2");
    EXPECT_EQ(doreme.GetTemperament().Name(), "werckmeister3");
    EXPECT_EQ(Text("noteTarget"), "B4"); // A4 sounds, B4 is written

    Restart second;
    EXPECT_EQ(second.doreme.GetTemperament().Name(), "werckmeister3");
    EXPECT_EQ(second.doreme.Root(), 2);
    EXPECT_EQ(second.doreme.Transpose(), -2);
    EXPECT_EQ(second.doreme.Frequency(44), doreme.Frequency(44));
    EXPECT_EQ(second.Status(), status->text());
}

TEST_F(WindowFixture, ScalaFileIsKeptWhenMovedAndABrokenOneChangesNothing) {
    QTemporaryDir dir;
    const QString good =
        WriteFile(dir, "five.scl", "! comment\nfive\n! between\n5\n240.\n480.\n720.\n960.\n2/1\n");
    const QString broken = WriteFile(dir, "broken.scl", "broken\n3\n3/2\n! c\nfive\n2/1\n");

    bool done = false;
    WithNextModal(
        [&](QWidget* dialog) {
            auto* box = dialog->findChild<CTemperamentBox*>("temperamentBox");
            auto* temperaments = dialog->findChild<QComboBox*>("temperamentCombo");
            box->SetFilePicker([&] { return broken; });
            QString message;
            bool closed = false;
            CloseNextMessage(&message, &closed);
            temperaments->activated(temperaments->count() - 1); // "Load a Scala file..."
            EXPECT_TRUE(closed);
            EXPECT_TRUE(message.contains(broken + ":5: 'five'")) << message.toStdString();
            EXPECT_EQ(temperaments->currentData().toString(), "equal"); // nothing changed

            box->SetFilePicker([&] { return good; });
            temperaments->activated(temperaments->count() - 1);
            EXPECT_EQ(temperaments->currentData().toString(), good);
            static_cast<QDialog*>(dialog)->accept();
        },
        &done);
    frame.OnCommand(ID_SET_PARAMETERS);
    EXPECT_TRUE(done);
    EXPECT_EQ(doreme.GetTemperament().Size(), 5);
    EXPECT_EQ(Text("noteTarget"), "[0]4");
    // Laid from C4's equal-tempered pitch, 240 cents a row.
    EXPECT_NEAR(doreme.Frequency(49), 440.0 * std::pow(2.0, -660.0 / 1200), 1e-9);

    // Moved away: the next start still tunes to it, and Set Parameters still offers it.
    ASSERT_TRUE(QFile::remove(good));
    Restart second;
    EXPECT_EQ(second.doreme.GetTemperament().Size(), 5);
    EXPECT_EQ(second.doreme.Frequency(49), doreme.Frequency(49));
    EXPECT_EQ(second.Status(), "five.scl on C");
    CDlgSet dialog(second.doreme);
    auto* temperaments = dialog.findChild<QComboBox*>("temperamentCombo");
    EXPECT_EQ(temperaments->currentData().toString(), good);
    EXPECT_EQ(temperaments->findData(broken), -1); // never loaded
}

TEST(DlgSet, TypedReferenceIsTakenClampedOrRefused) {
    CDoreme doreme;
    auto typeAndOk = [&](const QString& text) {
        CDlgSet dialog(doreme);
        dialog.show();
        QLineEdit* edit = dialog.Spin()->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        dialog.accept();
        return dialog.result() == QDialog::Accepted;
    };
    EXPECT_TRUE(typeAndOk("442"));
    EXPECT_DOUBLE_EQ(doreme.FreqA4(), 442.0);
    EXPECT_TRUE(typeAndOk("500"));
    EXPECT_DOUBLE_EQ(doreme.FreqA4(), 445.0);

    QString message;
    bool closed = false;
    CloseNextMessage(&message, &closed);
    EXPECT_FALSE(typeAndOk("abc"));
    EXPECT_TRUE(closed);
    EXPECT_EQ(message, "Please enter a number.");
    EXPECT_DOUBLE_EQ(doreme.FreqA4(), 445.0);
}

} // namespace
