#pragma once

#include <QString>
#include <QStringList>

// Where the program's own files (help page, translations) live: beside the executable in a
// build, and in <prefix>/share/quavelorin once installed. The executable's folder comes first.
class CDataFiles {
public:
    static QStringList Folders();
    // The first `name` found in `folders`, or where it belongs in the first of them when it
    // is in none (so a message can name it).
    static QString Find(const QString& name, const QStringList& folders = Folders());
};
