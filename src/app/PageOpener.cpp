#include "PageOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>

bool CPageOpener::Open(const QUrl& page, QWidget* parent) {
    const bool missing = page.isLocalFile() && !QFileInfo::exists(page.toLocalFile());
    if (!missing && QDesktopServices::openUrl(page)) {
        return true;
    }
    const QString where = page.isLocalFile() ? page.toLocalFile() : page.toString();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quavelorin"),
                    missing ? tr("This page cannot be found:\n\n%1").arg(where)
                            : tr("The desktop could not open this page:\n\n%1\n\n"
                                 "You can open it by hand in your web browser.")
                                  .arg(where),
                    QMessageBox::Ok, parent);
    box.setObjectName("pageFailureBox");
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
    return false;
}
