#include "MainFrame.h"
#include "QuavelorinApp.h"
#include "ReadingProbe.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quavelorin"));
    QApplication::setOrganizationName(QStringLiteral("Pelorin"));

    CQuavelorinApp quavelorin;
    if (!quavelorin.InitInstance()) {
        return quavelorin.ExitInstance();
    }
    CReadingProbe probe(quavelorin.MainFrame());
    const int code = app.exec();
    quavelorin.ExitInstance();
    return code;
}
