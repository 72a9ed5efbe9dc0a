#include "HomePage.h"

#include "BuildSettings.h"

namespace {

QString& Current() {
    static QString address = QStringLiteral(QUAVELORIN_HOME_PAGE);
    return address;
}

} // namespace

QString CHomePage::Address() {
    return Current();
}

void CHomePage::SetAddress(const QString& address) {
    Current() = address;
}
