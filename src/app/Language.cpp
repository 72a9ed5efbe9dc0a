#include "Language.h"

#include "DataFiles.h"

#include <QFile>
#include <QLibraryInfo>

const char* const CLanguage::kChinese = "quavelorin_chn.qm";
const char* const CLanguage::kJapanese = "quavelorin_jpn.qm";

QString CLanguage::FileFor(const QLocale& locale) {
    switch (locale.language()) {
    case QLocale::Chinese:
        return QString::fromLatin1(kChinese);
    case QLocale::Japanese:
        return QString::fromLatin1(kJapanese);
    default:
        return {};
    }
}

QString CLanguage::Load(const QLocale& locale, const QStringList& folders) {
    Unload();
    const QString name = FileFor(locale);
    if (name.isEmpty()) {
        return {};
    }
    const QString path = CDataFiles::Find(name, folders);
    // Opened first, so a missing or unreadable file is reported in the system's own words.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return path + QStringLiteral("\n\n") + file.errorString();
    }
    file.close();
    if (!m_program.load(path)) {
        return path + QStringLiteral("\n\n") + tr("The file is damaged or is not a translation.");
    }
    // Simplified Chinese or Japanese throughout, whatever the region, as the program's own.
    const QString toolkit = locale.language() == QLocale::Chinese ? QStringLiteral("qtbase_zh_CN")
                                                                  : QStringLiteral("qtbase_ja");
    const bool haveToolkit =
        m_toolkit.load(toolkit, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    QCoreApplication::installTranslator(&m_program);
    if (haveToolkit) {
        QCoreApplication::installTranslator(&m_toolkit);
    }
    m_bLoaded = true;
    return {};
}

void CLanguage::Unload() {
    if (!m_bLoaded) {
        return;
    }
    QCoreApplication::removeTranslator(&m_toolkit);
    QCoreApplication::removeTranslator(&m_program);
    m_bLoaded = false;
}
