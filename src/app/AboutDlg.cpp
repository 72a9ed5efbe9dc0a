#include "AboutDlg.h"

#include "Artwork.h"
#include "HomePage.h"
#include "PageOpener.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Quavelorin"));
    setObjectName("aboutDialog");

    auto* banner = new QLabel(this);
    banner->setPixmap(AboutBanner());
    auto* version = new QLabel(tr("Quavelorin Version 3.0.0.1"), this);
    version->setObjectName("versionText");
    auto* credit = new QLabel(tr("Made by the Quavelorin developers at Pelorin"), this);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(banner, 0, 0);
    layout->addWidget(ok, 0, 1, Qt::AlignTop | Qt::AlignRight);
    layout->addWidget(version, 1, 0, 1, 2);
    layout->addWidget(credit, 2, 0, 1, 2);

    const QString page = CHomePage::Address();
    if (!page.isEmpty()) {
        auto* home = new QPushButton(page, this);
        home->setObjectName("homePageButton");
        home->setAutoDefault(false);
        connect(home, &QPushButton::clicked, this,
                [this, page] { CPageOpener::Open(QUrl(page), this); });
        layout->addWidget(home, 3, 0, 1, 2);
    }
}
