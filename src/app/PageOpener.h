#pragma once

#include <QCoreApplication>
#include <QUrl>

class QWidget;

// Opens the help page or the home page in the user's browser. When the desktop cannot (no
// browser, no opener, a missing file), a box says so and names the file or address, so the
// user can open it by hand.
class CPageOpener {
    Q_DECLARE_TR_FUNCTIONS(CPageOpener)
public:
    // True when the desktop took the page.
    static bool Open(const QUrl& page, QWidget* parent);
};
