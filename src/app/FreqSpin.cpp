#include "FreqSpin.h"

#include <QLineEdit>
#include <QLocale>

namespace {

bool IsNumber(const QString& text) {
    bool ok = false;
    QLocale::c().toDouble(text.trimmed(), &ok);
    return ok;
}

} // namespace

CFreqSpin::CFreqSpin(QWidget* parent) : QDoubleSpinBox(parent) {
    // "440.30" with a point whatever the user's locale, as every other number of the program.
    setLocale(QLocale::c());
    // Only what the user types: the box rewrites its own text when it takes or steps a value.
    connect(lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { m_bBadText = !IsNumber(text); });
}

QValidator::State CFreqSpin::validate(QString& input, int&) const {
    // Anything may be typed; what is taken is decided when the text is taken.
    return IsNumber(input) ? QValidator::Acceptable : QValidator::Intermediate;
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
