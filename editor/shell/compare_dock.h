// File > "Compare With..." and File > "Merge From...". Compare lists the
// differences between the active document and a file in a dock, grouped by
// table with the counts in the group titles; activating a service row shows
// the service in the document. Merge opens the merge dialog on a file and
// applies its choice to the active document as one edit.
#pragma once

#include <QDockWidget>
#include <QPointer>
#include <functional>

#include "database_compare.h"
#include "database_file.h"
#include "database_merge.h"

class QAction;
class QTreeWidget;
class QTreeWidgetItem;

namespace lumora {

class TfrmChild;
class UiPort;

class TCompareDock : public QDockWidget {
    Q_OBJECT
public:
    TCompareDock(std::function<TfrmChild*()> activeDocument, UiPort& ui, QWidget* parent);

    QAction* CompareAction = nullptr;  // File > "Compare With..."
    QAction* MergeAction = nullptr;  // File > "Merge From..."
    QAction* ImportFilesAction = nullptr;  // File > Import > "Channel Files..."
    QAction* ImportFolderAction = nullptr;  // File > Import > "Tuning Table Folder..."
    QTreeWidget* List = nullptr;  // one group a table, one row a difference

    // Compares `child` with the file at `path` and shows the list.
    void CompareWith(TfrmChild* child, const QString& path);
    // Opens the merge dialog on the file at `path` for `child`.
    void MergeFrom(TfrmChild* child, const QString& path);
    // Reads other programs' channel files (or folders of tuning tables) at
    // `paths`, asks which antenna each orbital position goes to, then opens
    // the merge dialog on them for `child` (import_flow.cpp).
    void ImportFrom(TfrmChild* child, const QStringList& paths);

private:
    // A File menu action that asks for a file and runs `command` on the
    // active document with it.
    QAction* MakeFileAction(const QString& text, const QString& name, const QString& tip, const QString& title,
                            void (TCompareDock::*command)(TfrmChild*, const QString&));
    QString AskSourceFile(const QString& title, const QString& objectName);
    // Reads the file as the editor opens one; false after showing why not.
    bool ReadSource(TfrmChild* child, const QString& path, TDatabaseFile& file);
    // The merge dialog on `source`, its merge as one edit, then the report.
    void RunMergeDialog(TfrmChild* child, const TMergeSource& source);
    void MakeImportActions();
    QStringList AskImportPaths(bool folder);
    void ListDifferences();
    void ActivateItem(QTreeWidgetItem* item);

    std::function<TfrmChild*()> activeDocument_;
    UiPort& ui_;
    QPointer<TfrmChild> child_;  // the document the list is about
    QMetaObject::Connection closedConnection_;
    TCompareReport report_;
};

}  // namespace lumora
