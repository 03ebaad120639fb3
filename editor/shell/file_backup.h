// Backups of the person's files: the first save over an existing file in a
// run of the program keeps the version it replaces as "NAME.dnf.bak". Later
// saves in the same run leave that backup alone, so it holds the file as it
// was before this run's changes.
#pragma once

#include <QSet>
#include <QString>

namespace lumora {

class TFileBackups {
public:
    enum class Result { Kept, NotNeeded, Failed };

    // Before saving over `path`: copies the existing file to BackupName(path)
    // unless this run has done so already. Failed: `error` says why.
    Result BeforeSave(const QString& path, QString& error);

    static QString BackupName(const QString& path) { return path + QStringLiteral(".bak"); }

private:
    QSet<QString> done_;  // the files backed up in this run
};

}  // namespace lumora
