#pragma once

#include <QDialog>

// "About Quavelorin": version, credit, and a button that opens the home page in the browser
// (the box stays open).
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static const char* const kHomePage;

    explicit CAboutDlg(QWidget* parent = nullptr);
};
