#include "TemperamentStore.h"

#include "Doreme.h"
#include "ScalaFile.h"

#include <QSettings>

#include <algorithm>

namespace {

constexpr int kMaxLoadedFiles = 8;

QSettings Store() {
    return QSettings(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin"));
}

int ReadBounded(QSettings& store, const QString& key, int low, int high) {
    bool ok = false;
    const int value = store.value(key, 0).toInt(&ok);
    return ok ? std::clamp(value, low, high) : 0;
}

} // namespace

TemperamentChoice CTemperamentStore::Read() {
    QSettings store = Store();
    TemperamentChoice choice;
    choice.name = store.value(QStringLiteral("Setting/Temperament")).toString();
    choice.content = store.value(QStringLiteral("Setting/TemperamentText")).toString();
    choice.root = ReadBounded(store, QStringLiteral("Setting/Root"), 0, 11);
    choice.transpose = ReadBounded(store, QStringLiteral("Setting/Transpose"),
                                   -CDoreme::kMaxTranspose, CDoreme::kMaxTranspose);
    return choice;
}

void CTemperamentStore::Write(const TemperamentChoice& choice) {
    QSettings store = Store();
    store.setValue(QStringLiteral("Setting/Temperament"), choice.name);
    store.setValue(QStringLiteral("Setting/TemperamentText"),
                   choice.IsFile() ? choice.content : QString());
    store.setValue(QStringLiteral("Setting/Root"), choice.root);
    store.setValue(QStringLiteral("Setting/Transpose"), choice.transpose);
}

QList<TemperamentChoice> CTemperamentStore::ReadLoadedFiles() {
    QSettings store = Store();
    QList<TemperamentChoice> files;
    const int count = store.beginReadArray(QStringLiteral("ScalaFiles"));
    for (int i = 0; i < std::min(count, kMaxLoadedFiles); ++i) {
        store.setArrayIndex(i);
        TemperamentChoice file;
        file.name = store.value(QStringLiteral("Path")).toString();
        file.content = store.value(QStringLiteral("Text")).toString();
        if (file.IsFile()) {
            files.append(file);
        }
    }
    store.endArray();
    return files;
}

void CTemperamentStore::AddLoadedFile(const QString& path, const QString& content) {
    QList<TemperamentChoice> files = ReadLoadedFiles();
    files.removeIf([&](const TemperamentChoice& file) { return file.name == path; });
    files.prepend({path, content, 0, 0});
    QSettings store = Store();
    store.beginWriteArray(QStringLiteral("ScalaFiles"));
    for (int i = 0; i < std::min<int>(files.size(), kMaxLoadedFiles); ++i) {
        store.setArrayIndex(i);
        store.setValue(QStringLiteral("Path"), files[i].name);
        store.setValue(QStringLiteral("Text"), files[i].content);
    }
    store.endArray();
}

std::optional<Temperament> CTemperamentStore::Resolve(const TemperamentChoice& choice,
                                                      QString* error) {
    if (choice.name.isEmpty()) {
        return Temperament();
    }
    const std::string name = choice.name.toStdString();
    if (auto builtIn = Temperament::BuiltIn(name)) {
        return builtIn;
    }
    auto result = ScalaFile::Load(name);
    if (!result.scale && !choice.content.isEmpty()) {
        result = ScalaFile::Parse(choice.content.toStdString(), name);
    }
    if (!result.scale) {
        if (error) {
            *error = QString::fromStdString(result.error);
        }
        return std::nullopt;
    }
    return Temperament::FromScala(*result.scale, name);
}

void CTemperamentStore::ApplyStored(CDoreme& doreme) {
    const TemperamentChoice choice = Read();
    doreme.SetTemperament(Resolve(choice).value_or(Temperament()), choice.root);
    doreme.SetTranspose(choice.transpose);
}
