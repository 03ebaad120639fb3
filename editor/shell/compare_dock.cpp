#include "compare_dock.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeWidget>

#include "document_merge.h"
#include "frm_child.h"
#include "grid/k_string_grid.h"
#include "merge_dialog.h"
#include "service_numbering.h"
#include "shell_text.h"
#include "ui_port.h"

namespace lumora {

namespace {

constexpr int kDifferenceRole = Qt::UserRole;  // the difference's position in the report

QString GroupTitle(TTable table, const TTableCounts& counts)
{
    static const char* const kTitles[kTableCount] = {"Antennas", "Transport streams", "Networks", "Providers",
                                                     "Services", "Favorites",         "Menu"};
    QStringList parts;
    auto part = [&parts](int n, const char* what) {
        if (n > 0)
            parts << QStringLiteral("%1 %2").arg(n).arg(QLatin1String(what));
    };
    part(counts.added, "added");
    part(counts.removed, "removed");
    part(counts.changed, table == TTable::Favorite ? "changed or moved" : "changed");
    return QStringLiteral("%1: %2").arg(QLatin1String(kTitles[std::size_t(table)]), parts.join(QStringLiteral(", ")));
}

}  // namespace

TCompareDock::TCompareDock(std::function<TfrmChild*()> activeDocument, UiPort& ui, QWidget* parent)
    : QDockWidget(tr("Differences"), parent), activeDocument_(std::move(activeDocument)), ui_(ui)
{
    setObjectName(QStringLiteral("CompareDock"));
    CompareAction = MakeFileAction(tr("Compare &With..."), QStringLiteral("FileCompareWith"),
                                   tr("List the differences between the active document and another file"),
                                   tr("Compare With"), &TCompareDock::CompareWith);
    MergeAction = MakeFileAction(tr("&Merge From..."), QStringLiteral("FileMergeFrom"),
                                 tr("Bring a chosen part of another file into the active document"), tr("Merge From"),
                                 &TCompareDock::MergeFrom);
    MakeImportActions();
    List = new QTreeWidget(this);
    List->setHeaderHidden(true);
    connect(List, &QTreeWidget::itemActivated, this, &TCompareDock::ActivateItem);
    setWidget(List);
}

QAction* TCompareDock::MakeFileAction(const QString& text, const QString& name, const QString& tip,
                                      const QString& title, void (TCompareDock::*command)(TfrmChild*, const QString&))
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setStatusTip(tip);
    connect(action, &QAction::triggered, this, [this, name, title, command] {
        TfrmChild* child = activeDocument_();
        if (!child || !child->EndCellEdit())
            return;
        // The dialog's name is the action's, "FileMergeFrom" -> "MergeFromDialog".
        const QString path = AskSourceFile(title, name.mid(4) + QStringLiteral("Dialog"));
        if (!path.isEmpty())
            (this->*command)(child, path);
    });
    return action;
}

QString TCompareDock::AskSourceFile(const QString& title, const QString& objectName)
{
    QFileDialog dialog(parentWidget(), title);
    dialog.setObjectName(objectName);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(tr("Channel data (*.dnf *.DNF);;Interchange text (*.txt);;All Files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool TCompareDock::ReadSource(TfrmChild* child, const QString& path, TDatabaseFile& file)
{
    const TApplicationState& app = child->Document().App();
    const std::string bytes = PathBytes(path);
    std::unique_ptr<ConversionLibrary> library;
    if (IsDnfFileName(bytes))
        library = std::make_unique<ConversionLibrary>(ConversionLibraryPath(app.ConversionLibraryPath));
    const TReadResult read =
        ReadDatabaseFile(bytes, child->Document().FlashType(), library.get(), app.ExchangeDir, file);
    if (read.outcome == TReadOutcome::Read)
        return true;
    ui_.MessageBox(MsgKind::Error, "Cannot read " + bytes + ":\r" + read.error, MsgButtons::Ok);
    return false;
}

void TCompareDock::CompareWith(TfrmChild* child, const QString& path)
{
    TDatabaseFile file;
    if (!ReadSource(child, path, file))
        return;
    const ChannelDocument& doc = child->Document();
    const TNumbering theirs = file.numbering ? NumberingFor(*file.numbering) : NumberingOf(*file.db, doc.FlashType());
    report_ = CompareDatabases({doc.Database(), NumberingOf(doc.Database(), doc.FlashType())}, {*file.db, theirs},
                               IdentityRulesOf(doc.Settings()));
    disconnect(closedConnection_);
    // Differences of a closed document name nothing any more.
    closedConnection_ = connect(child, &QObject::destroyed, this, [this] {
        report_ = {};
        List->clear();
    });
    child_ = child;
    setWindowTitle(tr("Differences: %1 and %2").arg(child->Caption(), QFileInfo(path).fileName()));
    ListDifferences();
    show();
    raise();
}

void TCompareDock::ListDifferences()
{
    List->clear();
    std::vector<QTreeWidgetItem*> groups(kTableCount, nullptr);
    for (std::size_t i = 0; i < report_.differences.size(); ++i) {
        const TDifference& d = report_.differences[i];
        QTreeWidgetItem*& group = groups[std::size_t(d.table)];
        if (!group)
            group = new QTreeWidgetItem(List, {GroupTitle(d.table, report_.Counts(d.table))});
        for (const std::string& line : DifferenceLines(d)) {
            auto* item = new QTreeWidgetItem(group, {NameText(line)});
            item->setData(0, kDifferenceRole, int(i));
        }
    }
    if (report_.Equal())
        new QTreeWidgetItem(List, {tr("No differences")});
    List->expandAll();
}

void TCompareDock::ActivateItem(QTreeWidgetItem* item)
{
    if (!item || !child_ || !item->data(0, kDifferenceRole).isValid())
        return;
    const TDifference& d = report_.differences[std::size_t(item->data(0, kDifferenceRole).toInt())];
    ChannelDocument& doc = child_->Document();
    // A service the document has: the one removed or changed (added ones are only in the file).
    if (d.table != TTable::Service || d.indexA < 0 || d.indexA >= doc.ServiceCount())
        return;
    TFinding place;
    place.nodeTag = MakeTag(kKindAllService, 0);
    place.viewType = doc.Service(d.indexA).ServiceType;
    place.service = d.indexA;
    child_->Run([this, &place] { child_->Document().ShowFinding(place); });
    if (auto* window = child_->parentWidget())
        window->activateWindow();
    child_->SG->setFocus();
}

void TCompareDock::MergeFrom(TfrmChild* child, const QString& path)
{
    TDatabaseFile file;
    if (!ReadSource(child, path, file))
        return;
    const ChannelDocument& doc = child->Document();
    RunMergeDialog(child,
                   TMergeSource{*file.db,
                                file.numbering ? NumberingFor(*file.numbering) : NumberingOf(*file.db, doc.FlashType()),
                                PathBytes(QFileInfo(path).fileName()), file.loadErrors});
}

void TCompareDock::RunMergeDialog(TfrmChild* child, const TMergeSource& source)
{
    ChannelDocument& doc = child->Document();
    const TIdentityRules rules = IdentityRulesOf(doc.Settings());
    TMergeDialog dialog({doc.Database(), NumberingOf(doc.Database(), doc.FlashType())}, source, rules, doc.Settings(),
                        parentWidget());
    if (dialog.exec() != QDialog::Accepted)
        return;
    TMergeReport report;
    child->Run([&] { report = doc.MergeFrom(source, dialog.Options(), rules); });
    std::string text = report.Fits() ? MergeEditLabel(report, source.name) + ":" : std::string("Nothing was merged:");
    // An import of a whole folder notes thousands of skipped entries: the box
    // shows the counts and the first notes (lumora-cli import prints them all).
    constexpr std::size_t kLinesShown = 40;
    const std::vector<std::string> lines = MergeReportLines(report);
    for (std::size_t i = 0; i < lines.size() && i < kLinesShown; ++i)
        text += "\r" + lines[i];
    if (lines.size() > kLinesShown)
        text += "\r... and " + std::to_string(lines.size() - kLinesShown) + " more lines";
    ui_.MessageBox(report.Fits() ? MsgKind::Information : MsgKind::Warning, text, MsgButtons::Ok);
}

}  // namespace lumora
