#include "recovery_store.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>

namespace lumora {

namespace {

constexpr const char* kLockName = "session.lock";
constexpr const char* kIndexName = "index.ini";

QString CaptionKey(int number) { return QStringLiteral("copies/%1").arg(number); }

// The copies of the session folder `session`, in their numbers' order.
QList<TRecoveredCopy> CopiesIn(const QString& session)
{
    QList<TRecoveredCopy> copies;
    QSettings index(session + QLatin1Char('/') + QLatin1String(kIndexName), QSettings::IniFormat);
    index.beginGroup(QStringLiteral("copies"));
    QList<int> numbers;
    for (const QString& key : index.childKeys())
        numbers << key.toInt();
    std::sort(numbers.begin(), numbers.end());
    for (int number : numbers) {
        const QString file = session + QStringLiteral("/%1.dnf").arg(number);
        if (const QFileInfo info(file); info.exists())
            copies << TRecoveredCopy{file, index.value(QString::number(number)).toString(), info.lastModified()};
    }
    return copies;
}

}  // namespace

TRecoveryStore::TRecoveryStore(const QString& folder) : folder_(folder)
{
    if (folder.isEmpty())
        return;
    const QString name =
        QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch());
    const QString session = folder + QLatin1Char('/') + name;
    if (!QDir().mkpath(session))
        return;  // no copies this run; the documents themselves are untouched
    lock_ = std::make_unique<QLockFile>(session + QLatin1Char('/') + QLatin1String(kLockName));
    lock_->setStaleLockTime(0);  // only a dead owner frees a lock
    if (lock_->tryLock(0))
        session_ = session;
}

TRecoveryStore::~TRecoveryStore() = default;

QString TRecoveryStore::DefaultFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/recovery");
}

QString TRecoveryStore::CopyFile(int number) const { return session_ + QStringLiteral("/%1.dnf").arg(number); }

void TRecoveryStore::Register(int number, const QString& caption)
{
    QSettings index(session_ + QLatin1Char('/') + QLatin1String(kIndexName), QSettings::IniFormat);
    index.setValue(CaptionKey(number), caption);
}

void TRecoveryStore::Remove(int number)
{
    if (!Enabled())
        return;
    QFile::remove(CopyFile(number));
    QSettings index(session_ + QLatin1Char('/') + QLatin1String(kIndexName), QSettings::IniFormat);
    index.remove(CaptionKey(number));
}

void TRecoveryStore::RemoveSession()
{
    if (!Enabled())
        return;
    lock_->unlock();
    QDir(session_).removeRecursively();
    session_.clear();
}

QList<TRecoveredCopy> TRecoveryStore::LeftOver(QStringList& sessions) const
{
    QList<TRecoveredCopy> copies;
    if (folder_.isEmpty())
        return copies;
    const QDir folder(folder_);
    for (const QString& name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString session = folder.filePath(name);
        if (session == session_)
            continue;
        QLockFile lock(session + QLatin1Char('/') + QLatin1String(kLockName));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;  // another running program's copies
        lock.unlock();
        sessions << session;
        copies << CopiesIn(session);
    }
    return copies;
}

void TRecoveryStore::RemoveFolders(const QStringList& sessions)
{
    for (const QString& session : sessions)
        QDir(session).removeRecursively();
}

QString RecoveredCaption(const QString& caption)
{
    return QFileInfo(caption).completeBaseName() + QStringLiteral(" (recovered).dnf");
}

}  // namespace lumora
