// File > Import > "Channel Files..." and "Tuning Table Folder...": other
// programs' channel files brought into the active document. The files are
// read (each recognised by its content), their orbital positions put on
// antennas in the position dialog, and the result merged through the merge
// dialog as one edit.
#include <QAction>
#include <QFileDialog>
#include <QFileInfo>

#include "compare_dock.h"
#include "frm_child.h"
#include "import_dialogs.h"
#include "import_formats.h"
#include "shell_text.h"
#include "ui_port.h"

namespace lumora {

void TCompareDock::MakeImportActions()
{
    ImportFilesAction = new QAction(tr("Channel &Files..."), this);
    ImportFilesAction->setObjectName(QStringLiteral("ImportChannelFiles"));
    ImportFilesAction->setStatusTip(
        tr("Bring in satellites.xml, cables.xml, dvbv5, tuning-table, VDR channels.conf or lamedb files"));
    ImportFolderAction = new QAction(tr("Tuning Table F&older..."), this);
    ImportFolderAction->setObjectName(QStringLiteral("ImportTableFolder"));
    ImportFolderAction->setStatusTip(tr("Bring in every initial-tuning table of a folder"));
    for (QAction* action : {ImportFilesAction, ImportFolderAction})
        connect(action, &QAction::triggered, this, [this, folder = action == ImportFolderAction] {
            TfrmChild* child = activeDocument_();
            if (!child || !child->EndCellEdit())
                return;
            const QStringList paths = AskImportPaths(folder);
            if (!paths.isEmpty())
                ImportFrom(child, paths);
        });
}

QStringList TCompareDock::AskImportPaths(bool folder)
{
    QFileDialog dialog(parentWidget(), folder ? tr("Import Tuning Table Folder") : tr("Import Channel Files"));
    dialog.setObjectName(QStringLiteral("ImportChannelDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (folder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setNameFilter(tr("All Files (*);;XML tuning lists (*.xml);;VDR and dvbv5 (*.conf *.channels *.dvbv5)"));
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

void TCompareDock::ImportFrom(TfrmChild* child, const QStringList& paths)
{
    TImportData data;
    for (const QString& path : paths)
        if (const Status read = ReadImportPath(PathBytes(path), data); !read) {
            ui_.MessageBox(MsgKind::Error, "Nothing was imported:\r" + read.message(), MsgButtons::Ok);
            return;
        }
    if (paths.size() > 1)
        data.name =
            PathBytes(QFileInfo(paths.constFirst()).fileName()) + " and " + std::to_string(paths.size() - 1) + " more";
    const ChannelDocument& doc = child->Document();
    TImportPlan plan;
    plan.cable = IsCableModel(doc.Settings().SystemInfo.MODEL);
    std::vector<TPositionChoice> choices =
        ProposeAntennas(data, plan, doc.Database(), doc.Settings(), LoadUserPositionTable());
    if (!choices.empty()) {
        TPositionDialog dialog(choices, doc.Database(), doc.Settings(), parentWidget());
        if (dialog.exec() != QDialog::Accepted)
            return;
        choices = dialog.Choices();
    }
    TImportSource source;
    if (const Status built = BuildImportSource(data, plan, choices, doc.Database(), doc.Settings(), source); !built) {
        std::string text = "Nothing was imported: " + built.message();
        for (std::size_t i = 0; i < source.dropped.size() && i < 20; ++i)
            text += "\r" + source.dropped[i];
        ui_.MessageBox(MsgKind::Warning, text, MsgButtons::Ok);
        return;
    }
    RunMergeDialog(child, source.Source());
}

}  // namespace lumora
