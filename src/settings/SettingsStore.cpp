#include "SettingsStore.h"

#include "InstrumentTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <cmath>

namespace {

QSettings Store() {
    return QSettings(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin"));
}

QString Key(const QString& section, const QString& name) {
    return section + '/' + name;
}

} // namespace

int CSettingsStore::ReadInt(const QString& section, const QString& name, int defaultValue) {
    bool ok = false;
    const int value = Store().value(Key(section, name), defaultValue).toInt(&ok);
    return ok ? value : defaultValue;
}

void CSettingsStore::WriteInt(const QString& section, const QString& name, int value) {
    Store().setValue(Key(section, name), value);
}

int CSettingsStore::ReadNumber(const QString& section, const QString& name, int defaultValue,
                               int min, int max) {
    bool ok = false;
    const double value = Store().value(Key(section, name), defaultValue).toDouble(&ok);
    if (!ok || std::isnan(value)) {
        return defaultValue;
    }
    return static_cast<int>(std::lround(std::clamp(value, double(min), double(max))));
}

double CSettingsStore::ReadFreqOfA4() {
    return ReadNumber(QStringLiteral("Setting"), QStringLiteral("FreqOfA4"), kDefaultFreqOfA4,
                      kMinFreqOfA4, kMaxFreqOfA4) *
           0.1;
}

void CSettingsStore::WriteFreqOfA4(double hz) {
    WriteInt(QStringLiteral("Setting"), QStringLiteral("FreqOfA4"),
             static_cast<int>(hz * 10.0 + 0.5));
}

QString CSettingsStore::ReadInputSource() {
    return Store().value(QStringLiteral("Setting/Input")).toString();
}

void CSettingsStore::WriteInputSource(const QString& name) {
    Store().setValue(QStringLiteral("Setting/Input"), name);
}

bool CSettingsStore::ReadPreciseAuto() {
    return ReadNumber(QStringLiteral("Setting"), QStringLiteral("PreciseAuto"), 0, 0, 1) != 0;
}

void CSettingsStore::WritePreciseAuto(bool on) {
    WriteInt(QStringLiteral("Setting"), QStringLiteral("PreciseAuto"), on ? 1 : 0);
}

int CSettingsStore::ReadSensitivity() {
    return ReadNumber(QStringLiteral("Setting"), QStringLiteral("Sensitivity"), kDefaultSensitivity,
                      kMinSensitivity, kMaxSensitivity);
}

void CSettingsStore::WriteSensitivity(int db) {
    WriteInt(QStringLiteral("Setting"), QStringLiteral("Sensitivity"), db);
}

bool CSettingsStore::ReadStrobe() {
    return ReadNumber(QStringLiteral("View"), QStringLiteral("Strobe"), 0, 0, 1) != 0;
}

void CSettingsStore::WriteStrobe(bool on) {
    WriteInt(QStringLiteral("View"), QStringLiteral("Strobe"), on ? 1 : 0);
}

std::optional<TunerTarget> CSettingsStore::ReadTunerTarget() {
    const QString section = QStringLiteral("User");
    constexpr int kMissing = -1;
    const int mode = ReadNumber(section, QStringLiteral("Mode"), kMissing, kMissing, 2);
    const int kind = ReadInt(section, QStringLiteral("TargetKind"), kMissing);
    const int value = ReadInt(section, QStringLiteral("Target"), kMissing);
    const bool note = kind == static_cast<int>(TunerTarget::Kind::Note) && value >= kNoteFirst &&
                      value <= kNoteLast;
    const bool instrument = kind == static_cast<int>(TunerTarget::Kind::Instrument) && value >= 0 &&
                            value < kInstrumentCount;
    if (mode == kMissing || !(note || instrument)) {
        return std::nullopt;
    }
    TunerTarget target;
    target.mode = static_cast<TunerTarget::Mode>(mode);
    target.kind = static_cast<TunerTarget::Kind>(kind);
    target.value = value;
    return target;
}

void CSettingsStore::WriteTunerTarget(const TunerTarget& target) {
    const QString section = QStringLiteral("User");
    WriteInt(section, QStringLiteral("Mode"), static_cast<int>(target.mode));
    WriteInt(section, QStringLiteral("TargetKind"), static_cast<int>(target.kind));
    WriteInt(section, QStringLiteral("Target"), target.value);
}

QString CSettingsStore::CheckAtStartUp() {
    QSettings store = Store();
    store.allKeys(); // parses the file
    if (store.status() == QSettings::FormatError) {
        const QString aside = store.fileName() + QStringLiteral(".unreadable");
        QFile::remove(aside);
        QFile::copy(store.fileName(), aside);
    }
    if (store.isWritable()) {
        return {};
    }
    return QCoreApplication::translate("CSettingsStore",
                                       "Quavelorin cannot write its settings to %1.\n"
                                       "It will run, but its settings will not be kept.")
        .arg(QFileInfo(store.fileName()).absolutePath());
}
