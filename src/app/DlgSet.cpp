#include "DlgSet.h"

#include "Doreme.h"
#include "FreqSpin.h"
#include "SettingsStore.h"
#include "TemperamentBox.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

CDlgSet::CDlgSet(CDoreme& doreme, const std::vector<WaveSource>& sources, const QString& input,
                 QWidget* parent)
    : QDialog(parent), m_doreme(doreme), m_input(input) {
    setWindowTitle(tr("Set Parameters"));
    setObjectName("setParametersDialog");

    auto* group = new QGroupBox(tr("Frequency of A4"), this);
    m_spin = new CFreqSpin(group);
    m_spin->setObjectName("frequencySpin");
    m_spin->setDecimals(2);
    m_spin->setRange(kSpinLow * 0.1, kSpinHigh * 0.1);
    m_spin->setSingleStep(0.1);
    m_spin->setWrapping(false);
    auto* unit = new QLabel(tr("Hz"), group);
    auto* groupLayout = new QHBoxLayout(group);
    groupLayout->addWidget(m_spin);
    groupLayout->addWidget(unit);

    auto* inputGroup = new QGroupBox(tr("Input"), this);
    m_inputs = new QComboBox(inputGroup);
    m_inputs->setObjectName("inputCombo");
    m_inputs->addItem(tr("Default"), QString());
    for (const WaveSource& source : sources) {
        m_inputs->addItem(source.description, QString::fromStdString(source.name));
    }
    if (!input.isEmpty() && m_inputs->findData(input) < 0) {
        m_inputs->addItem(input, input);
    }
    m_inputs->setCurrentIndex(std::max(0, m_inputs->findData(input)));
    auto* inputLayout = new QHBoxLayout(inputGroup);
    inputLayout->addWidget(m_inputs);

    auto* sensitivityGroup = new QGroupBox(tr("Sensitivity"), this);
    m_sensitivity = new QSpinBox(sensitivityGroup);
    m_sensitivity->setObjectName("sensitivitySpin");
    m_sensitivity->setRange(CSettingsStore::kMinSensitivity, CSettingsStore::kMaxSensitivity);
    m_sensitivity->setSuffix(tr(" dB"));
    m_sensitivity->setToolTip(tr("Quieter sound than this is not measured"));
    auto* sensitivityLayout = new QHBoxLayout(sensitivityGroup);
    sensitivityLayout->addWidget(m_sensitivity);
    SetSensitivity(CSettingsStore::kDefaultSensitivity);
    connect(m_sensitivity, &QSpinBox::valueChanged, this,
            [this](int value) { m_nSensitivity = value; });

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDlgSet::accept);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(inputGroup);
    m_temperament = new CTemperamentBox(doreme, this);
    layout->addWidget(m_temperament);
    layout->addWidget(sensitivityGroup);
    layout->addWidget(ok);

    // The spin starts at the reference in whole tenths, kept inside its range.
    const int position =
        std::clamp(static_cast<int>(m_doreme.FreqA4() * 10.0 + 0.5), kSpinLow, kSpinHigh);
    m_spin->setValue(position * 0.1);
    m_dFreq = m_spin->value();
    connect(m_spin, &QDoubleSpinBox::valueChanged, this, [this](double value) { m_dFreq = value; });
}

QDoubleSpinBox* CDlgSet::Spin() const {
    return m_spin;
}

void CDlgSet::SetSensitivity(int db) {
    m_sensitivity->setValue(db);
    m_nSensitivity = m_sensitivity->value();
}

void CDlgSet::accept() {
    m_spin->interpretText();
    if (m_spin->HasBadText()) {
        QMessageBox box(QMessageBox::Warning, windowTitle(), tr("Please enter a number."),
                        QMessageBox::Ok, this);
        box.setObjectName("notANumberBox");
        box.exec();
        m_spin->setFocus();
        m_spin->selectAll();
        return;
    }
    m_dFreq = m_spin->value(); // a typed number, brought within the range
    QDialog::accept();
    m_temperament->Apply(m_doreme);
    m_doreme.SetFreqA4(m_dFreq);
    m_input = m_inputs->currentData().toString();
}
