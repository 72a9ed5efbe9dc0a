#pragma once

#include <QDialog>

// "About Quavelorin": version, credit, and, when the program has a home page, a button that
// opens it in the browser (the box stays open).
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
