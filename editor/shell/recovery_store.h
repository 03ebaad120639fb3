// Recovery copies of modified documents. Each run of the program keeps its
// copies in a session folder of its own under the recovery folder in the
// per-user data folder, held by a lock file while the program runs:
//   <recovery>/<session>/session.lock
//   <recovery>/<session>/index.ini     copy number -> the document's caption
//   <recovery>/<session>/<n>.dnf       the copy, written as Save writes a file
// A clean exit removes its session folder. A folder whose lock is free at the
// next start was left by a program that ended without that: a crash.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>

class QLockFile;

namespace lumora {

// A copy left by an earlier run.
struct TRecoveredCopy {
    QString file;  // the .dnf copy
    QString caption;  // the document's full path or generated name then
    QDateTime written;  // when the copy was last written
};

class TRecoveryStore {
public:
    // Copies go below `folder`; an empty folder keeps no copies.
    explicit TRecoveryStore(const QString& folder);
    ~TRecoveryStore();

    // The per-user folder the program uses.
    static QString DefaultFolder();

    bool Enabled() const { return !session_.isEmpty(); }
    // Where copy `number` goes; the index then names it after `caption`.
    QString CopyFile(int number) const;
    void Register(int number, const QString& caption);
    void Remove(int number);
    // A clean exit: this run's copies go.
    void RemoveSession();

    // The copies of runs that ended without a clean exit, with the folders
    // they lie in (to be removed once the person has decided).
    QList<TRecoveredCopy> LeftOver(QStringList& sessions) const;
    static void RemoveFolders(const QStringList& sessions);

private:
    QString folder_;
    QString session_;  // this run's folder; empty: no copies
    std::unique_ptr<QLockFile> lock_;
};

// "Übersicht (recovered).dnf" for "/data/Übersicht.dnf".
QString RecoveredCaption(const QString& caption);

}  // namespace lumora
