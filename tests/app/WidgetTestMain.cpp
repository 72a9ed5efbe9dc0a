// Entry for the widget tests: a real QApplication on the offscreen platform, with the settings
// store and the single-instance socket in temporary folders, apart from the user's own.
#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The single-instance socket of these tests, apart from any running copy.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Pelorin"));
    QApplication::setApplicationName(QStringLiteral("Quavelorin"));
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
