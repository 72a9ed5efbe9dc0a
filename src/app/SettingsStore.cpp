#include "SettingsStore.h"

#include <QSettings>

#include <algorithm>

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

double CSettingsStore::ReadFreqOfA4() {
    const int tenths =
        ReadInt(QStringLiteral("Setting"), QStringLiteral("FreqOfA4"), kDefaultFreqOfA4);
    return std::clamp(tenths * 0.1, CDoreme::kMinFreqA4, CDoreme::kMaxFreqA4);
}

void CSettingsStore::WriteFreqOfA4(double hz) {
    WriteInt(QStringLiteral("Setting"), QStringLiteral("FreqOfA4"),
             static_cast<int>(hz * 10.0 + 0.5));
}
