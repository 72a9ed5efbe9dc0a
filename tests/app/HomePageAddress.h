#pragma once

#include "HomePage.h"

// Gives the program `address` as its home page while it lives, then the build's one again.
class HomePageAddress {
public:
    explicit HomePageAddress(const QString& address) { CHomePage::SetAddress(address); }
    ~HomePageAddress() { CHomePage::SetAddress(m_previous); }

private:
    const QString m_previous = CHomePage::Address();
};
