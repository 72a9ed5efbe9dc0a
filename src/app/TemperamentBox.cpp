#include "TemperamentBox.h"

#include "Doreme.h"
#include "ScalaFile.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QMessageBox>
#include <QSpinBox>

namespace {

// The item that opens the file dialog, after the built-ins and the files.
constexpr int kLoadItem = -1;

} // namespace

CTemperamentBox::CTemperamentBox(const CDoreme& doreme, QWidget* parent)
    : QGroupBox(tr("Temperament"), parent) {
    setObjectName("temperamentBox");
    m_pickFile = [this] {
        return QFileDialog::getOpenFileName(this, tr("Load a Scala file"), QString(),
                                            tr("Scala files (*.scl);;All files (*)"));
    };

    m_temperaments = new QComboBox(this);
    m_temperaments->setObjectName("temperamentCombo");
    for (const auto name : Temperament::kBuiltInNames) {
        const QString key = QString::fromUtf8(name.data(), static_cast<int>(name.size()));
        m_temperaments->addItem(DisplayName(key), key);
    }
    for (const TemperamentChoice& file : CTemperamentStore::ReadLoadedFiles()) {
        AddFile(file);
    }
    m_temperaments->addItem(tr("Load a Scala file..."), kLoadItem);

    // The current temperament, even when it is a file no longer among those loaded before.
    const TemperamentChoice stored = CTemperamentStore::Read();
    const QString current = QString::fromStdString(doreme.GetTemperament().Name());
    int index = m_temperaments->findData(current);
    if (index < 0) {
        index = AddFile({current, current == stored.name ? stored.content : QString(), 0, 0});
    }
    m_temperaments->setCurrentIndex(index);
    m_nCurrent = index;
    connect(m_temperaments, &QComboBox::activated, this, &CTemperamentBox::OnTemperamentChosen);
    connect(m_temperaments, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (m_temperaments->itemData(i) != kLoadItem) {
            m_nCurrent = i;
        }
    });

    m_roots = new QComboBox(this);
    m_roots->setObjectName("rootCombo");
    for (int root = 0; root < 12; ++root) {
        m_roots->addItem(QString::fromStdString(CDoreme::RootName(root)));
    }
    m_roots->setCurrentIndex(doreme.Root());

    m_transpose = new QSpinBox(this);
    m_transpose->setObjectName("transposeSpin");
    m_transpose->setRange(-CDoreme::kMaxTranspose, CDoreme::kMaxTranspose);
    m_transpose->setValue(doreme.Transpose());
    m_transpose->setToolTip(tr("Semitones the instrument sounds from the written note: -2 for "
                               "a B-flat clarinet, -9 for an E-flat alto saxophone"));

    auto* layout = new QFormLayout(this);
    layout->addRow(tr("Temperament"), m_temperaments);
    layout->addRow(tr("Root"), m_roots);
    layout->addRow(tr("Transpose"), m_transpose);
}

int CTemperamentBox::AddFile(const TemperamentChoice& file) {
    m_files.append(file);
    const int at = m_temperaments->findData(kLoadItem);
    const int index = at < 0 ? m_temperaments->count() : at;
    m_temperaments->insertItem(index, QFileInfo(file.name).fileName(), file.name);
    m_temperaments->setItemData(index, file.name, Qt::ToolTipRole);
    return index;
}

void CTemperamentBox::OnTemperamentChosen(int index) {
    if (m_temperaments->itemData(index) != kLoadItem) {
        m_nCurrent = index;
        return;
    }
    m_temperaments->setCurrentIndex(m_nCurrent); // until a file is accepted
    const QString path = m_pickFile ? m_pickFile() : QString();
    if (path.isEmpty()) {
        return;
    }
    QFile file(path);
    const QString content =
        file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    const auto result = ScalaFile::Parse(content.toStdString(), path.toStdString());
    if (!file.isOpen() || !result.scale) {
        const QString why = file.isOpen() ? QString::fromStdString(result.error)
                                          : path + QStringLiteral(":0: ") + file.errorString();
        QMessageBox box(QMessageBox::Warning, tr("Load a Scala file"),
                        tr("This file cannot be used as a temperament:\n%1").arg(why),
                        QMessageBox::Ok, this);
        box.setObjectName("scalaErrorBox");
        box.exec();
        return;
    }
    CTemperamentStore::AddLoadedFile(path, content);
    int at = m_temperaments->findData(path);
    if (at < 0) {
        at = AddFile({path, content, 0, 0});
    } else {
        for (TemperamentChoice& known : m_files) {
            if (known.name == path) {
                known.content = content;
            }
        }
    }
    m_temperaments->setCurrentIndex(at);
    m_nCurrent = at;
}

TemperamentChoice CTemperamentBox::Choice() const {
    TemperamentChoice choice;
    choice.name = m_temperaments->itemData(m_nCurrent).toString();
    for (const TemperamentChoice& file : m_files) {
        if (file.name == choice.name) {
            choice.content = file.content;
        }
    }
    choice.root = m_roots->currentIndex();
    choice.transpose = m_transpose->value();
    return choice;
}

void CTemperamentBox::Apply(CDoreme& doreme) const {
    const TemperamentChoice choice = Choice();
    TemperamentChoice kept = choice;
    if (auto temperament = CTemperamentStore::Resolve(choice)) {
        doreme.SetTemperament(*temperament, choice.root);
    } else {
        // A file that went bad since it was listed keeps the temperament there was.
        kept = CTemperamentStore::Read();
        kept.transpose = choice.transpose;
    }
    doreme.SetTranspose(choice.transpose);
    CTemperamentStore::Write(kept);
}

QString CTemperamentBox::DisplayName(const QString& name) {
    if (name == QLatin1String("equal")) {
        return tr("Equal temperament");
    }
    if (name == QLatin1String("pythagorean")) {
        return tr("Pythagorean");
    }
    if (name == QLatin1String("just")) {
        return tr("Just intonation");
    }
    if (name == QLatin1String("meantone")) {
        return tr("Quarter-comma meantone");
    }
    if (name == QLatin1String("werckmeister3")) {
        return tr("Werckmeister III");
    }
    if (name == QLatin1String("kirnberger3")) {
        return tr("Kirnberger III");
    }
    if (name == QLatin1String("vallotti")) {
        return tr("Vallotti");
    }
    if (name == QLatin1String("young2")) {
        return tr("Young II");
    }
    return QFileInfo(name).fileName();
}

QString CTemperamentBox::StatusText(const CDoreme& doreme) {
    QStringList parts;
    const Temperament& temperament = doreme.GetTemperament();
    if (!temperament.IsEqual()) {
        parts << tr("%1 on %2")
                     .arg(DisplayName(QString::fromStdString(temperament.Name())),
                          QString::fromStdString(CDoreme::RootName(doreme.Root())));
    }
    if (doreme.Transpose() != 0) {
        parts << tr("transposed %1").arg(doreme.Transpose());
    }
    return parts.join(QStringLiteral(", "));
}
