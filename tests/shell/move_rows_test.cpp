// Moving services in the grid with the mouse and the keyboard: rows dragged
// on the viewport and moved with Ctrl+Down land where they were put, the
// favorite lists keep naming their services, the selection follows the rows,
// and Ctrl+Z takes each move back as one edit.
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "frm_child.h"
#include "frm_main.h"
#include "grid/k_string_grid.h"
#include "main_window_support.h"
#include "service_numbering.h"

using namespace lumora;
using namespace lumora::test;

namespace {

// The names every favorite entry names, list by list.
std::vector<std::string> FavoriteNames(const ChannelDocument& doc)
{
    const TChannelDatabase& db = doc.Database();
    const TServiceNumbering numbering(db, NumberingOf(db, doc.FlashType()));
    std::vector<std::string> names;
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l) {
            for (int k = 0; k < db.FavoriteInfo[g][l].wIndexNum; ++k) {
                const int r = numbering.ServiceOfKey(g, db.FavoriteInfo[g][l].Index[std::size_t(k)]);
                names.push_back(r < 0 ? "?" : db.ServiceInfo.pServiceInfo[std::size_t(r)].szServiceName);
            }
            names.push_back("|");
        }
    return names;
}

QPoint CellCenter(TfrmChild* doc, int col, int row)
{
    return doc->SG->visualRect(doc->SG->CellIndex(col, row)).center();
}

// `order` lists old grid rows (1-based) top to bottom; the rest follow unchanged.
std::vector<std::string> Reordered(const std::vector<std::string>& names, const std::vector<int>& order)
{
    std::vector<std::string> result;
    for (const int row : order)
        result.push_back(names[std::size_t(row - 1)]);
    result.insert(result.end(), names.begin() + long(order.size()), names.end());
    return result;
}

}  // namespace

class MoveRowsTest : public QObject {
    Q_OBJECT

private slots:
    void draggedAndKeyedRowsMoveAsOneEditEach()
    {
        QTemporaryDir dir;
        std::unique_ptr<TfrmMain> window;
        TfrmChild* doc = OpenSampleInMainWindow(dir.path(), QStringLiteral("move.dnf"), window);
        QVERIFY(doc);
        QWidget* cells = doc->SG->viewport();
        const std::vector<std::string> opened = GridNames(doc);
        const std::vector<std::string> favorites = FavoriteNames(doc->Document());
        QCOMPARE(opened.size() > 10, true);

        // Select rows 2..4, then drag them by row 3 onto the upper half of row 8.
        QTest::mouseClick(cells, Qt::LeftButton, {}, CellCenter(doc, kColName, 2));
        QTest::mouseClick(cells, Qt::LeftButton, Qt::ShiftModifier, CellCenter(doc, kColName, 4));
        QCOMPARE(doc->Document().SG.Selection().Bottom, 4);
        const QPoint from = CellCenter(doc, kColName, 3);
        const QRect target = doc->SG->visualRect(doc->SG->CellIndex(kColName, 8));
        QTest::mousePress(cells, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 5; ++step)
            QTest::mouseMove(cells, from + (target.topLeft() + QPoint(20, 2) - from) * step / 5);
        QTest::mouseRelease(cells, Qt::LeftButton, {}, target.topLeft() + QPoint(20, 2));

        const std::vector<std::string> dragged = Reordered(opened, {1, 5, 6, 7, 2, 3, 4});
        QVERIFY(GridNames(doc) == dragged);
        QCOMPARE(doc->Document().SG.Selection().Top, 5);
        QCOMPARE(doc->Document().SG.Selection().Bottom, 7);
        QCOMPARE(window->EditUndo->text(), QStringLiteral("&Undo Move 3 services"));
        QVERIFY(FavoriteNames(doc->Document()) == favorites);

        // Ctrl+Down moves the same rows one place further.
        QTest::keyClick(doc->SG, Qt::Key_Down, Qt::ControlModifier);
        QVERIFY(GridNames(doc) == Reordered(opened, {1, 5, 6, 7, 8, 2, 3, 4}));
        QCOMPARE(doc->Document().SG.Selection().Top, 6);
        QVERIFY(FavoriteNames(doc->Document()) == favorites);

        // One Ctrl+Z takes back one move.
        QTest::keyClick(doc->SG, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(GridNames(doc) == dragged);
        QTest::keyClick(doc->SG, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(GridNames(doc) == opened);
        QVERIFY(!doc->isWindowModified());

        // One row is dragged by its INDEX cell, in the fixed column.
        QTest::mouseClick(cells, Qt::LeftButton, {}, CellCenter(doc, kColName, 1));
        QWidget* index = doc->SG->FixedColumnView()->viewport();
        const QRect first = doc->SG->FixedColumnView()->visualRect(doc->SG->CellIndex(kColIndex, 1));
        const QRect third = doc->SG->FixedColumnView()->visualRect(doc->SG->CellIndex(kColIndex, 3));
        QTest::mousePress(index, Qt::LeftButton, {}, first.center());
        QTest::mouseMove(index, (first.center() + third.topLeft()) / 2);
        QTest::mouseMove(index, third.topLeft() + QPoint(5, 2));
        QTest::mouseRelease(index, Qt::LeftButton, {}, third.topLeft() + QPoint(5, 2));
        QVERIFY(GridNames(doc) == Reordered(opened, {2, 1}));
        QCOMPARE(doc->Document().SG.Selection().Top, 2);
        QTest::keyClick(doc->SG, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(GridNames(doc) == opened);

        // In favorite list A, Ctrl+Down reorders the list itself.
        QAbstractItemModel* tree = doc->Tree1->model();
        const QModelIndexList roots = tree->match(tree->index(0, 0), Qt::DisplayRole, QStringLiteral("Favorite"));
        QCOMPARE(roots.size(), 1);
        doc->Tree1->expand(roots.first());
        const QRect listA = doc->Tree1->visualRect(tree->index(0, 0, roots.first()));
        QTest::mouseClick(doc->Tree1->viewport(), Qt::LeftButton, {}, listA.center());
        const std::vector<std::string> list = GridNames(doc);
        QVERIFY(list.size() >= 2 && list[0] != list[1]);
        QTest::mouseClick(cells, Qt::LeftButton, {}, CellCenter(doc, kColName, 1));
        QTest::keyClick(doc->SG, Qt::Key_Down, Qt::ControlModifier);
        QVERIFY(GridNames(doc) == Reordered(list, {2, 1}));
        QCOMPARE(doc->Document().SG.Selection().Top, 2);
        QCOMPARE(window->EditUndo->text(), QStringLiteral("&Undo Move 1 service"));
        QTest::keyClick(doc->SG, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(GridNames(doc) == list);
    }
};

QTEST_MAIN(MoveRowsTest)
#include "move_rows_test.moc"
