// The service grid's fixed "INDEX" column, driven with real clicks and keys
// on the document window holding the sample database: it stays at the left
// when the grid scrolls sideways, it never holds the current cell, and a sort
// asked for with the fixed or the provider column current changes nothing.
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "frm_child.h"
#include "grid/k_string_grid.h"
#include "main_window_support.h"
#include "qt_ui_port.h"

using namespace lumora;
using lumora::test::LoadSample;

namespace {
void Click(QWidget* viewport, const QRect& cell) { QTest::mouseClick(viewport, Qt::LeftButton, {}, cell.center()); }

std::vector<std::string> ServiceNames(ChannelDocument& doc)
{
    std::vector<std::string> names;
    for (int r = 0; r < doc.ServiceCount(); ++r)
        names.push_back(doc.Service(r).szServiceName);
    return names;
}
}  // namespace

class GridFixedColumnTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TApplicationState> app_;
    std::unique_ptr<QtUiPort> ui_;
    std::unique_ptr<TfrmChild> child_;

    TfrmChild* OpenSample()
    {
        app_ = std::make_unique<TApplicationState>();
        ui_ = std::make_unique<QtUiPort>(nullptr, app_.get());
        child_ = std::make_unique<TfrmChild>(*app_, *ui_);
        child_->setAttribute(Qt::WA_DeleteOnClose, false);
        LoadSample(*child_, dir_.path());
        child_->SyncView();
        child_->resize(800, 400);  // the grid scrolls both ways
        child_->show();
        return child_.get();
    }

private slots:
    void cleanup()
    {
        if (child_)
            child_->Document().MarkSaved();
        child_.reset();
        ui_.reset();
        app_.reset();
    }

    void fixedColumnStaysAtTheLeftWhenScrolledRight()
    {
        TkStringGrid* grid = OpenSample()->SG;
        QScrollBar* sideways = grid->horizontalScrollBar();
        QScrollBar* down = grid->verticalScrollBar();
        QVERIFY(sideways->maximum() > 0 && down->maximum() > 0);
        sideways->setValue(sideways->maximum());
        down->setValue(down->maximum());
        QVERIFY(grid->columnViewportPosition(kColIndex) < 0);  // the grid's own column 0 is gone

        // The left edge of the cells shows the fixed column, with one header
        // as tall as the grid's and the rows at the grid's heights.
        QTableView* fixed = grid->FixedColumnView();
        const QRect cells = grid->viewport()->geometry();
        QVERIFY(fixed->isVisible());
        QCOMPARE(fixed->geometry().left(), cells.left());
        QCOMPARE(fixed->width(), grid->columnWidth(kColIndex));
        QCOMPARE(fixed->horizontalHeader()->height(), grid->horizontalHeader()->height());
        QCOMPARE(fixed->geometry().top(), grid->horizontalHeader()->geometry().top());
        QCOMPARE(grid->childAt(cells.topLeft() + QPoint(4, cells.height() / 2)), fixed->viewport());
        const int row = grid->rowAt(cells.height() / 2);
        QCOMPARE(fixed->rowViewportPosition(row), grid->rowViewportPosition(row));
        QCOMPARE(fixed->rowHeight(row), grid->rowHeight(row));
        QCOMPARE(fixed->indexAt(QPoint(4, cells.height() / 2)), grid->model()->index(row, kColIndex));
    }

    void fixedColumnNeverBecomesCurrent()
    {
        TfrmChild* child = OpenSample();
        TkStringGrid* grid = child->SG;
        const TServiceGrid& sg = child->Document().SG;
        // A click on the fixed cell of row 4 selects row 4; the column stays.
        Click(grid->viewport(), grid->visualRect(grid->CellIndex(kColPmtPID, 2)));
        Click(grid->FixedColumnView()->viewport(), grid->FixedColumnView()->visualRect(grid->CellIndex(kColIndex, 4)));
        QCOMPARE(grid->currentIndex(), grid->CellIndex(kColPmtPID, 4));
        QCOMPARE(std::make_tuple(sg.Col(), sg.Row(), sg.Selection().Top, sg.Selection().Bottom),
                 std::make_tuple(int(kColPmtPID), 4, 4, 4));

        // Left from the name column, Home and Ctrl+Home stop at the name column.
        Click(grid->viewport(), grid->visualRect(grid->CellIndex(kColName, 3)));
        QTest::keyClick(grid, Qt::Key_Left);
        QCOMPARE(grid->currentIndex(), grid->CellIndex(kColName, 3));
        QTest::keyClick(grid, Qt::Key_End);
        QTest::keyClick(grid, Qt::Key_Home);
        QCOMPARE(grid->currentIndex(), grid->CellIndex(kColName, 3));
        QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(grid->currentIndex(), grid->CellIndex(kColName, 1));
        // Shift+Tab from there goes on to the last column of the row above.
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Backtab);
        QCOMPARE(grid->currentIndex(), grid->CellIndex(kColRI, 1));
        // Code that points at the fixed column moves only the row.
        grid->setCurrentIndex(grid->CellIndex(kColIndex, 5));
        QCOMPARE(grid->currentIndex(), grid->CellIndex(kColRI, 5));
        QCOMPARE(std::make_pair(sg.Col(), sg.Row()), std::make_pair(int(kColRI), 5));
    }

    void sortWithFixedOrProviderColumnCurrentKeepsTheOrder()
    {
        TfrmChild* child = OpenSample();
        TkStringGrid* grid = child->SG;
        ChannelDocument& doc = child->Document();
        const std::vector<std::string> before = ServiceNames(doc);
        const QModelIndex provider = grid->CellIndex(kColProvider, 2);
        grid->scrollTo(provider);
        Click(grid->viewport(), grid->visualRect(provider));
        doc.SG.SetCurrent(kColIndex, 3);  // the document is told the fixed column
        QCOMPARE(grid->currentIndex(), grid->CellIndex(kColProvider, 3));
        QCOMPARE(doc.SG.Col(), int(kColProvider));
        QTest::mouseClick(child->BtnSortA, Qt::LeftButton);
        QVERIFY(ServiceNames(doc) == before);
        QVERIFY(!child->isWindowModified());

        // The same button sorts by the name column.
        const QModelIndex name = grid->CellIndex(kColName, 2);
        grid->scrollTo(name);
        Click(grid->viewport(), grid->visualRect(name));
        QTest::mouseClick(child->BtnSortA, Qt::LeftButton);
        QVERIFY(ServiceNames(doc) != before);
    }
};

QTEST_MAIN(GridFixedColumnTest)
#include "grid_fixed_column_test.moc"
