// Drives the real document window on the sample database: the tree and grid
// adapters under QAbstractItemModelTester, name editing with extended bytes
// through the grid's own editor, the general error handler on a bad number,
// the service menu, TV/RADIO and the close query.
#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "frm_child.h"
#include "grid/k_edit_inplace.h"
#include "grid/k_string_grid.h"
#include "main_window_support.h"
#include "modal_answers.h"
#include "qt_ui_port.h"
#include "tree_model.h"

using namespace lumora;
using lumora::test::LoadSample;
using lumora::test::ModalAnswers;

namespace {
const std::string kExtendedName = "\x86NEWS\x87 24";
}

class ChildWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TApplicationState> app_;
    std::unique_ptr<QtUiPort> ui_;
    QPointer<TfrmChild> child_;

    // A document window holding the sample database, as a load leaves it.
    TfrmChild* OpenSample()
    {
        child_ = new TfrmChild(*app_, *ui_);
        LoadSample(*child_, dir_.path());
        child_->Document().Caption = "sample.dnf";
        child_->SyncView();
        child_->show();
        return child_;
    }

    // Grid row (1-based) showing real index r.
    static int RowOf(TfrmChild* child, int r)
    {
        const TServiceGrid& sg = child->Document().SG;
        for (int row = 1; row < sg.RowCount(); ++row)
            if (sg.Cell(kColRI, row) == std::to_string(r))
                return row;
        return -1;
    }

    static TkEditInplace* StartNameEdit(TfrmChild* child, int row)
    {
        const QModelIndex cell = child->SG->CellIndex(kColName, row);
        child->SG->setCurrentIndex(cell);
        child->SG->edit(cell);
        return child->SG->findChild<TkEditInplace*>();
    }

    static QLineEdit* OpenLineEditor(TfrmChild* child)
    {
        for (QLineEdit* edit : child->SG->viewport()->findChildren<QLineEdit*>())
            if (edit->isVisible())
                return edit;
        return nullptr;
    }

private slots:
    void init()
    {
        app_ = std::make_unique<TApplicationState>();
        ui_ = std::make_unique<QtUiPort>(nullptr, app_.get());
    }
    void cleanup()
    {
        if (child_) {
            child_->Document().MarkSaved();
            delete child_;
        }
        ui_.reset();
        app_.reset();
    }

    void adaptersPassTheModelTester()
    {
        TfrmChild* child = OpenSample();
        QAbstractItemModelTester gridTester(child->SG->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester treeTester(child->Tree1->model(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        ChannelDocument& doc = child->Document();
        // Rebuilds, selections, added and removed nodes all go through the testers.
        doc.SelectNode(doc.Tree1.FindRoot("Transport Stream")->Child(0));
        doc.FR1Click(false);
        doc.UpdateTree();
        TTreeNode* providers = doc.Tree1.FindRoot("Provider");
        doc.SelectNode(providers);
        ModalAnswers answers;
        child->AddInformation1Click();
        QCOMPARE(doc.Tree1.Selected()->Caption, std::string("(USER PROVIDER)"));
        child->DeleteInformation1Click();
        QCOMPARE(answers.unexpected, 0);
    }

    void treeShowsTheDocumentsNodesAndSelection()
    {
        TfrmChild* child = OpenSample();
        QAbstractItemModel* tree = child->Tree1->model();
        QCOMPARE(tree->index(0, 0).data().toString(), QStringLiteral("All Service"));
        QCOMPARE(tree->index(0, 0).data(TTreeModel::TagRole).toUInt(), 0x2000000u);
        QCOMPARE(child->Label1->text(), QStringLiteral("All Service"));
        QVERIFY(child->Label1->font().bold());
        // Selecting a stream in the view filters the grid and sets the label.
        const QModelIndex streams = tree->index(2, 0);
        QCOMPARE(streams.data().toString(), QStringLiteral("Transport Stream"));
        const int allRows = child->SG->model()->rowCount();
        child->Tree1->setCurrentIndex(tree->index(0, 0, streams));
        QCOMPARE(child->Label1->text(), tree->index(0, 0, streams).data().toString());
        QVERIFY(child->SG->model()->rowCount() < allRows);
    }

    void gridShowsCellsWithoutExtendedBytes()
    {
        TfrmChild* child = OpenSample();
        child->Document().Service(0).szServiceName = kExtendedName;
        child->Document().RefreshServiceGrid();
        const int row = RowOf(child, 0);
        const QModelIndex cell = child->SG->CellIndex(kColName, row);
        QCOMPARE(cell.data(Qt::DisplayRole).toString(), QStringLiteral("NEWS 24"));
        QCOMPARE(cell.data(Qt::EditRole).toString(), QString::fromLatin1(kExtendedName.c_str()));
        QCOMPARE(cell.data(Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::Alignment(Qt::AlignCenter));
        QCOMPARE(child->SG->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("INDEX"));
        QVERIFY(child->SG->model()->headerData(1, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        QVERIFY(!(child->SG->model()->flags(child->SG->CellIndex(kColRI, row)) & Qt::ItemIsEditable));
    }

    void nameEditKeepsExtendedBytes()
    {
        TfrmChild* child = OpenSample();
        child->Document().Service(0).szServiceName = kExtendedName;
        child->Document().RefreshServiceGrid();
        TkEditInplace* editor = StartNameEdit(child, RowOf(child, 0));
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral(" NEWS  24"));
        QCOMPARE(editor->selectedText(), editor->text());

        // Copy of a selection holding an extended byte carries the stored byte.
        editor->setSelection(0, 2);
        QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromLatin1("\x86N"));

        // Type at the end, delete one byte, undo the deletion.
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClicks(editor, "X");
        QTest::keyClick(editor, Qt::Key_Home);
        QTest::keyClick(editor, Qt::Key_Right);
        QTest::keyClick(editor, Qt::Key_Delete);  // removes "N"
        QCOMPARE(editor->GetText(), std::string("\x86"
                                                "EWS\x87 24X"));
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor->GetText(), kExtendedName + "X");
        // Paste the copied stored bytes at the end.
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(editor->text(), QStringLiteral(" NEWS  24X N"));
        QTest::keyClick(editor, Qt::Key_Return);

        QCOMPARE(child->Document().Service(0).szServiceName, kExtendedName + "X\x86N");
        QVERIFY(child->isWindowModified());
        QCOMPARE(child->SG->CellIndex(kColName, RowOf(child, 0)).data().toString(), QStringLiteral("NEWS 24XN"));
    }

    // A name typed into one cell rewrites that row; the grid is not rebuilt.
    void singleCellEditUpdatesItsRowWithoutReset()
    {
        TfrmChild* child = OpenSample();
        const int row = RowOf(child, 0);
        const std::string name = child->Document().Service(0).szServiceName;
        QSignalSpy resets(child->SG->model(), &QAbstractItemModel::modelReset);
        QSignalSpy changes(child->SG->model(), &QAbstractItemModel::dataChanged);
        const QModelIndex cell = child->SG->CellIndex(kColName, row);
        QTest::mouseClick(child->SG->viewport(), Qt::LeftButton, {}, child->SG->visualRect(cell).center());
        QTest::keyClick(child->SG, Qt::Key_F2);
        TkEditInplace* editor = child->SG->findChild<TkEditInplace*>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClicks(editor, "Z");
        QTest::keyClick(editor, Qt::Key_Return);

        QCOMPARE(child->Document().Service(0).szServiceName, name + "Z");
        QCOMPARE(resets.count(), 0);
        QVERIFY(!changes.isEmpty());
        QCOMPARE(child->SG->CellIndex(kColName, row).data().toString(), QString::fromLatin1((name + "Z").c_str()));
        QCOMPARE(child->Document().UndoLabel(), std::string("Edit Service Name"));
        // Undo and redo of that edit rewrite the same row, again without a rebuild.
        for (const std::string& shown : {name, name + "Z"}) {
            shown == name ? child->Undo() : child->Redo();
            QCOMPARE(child->SG->CellIndex(kColName, row).data().toString(), QString::fromLatin1(shown.c_str()));
        }
        QCOMPARE(resets.count(), 0);
    }

    void nameBoxKeepsBytesThroughDropsAndLineEditCommands()
    {
        // Drops arrive only during a real drag; the box's handler is called directly.
        struct DropTarget : TkEdit {
            using TkEdit::dropEvent;
        } edit;
        edit.resize(300, 30);
        edit.show();
        edit.SetText(kExtendedName);
        // A drop at the end inserts the dropped text there.
        QMimeData data;
        data.setText(QString::fromLatin1("\x87!"));
        QDropEvent drop(QPointF(290, 15), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        edit.dropEvent(&drop);
        QCOMPARE(edit.GetText(), kExtendedName + "\x87!");
        QCOMPARE(edit.text(), QStringLiteral(" NEWS  24 !"));
        // Commands the line edit carries out itself (here: delete the word
        // before the caret) keep the stored bytes outside the changed part.
        edit.setCursorPosition(5);
        QTest::keyClick(&edit, Qt::Key_Backspace, Qt::ControlModifier);
        QCOMPARE(edit.GetText(), std::string("\x86\x87 24\x87!"));
        // Cut removes the selection and puts the stored bytes on the clipboard.
        edit.setSelection(0, 2);
        QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromLatin1("\x86\x87"));
        QCOMPARE(edit.GetText(), std::string(" 24\x87!"));
        // Backspace at the start and Delete at the end change nothing.
        edit.setCursorPosition(0);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        edit.setCursorPosition(int(edit.text().size()));
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(edit.GetText(), std::string(" 24\x87!"));
    }

    void typingOverTheSelectionStoresExactlyTheTypedName()
    {
        TfrmChild* child = OpenSample();
        const int row = RowOf(child, 0);
        child->SG->setCurrentIndex(child->SG->CellIndex(kColName, row));
        child->SG->setFocus();
        QTest::keyClicks(child->SG, "Z");  // any key starts the edit over the whole text
        auto* editor = child->SG->findChild<TkEditInplace*>();
        QVERIFY(editor);
        QTest::keyClicks(editor, "ed One");
        QTest::keyClick(editor, Qt::Key_Down);  // leaves the cell and ends the edit
        QCOMPARE(child->Document().Service(0).szServiceName, std::string("Zed One"));
        QCOMPARE(child->Document().SG.Row(), row + 1);
    }

    void badNumberIsShownAndTheProgramGoesOn()
    {
        TfrmChild* child = OpenSample();
        const int row = RowOf(child, 0);
        const uint16_t audio = child->Document().Service(0).wAudioPID;
        const QModelIndex video = child->SG->CellIndex(kColVideoPID, row);
        child->SG->setCurrentIndex(video);
        child->SG->edit(video);
        auto* editor = OpenLineEditor(child);
        QVERIFY(editor);
        editor->setText("12x");
        ModalAnswers answers;
        answers.MessageBox(QMessageBox::Ok);
        QTest::keyClick(editor, Qt::Key_Return);
        // The line edit hands Enter on after the event: the write-back follows.
        QTRY_COMPARE(answers.seenTexts, QStringList{"'12x' is not a valid integer value"});
        QVERIFY(!child->isWindowModified());  // the name left of it was stored unchanged: nothing changed
        QCOMPARE(child->Document().Service(0).wAudioPID, audio);  // right of the bad cell: unchanged

        // The next edit works as usual: 70000 keeps its low 16 bits.
        child->SG->edit(video);
        editor = OpenLineEditor(child);
        QVERIFY(editor);
        editor->setText("70000");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(int(child->Document().Service(0).wVideoPID), 4464);
    }

    void dropDownCellsOfferTheDocumentsLists()
    {
        TfrmChild* child = OpenSample();
        const int row = RowOf(child, 0);
        const QModelIndex lock = child->SG->CellIndex(kColLock, row);
        child->SG->setCurrentIndex(lock);
        child->SG->edit(lock);
        auto* combo = child->SG->findChild<QComboBox*>("CellComboBox");
        QVERIFY(combo);
        QCOMPARE(combo->count(), 2);
        combo->setCurrentIndex(combo->findText("TRUE"));
        QTest::keyClick(combo, Qt::Key_Tab);
        QVERIFY(child->Document().Service(0).bParentLock);
    }

    void serviceMenuFollowsTheTables()
    {
        TfrmChild* child = OpenSample();
        ChannelDocument& doc = child->Document();
        child->SGMouseDown(Qt::LeftButton, QPoint());
        QCOMPARE(child->ChangeTSMenu->actions().size(), int(doc.Database().TSInfo.wTSNum));
        QCOMPARE(child->ChangeTSMenu->actions()[0]->objectName(), QStringLiteral("A0"));
        QCOMPARE(child->ChangeNetworkMenu->actions().size(), int(doc.Database().NetworkInfo.wNetworkNum));
        QVERIFY(child->Paste1->isEnabled());  // "All Service" is selected
        QVERIFY(!child->AddInformation2->isEnabled());

        // Reassign the first listed service to stream 1 through the submenu.
        child->SG->setCurrentIndex(child->SG->CellIndex(kColName, 1));
        const int r = std::stoi(doc.SG.Cell(kColRI, 1));
        child->ChangeTSMenu->actions()[1]->trigger();
        QCOMPARE(doc.Service(r).pTSIndex, 1);
    }

    void clipboardKeysCopyAndPasteServices()
    {
        TfrmChild* child = OpenSample();
        ChannelDocument& doc = child->Document();
        const int before = doc.ServiceCount();
        child->SG->setCurrentIndex(child->SG->CellIndex(kColName, 2));
        child->SG->setFocus();
        QTest::keyClick(child->SG, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(app_->ServiceClipboard.wServiceNum, 1);
        QTest::keyClick(child->SG, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(doc.ServiceCount(), before + 1);
        QVERIFY(child->isWindowModified());
    }

    void radioButtonsSwitchTheListedType()
    {
        TfrmChild* child = OpenSample();
        const int tvRows = child->SG->model()->rowCount();
        child->FR2->click();
        QCOMPARE(int(child->Document().DisplayMode()), 1);
        QCOMPARE(child->SG->model()->rowCount(), int(child->Document().Database().ServiceInfo.wRadioNum));
        QVERIFY(child->SG->model()->rowCount() != tvRows);
        QCOMPARE(child->Label1->text(), QStringLiteral("All Service"));
    }

    void closeQueryOnlyForModifiedDocuments()
    {
        TfrmChild* child = OpenSample();
        ModalAnswers answers;
        child->Document().Edit("Change PIN", [&] { ++child->Document().Database().MenuConfigItem.nPINCode; });
        answers.MessageBox(QMessageBox::Cancel);
        QVERIFY(!child->close());
        QVERIFY(child->isVisible());
        answers.MessageBox(QMessageBox::Ok);
        QVERIFY(child->close());
        QCOMPARE(answers.unexpected, 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(child_.isNull());  // the window frees itself
    }
};

QTEST_MAIN(ChildWindowTest)
#include "child_window_test.moc"
