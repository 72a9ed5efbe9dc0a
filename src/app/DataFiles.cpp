#include "DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QStringList CDataFiles::Folders() {
    const QDir bin(QCoreApplication::applicationDirPath());
    return {bin.path(), QDir::cleanPath(bin.filePath(QStringLiteral("../share/quavelorin")))};
}

QString CDataFiles::Find(const QString& name, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo::exists(path)) {
            return path;
        }
    }
    return QDir(folders.value(0)).filePath(name);
}
