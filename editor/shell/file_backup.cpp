#include "file_backup.h"

#include <QFile>
#include <QFileInfo>

#include "atomic_file.h"
#include "shell_text.h"

namespace lumora {

namespace {

// Copies `from` to `to` whole or not at all: an old backup is replaced only
// by a complete new one.
bool CopyWhole(const QString& from, const QString& to, QString& error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        error = source.errorString();
        return false;
    }
    const QByteArray content = source.readAll();
    const std::string target = PathBytes(to);
    const Status written =
        WriteFileAtomically(target, std::string_view(content.constData(), std::size_t(content.size())));
    if (!written)
        error = QString::fromLocal8Bit(SystemReasonOf(written, target));
    return written.ok();
}

}  // namespace

TFileBackups::Result TFileBackups::BeforeSave(const QString& path, QString& error)
{
    const QString key = QFileInfo(path).absoluteFilePath();
    if (done_.contains(key) || !QFileInfo::exists(path))
        return Result::NotNeeded;
    if (!CopyWhole(path, BackupName(path), error))
        return Result::Failed;
    done_.insert(key);
    return Result::Kept;
}

}  // namespace lumora
