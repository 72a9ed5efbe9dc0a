#include "DeviceErrorBox.h"

#include <QMessageBox>

void ShowDeviceErrorBox(QWidget* parent, const QString& message) {
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Quavelorin"), message,
                                QMessageBox::Ok, parent);
    box->setObjectName("deviceErrorBox");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
