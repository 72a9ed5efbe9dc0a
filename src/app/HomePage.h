#pragma once

#include <QString>

// The address of the program's web page, chosen when the program is built
// (QUAVELORIN_HOME_PAGE). Empty unless a packager names one; while it is empty no page is
// visited at exit and the About box names none.
class CHomePage {
public:
    static QString Address();
    // Replaces the built-in address for the rest of the process.
    static void SetAddress(const QString& address);
};
