#pragma once

#include <QCoreApplication>
#include <QLocale>
#include <QString>
#include <QTranslator>

// The user interface in the system's language: Chinese of any script or region loads
// quavelorin_chn.qm, Japanese quavelorin_jpn.qm, each with the toolkit's own translations of
// its standard buttons and dialogs. Any other language loads nothing.
class CLanguage {
    Q_DECLARE_TR_FUNCTIONS(CLanguage)
public:
    static const char* const kChinese;
    static const char* const kJapanese;

    // The translation file for `locale`; empty when it asks for none.
    static QString FileFor(const QLocale& locale);

    CLanguage() = default;
    ~CLanguage() { Unload(); }
    CLanguage(const CLanguage&) = delete;
    CLanguage& operator=(const CLanguage&) = delete;

    // Installs the translations `locale` asks for, from the first of `folders` that holds
    // them. Returns what went wrong, naming the file with the system's text for the error;
    // empty when all is well or no language was asked for. Nothing is installed on failure.
    QString Load(const QLocale& locale, const QStringList& folders);
    // Takes the translations out again; nothing happens when none are in.
    void Unload();
    bool IsLoaded() const { return m_bLoaded; }

private:
    QTranslator m_program;
    QTranslator m_toolkit;
    bool m_bLoaded = false;
};
