#pragma once

#include "Temperament.h"

#include <QString>
#include <QStringList>

#include <optional>

class CDoreme;

// The temperament the user chose, as kept between runs.
struct TemperamentChoice {
    QString name;    // a built-in name ("werckmeister3"), or the path of a Scala file
    QString content; // the Scala file's text, so that a moved or deleted file still works
    int root = 0;    // a pitch class from C
    int transpose = 0;

    bool IsFile() const { return !name.isEmpty() && !Temperament::BuiltIn(name.toStdString()); }
};

// "Setting"/"Temperament", "TemperamentText", "Root" and "Transpose", and the Scala files loaded
// before ("ScalaFiles"). Values out of range are brought into it; a name that is neither built
// in nor a readable scale reads as equal temperament.
class CTemperamentStore {
public:
    static TemperamentChoice Read();
    static void Write(const TemperamentChoice& choice);

    // The Scala files loaded before, newest first, each with the content it had when loaded.
    static QList<TemperamentChoice> ReadLoadedFiles();
    static void AddLoadedFile(const QString& path, const QString& content);

    // The temperament a choice stands for: built in by name; a file read from its path when it
    // is there and sound, otherwise from the kept content. Nothing, with the reader's message
    // in error, when neither can be used.
    static std::optional<Temperament> Resolve(const TemperamentChoice& choice,
                                              QString* error = nullptr);

    // Lays the stored choice on doreme; equal temperament when it cannot be used.
    static void ApplyStored(CDoreme& doreme);
};
