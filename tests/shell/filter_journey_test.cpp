// Finding services with the filter box on the real main window: Ctrl+F and
// typing narrow the grid and the label counts the rows; Escape lists them all
// again; Ctrl+X on rows picked with the mouse in the filtered grid removes
// exactly those services, and one undo brings them back; Ctrl+H replaces a
// text in the names of the listed services only, and the filter then finds
// the new accented names ignoring their case; in a favorite list, a filtered
// Delete removes exactly the shown entries.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "dialogs/frm_finding.h"
#include "frm_child.h"
#include "frm_main.h"
#include "grid/k_string_grid.h"
#include "main_window_support.h"
#include "modal_answers.h"

using namespace lumora;
using namespace lumora::test;

namespace {

std::vector<std::string> TableNames(TfrmChild* doc)
{
    std::vector<std::string> names;
    for (int32_t r = 0; r < doc->Document().ServiceCount(); ++r)
        names.push_back(doc->Document().Service(r).szServiceName);
    return names;
}

// Types `text` as a keyboard would; the Latin-1 letters beyond ASCII come as
// the key of their capital (Qt::Key_Eacute) with the letter as text.
void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
}

bool AllContain(const std::vector<std::string>& names, const std::string& part)
{
    for (const std::string& name : names)
        if (name.find(part) == std::string::npos)
            return false;
    return !names.empty();
}

}  // namespace

class FilterJourneyTest : public QObject {
    Q_OBJECT

private slots:
    void filteredRowsAreTheOnesCommandsChange()
    {
        QTemporaryDir dir;
        std::unique_ptr<TfrmMain> window;
        TfrmChild* doc = OpenSampleInMainWindow(dir.path(), QStringLiteral("filter.dnf"), window);
        QVERIFY(doc);
        const std::vector<std::string> opened = GridNames(doc);
        const std::vector<std::string> openedTable = TableNames(doc);
        const int all = int(opened.size());
        QVERIFY(all > 100);
        QCOMPARE(doc->Label1->text(), QStringLiteral("All Service"));
        // A key to the widget with the focus, in the active main window.
        auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : doc->SG, k, m);
        };

        // Ctrl+F, then typing: only names containing the text, any case.
        ClickCell(doc, kColName, 1);
        key(Qt::Key_F);
        QCOMPARE(QApplication::focusWidget(), doc->FilterBox);
        QTest::keyClicks(doc->FilterBox, QStringLiteral("nOVa"));
        std::vector<std::string> shown = GridNames(doc);
        QCOMPARE(int(shown.size()), 14);
        QVERIFY(AllContain(shown, "Nova"));
        QCOMPARE(doc->Label1->text(), QStringLiteral("All Service (14 of %1 shown)").arg(all));
        QVERIFY(!doc->BtnSortA->isEnabled() && !doc->BtnSortZ->isEnabled());
        // A number: service id 303, and two services with PMT PID 303.
        QTest::keyClick(doc->FilterBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(doc->FilterBox, QStringLiteral("303"));
        QVERIFY((GridNames(doc) == std::vector<std::string>{"Nova Kids", "Ember Plus", "Atlas Arts"}));

        // Escape: every row again.
        key(Qt::Key_Escape, {});
        QVERIFY(doc->FilterBox->text().isEmpty());
        QVERIFY(GridNames(doc) == opened);
        QCOMPARE(doc->Label1->text(), QStringLiteral("All Service"));
        QVERIFY(doc->BtnSortA->isEnabled());

        // Rows 2 to 4 of the filtered grid, cut with Ctrl+X.
        QTest::keyClicks(doc->FilterBox, QStringLiteral("kids"));
        shown = GridNames(doc);
        QCOMPARE(int(shown.size()), 12);
        std::vector<std::string> expected = openedTable;
        for (int row = 2; row <= 4; ++row) {
            const int r = std::stoi(doc->Document().SG.Cell(kColRI, row));
            expected.erase(expected.begin() + (r - (row - 2)));  // earlier picks moved the rest up
        }
        ClickCell(doc, kColName, 2);
        ClickCell(doc, kColName, 4, Qt::ShiftModifier);
        key(Qt::Key_X);
        QVERIFY(TableNames(doc) == expected);
        QCOMPARE(int(GridNames(doc).size()), 9);
        QCOMPARE(doc->Label1->text(), QStringLiteral("All Service (9 of %1 shown)").arg(all - 3));
        QCOMPARE(window->EditUndo->text(), QStringLiteral("&Undo Cut 3 services"));
        key(Qt::Key_Z);
        QVERIFY(TableNames(doc) == openedTable);
        QVERIFY(GridNames(doc) == shown);
        QVERIFY(!doc->isWindowModified());

        // Ctrl+H on the 9 listed "Summit" services: "Kids" becomes "Eclat" (E acute)
        // in their names only, not in the other services' names.
        QTest::keyClick(doc->FilterBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(doc->FilterBox, QStringLiteral("summit"));
        QCOMPARE(int(GridNames(doc).size()), 9);
        ModalAnswers answers;
        answers.Push([](QWidget* w) {
            auto* dialog = qobject_cast<TfrmReplaceNames*>(w);
            QVERIFY(dialog);
            QTest::keyClicks(dialog->FindEdit, QStringLiteral("Kids"));
            TypeText(dialog->ReplaceEdit, QString::fromUtf8("\u00C9clat"));
            QTest::mouseClick(dialog->AllListed, Qt::LeftButton);
            QTest::keyClick(dialog->ReplaceEdit, Qt::Key_Return);
        });
        ClickCell(doc, kColName, 1);
        key(Qt::Key_H);
        QTRY_COMPARE(answers.Pending(), 0);
        QCOMPARE(window->EditUndo->text(), QStringLiteral("&Undo Replace in 2 names"));
        std::vector<std::string> replaced = openedTable;
        for (std::string& name : replaced)
            if (name == "Summit Kids" || name == "Summit Kids 2")
                name.replace(7, 4,
                             "\xC9"
                             "clat");
        QVERIFY(TableNames(doc) == replaced);
        // The filter folds the case of Latin-1 letters too.
        doc->FilterBox->setFocus();
        QTest::keyClick(doc->FilterBox, Qt::Key_A, Qt::ControlModifier);
        TypeText(doc->FilterBox, QString::fromUtf8("\u00E9CLAT"));
        QVERIFY((GridNames(doc) == std::vector<std::string>{"Summit \xC9"
                                                            "clat",
                                                            "Summit \xC9"
                                                            "clat 2"}));
        QCOMPARE(doc->Label1->text(), QStringLiteral("All Service (2 of %1 shown)").arg(all));

        // Favorite list A, filtered: the service menu's Delete takes exactly
        // the shown entries out of the list, wherever they stand in it.
        QAbstractItemModel* tree = doc->Tree1->model();
        QModelIndex favorites;
        for (int row = 0; row < tree->rowCount(); ++row)
            if (tree->index(row, 0).data().toString() == QStringLiteral("Favorite"))
                favorites = tree->index(row, 0);
        doc->Tree1->expand(favorites);
        const QModelIndex listA = tree->index(0, 0, favorites);
        QTest::mouseClick(doc->Tree1->viewport(), Qt::LeftButton, {}, doc->Tree1->visualRect(listA).center());
        QCOMPARE(doc->Document().Tree1.Selected()->Caption, std::string("A"));
        key(Qt::Key_F);
        key(Qt::Key_Escape, {});
        const std::vector<std::string> listNames = GridNames(doc);
        QCOMPARE(int(listNames.size()), 12);
        const TFavoriteItem listBefore = doc->Document().Database().FavoriteInfo[0][0];
        TypeText(doc->FilterBox, QStringLiteral("hd"));
        const std::vector<std::string> hd = GridNames(doc);
        QVERIFY((hd == std::vector<std::string>{"Summit HD", "Vista HD 2"}));  // entries 5 and 11
        QCOMPARE(doc->Label1->text(), QStringLiteral("A (%1 of 12 shown)").arg(hd.size()));
        std::vector<std::string> remaining;
        for (const std::string& name : listNames)
            if (std::find(hd.begin(), hd.end(), name) == hd.end())
                remaining.push_back(name);
        ClickCell(doc, kColName, 1);
        ClickCell(doc, kColName, int(hd.size()), Qt::ShiftModifier);
        const QRect last = doc->SG->visualRect(doc->SG->CellIndex(kColName, int(hd.size())));
        QTest::mouseClick(doc->SG->viewport(), Qt::RightButton, {}, last.center());
        QTRY_VERIFY(doc->PopupMenu2->isVisible());
        QTest::mouseClick(doc->PopupMenu2, Qt::LeftButton, {},
                          doc->PopupMenu2->actionGeometry(doc->DeleteInformation2).center());
        QCOMPARE(doc->Label1->text(), QStringLiteral("A (0 of %1 shown)").arg(remaining.size()));
        key(Qt::Key_F);
        key(Qt::Key_Escape, {});
        QVERIFY(GridNames(doc) == remaining);
        QVERIFY(TableNames(doc) == replaced);  // the services themselves stay
        ClickCell(doc, kColName, 1);  // in the filter box, Ctrl+Z would take back typing
        key(Qt::Key_Z);
        QVERIFY(doc->Document().Database().FavoriteInfo[0][0] == listBefore);
        QVERIFY(GridNames(doc) == listNames);
        QCOMPARE(answers.unexpected, 0);
    }
};

QTEST_MAIN(FilterJourneyTest)
#include "filter_journey_test.moc"
