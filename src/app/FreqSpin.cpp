#include "FreqSpin.h"

#include <QLocale>

CFreqSpin::CFreqSpin(QWidget* parent) : QDoubleSpinBox(parent) {
    // "440.30" with a point whatever the user's locale, as every other number of the program.
    setLocale(QLocale::c());
}

QValidator::State CFreqSpin::validate(QString& input, int&) const {
    bool ok = false;
    QLocale::c().toDouble(input.trimmed(), &ok);
    m_bBadText = !ok;
    // Anything may be typed; what is taken is decided when the text is taken.
    return ok ? QValidator::Acceptable : QValidator::Intermediate;
}

double CFreqSpin::valueFromText(const QString& text) const {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? value : this->value();
}

void CFreqSpin::fixup(QString&) const {
    // Text that is no number stays for the dialog to refuse.
}

void CFreqSpin::stepBy(int steps) {
    m_bBadText = false; // the arrows replace whatever was typed
    QDoubleSpinBox::stepBy(steps);
}
