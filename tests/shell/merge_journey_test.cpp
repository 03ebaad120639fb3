// A person merges the streams of one antenna from a second file into a new
// document through File > "Merge From...": picks the file, checks the antenna
// in the dialog's tree with the mouse, reads the count, presses Merge, reads
// the report, compares the result with a copy of the file in which one of
// those services changed and double-clicks that difference to see the
// service in the grid, and takes the whole merge back with one Ctrl+Z.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "compare_dock.h"
#include "frm_child.h"
#include "frm_main.h"
#include "grid/k_string_grid.h"
#include "main_window_support.h"
#include "merge_dialog.h"
#include "modal_answers.h"

using namespace lumora;
using namespace lumora::test;

class MergeJourneyTest : public QObject {
    Q_OBJECT

private slots:
    void oneAntennasStreamsAreMergedAndUndoneAsOneEdit()
    {
        QTemporaryDir dir;
        auto window = StartMainWindow(dir.filePath(QStringLiteral("LV32.cfg")),
                                      "[SYSTEMINFO]\r\nMODEL=0\r\nCOMPORT=0\r\n", LibraryPath());
        window->NewFile->trigger();
        TfrmChild* doc = window->ActiveDocument();
        QVERIFY(doc);
        const TChannelDatabase before = doc->Document().Database();

        ModalAnswers answers;
        answers.FileDialog(QString::fromUtf8(LUMORA_EXAMPLES_DIR "/sample.txt"));
        QString counts;
        answers.Push([&counts](QWidget* w) {
            auto* dialog = qobject_cast<TMergeDialog*>(w);
            QVERIFY(dialog);
            QVERIFY(!dialog->MergeButton->isEnabled());  // nothing checked yet
            QCOMPARE(dialog->Tree->topLevelItemCount(), 2);
            QTreeWidgetItem* antenna = dialog->Tree->topLevelItem(1);
            QVERIFY(antenna->text(0).startsWith(QStringLiteral("Antenna 2:")));
            ClickCheckBox(dialog->Tree, antenna);
            QCOMPARE(antenna->checkState(0), Qt::Checked);
            QTRY_VERIFY(dialog->MergeButton->isEnabled());
            counts = dialog->Counts->text();
            QTest::mouseClick(dialog->MergeButton, Qt::LeftButton);
        });
        answers.MessageBox(QMessageBox::Ok);
        window->CompareDock->MergeAction->trigger();
        QTRY_COMPARE(answers.Pending(), 0);
        QCOMPARE(answers.unexpected, 0);

        QVERIFY2(counts.contains(QStringLiteral("transport streams: 16 added, 0 updated")), qPrintable(counts));
        const TChannelDatabase& merged = doc->Document().Database();
        QCOMPARE(merged.TSInfo.wTSNum, 16);
        for (int t = 0; t < merged.TSInfo.wTSNum; ++t)
            QCOMPARE(merged.TSInfo.Info[std::size_t(t)].wAntennaIndex, 1);
        const QString label = QStringLiteral("Merge %1 services from sample.txt").arg(merged.ServiceInfo.Count());
        QVERIFY2(answers.seenTexts.last().startsWith(label), qPrintable(answers.seenTexts.last()));
        QCOMPARE(window->EditUndo->text(), QStringLiteral("&Undo ") + label);

        QByteArray changed = ReadAll(QString::fromUtf8(LUMORA_EXAMPLES_DIR "/sample.txt"));
        const QByteArray lyric = "519\t520\t519\t0\tFALSE\tFALSE\tFALSE\t37\t0\tLyric HD 5";
        QVERIFY(changed.contains(lyric));
        changed.replace(lyric, "519\t521\t519\t0\tFALSE\tFALSE\tFALSE\t37\t0\tLyric HD 5");
        const QString changedPath = dir.filePath(QStringLiteral("changed.txt"));
        QFile file(changedPath);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(changed) == changed.size());
        file.close();
        answers.FileDialog(changedPath);
        window->CompareDock->CompareAction->trigger();
        QTRY_VERIFY(window->CompareDock->isVisible());
        const QList<QTreeWidgetItem*> rows =
            window->CompareDock->List->findItems(QStringLiteral("service changed: \"Lyric HD 5\" wAudioPID 520 -> 521"),
                                                 Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(rows.size(), 1);
        QVERIFY(rows[0]->parent()->text(0).startsWith(QStringLiteral("Services: ")));
        QVERIFY(rows[0]->parent()->text(0).endsWith(QStringLiteral(" added, 1 changed")));
        QTreeWidget* list = window->CompareDock->List;
        list->scrollToItem(rows[0]);  // the added services come first
        const QPoint row = list->visualItemRect(rows[0]).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
        QTRY_COMPARE(doc->Document().Label1Caption, std::string("All Service"));
        QCOMPARE(doc->Document().SG.Cell(kColName, doc->Document().SG.Row()), std::string("Lyric HD 5"));

        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : static_cast<QWidget*>(window.get()), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(doc->Document().Database() == before);
        QVERIFY(!window->EditUndo->isEnabled());
    }
};

QTEST_MAIN(MergeJourneyTest)
#include "merge_journey_test.moc"
