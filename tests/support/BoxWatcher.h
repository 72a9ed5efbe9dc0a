#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Closes every message box as soon as it is up, and records each as "title|text".
class BoxWatcher {
public:
    BoxWatcher() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes << box->windowTitle() + "|" + box->text();
                box->accept();
            }
        });
        m_timer.start(20);
    }
    QStringList boxes;

private:
    QTimer m_timer;
};
