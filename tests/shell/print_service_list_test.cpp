// The printed service list: the values of each column, and whole reports of
// document views rendered into PDF files and images.
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

#include "print/frm_print.h"
#include "print/print_commands.h"
#include "print_test_support.h"
#include "service_table_ops.h"

using namespace lumora;
using namespace lumora::print;
using lumora::print::test::TestDocument;

namespace {

QString Value(const TfrmPrint& form, const char* field, int row)
{
    const TAlElement* element = form.AlReport1.FindField(QString::fromLatin1(field));
    return element ? TAlReport::FieldValue(*element, row) : QStringLiteral("<no field>");
}

// The ten printed cells of one row, left to right.
QStringList PrintedCells(const TfrmPrint& form, int row)
{
    QStringList cells;
    for (const char* field : {"AlField1", "AlField2", "AlField3", "AlField4", "AlField5", "AlField10", "AlField6",
                              "AlField7", "AlField8", "AlField9"})
        cells << Value(form, field, row);
    return cells;
}

QString WritePdf(const QTemporaryDir& dir, const TPrintInputs& inputs)
{
    const QString file = dir.filePath(QStringLiteral("list.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    PreparePrinter(printer);
    return PrintServiceList(inputs, printer) ? file : QString();
}

// Checks a PDF of the service list: title and category on page 1, the column
// titles at the top and the page number at the bottom of every page, and the
// rows of `expected` in order, page after page.
void CheckPdf(const QString& file, const QString& category, const QList<QStringList>& expected, int pageCount)
{
    const QStringList pages = test::PdfPages(file);
    QCOMPARE(pages.size(), pageCount);
    int row = 0;
    for (int p = 0; p < pages.size(); ++p) {
        QStringList lines = test::CompactLines(pages[p]);
        if (p == 0) {
            QCOMPARE(lines.takeFirst(), QStringLiteral("Lumora V3 Service List"));
            QCOMPARE(lines.takeFirst(), category);
        }
        QCOMPARE(lines.takeFirst(), test::kHeaderLine);
        QCOMPARE(lines.takeLast(), QString::number(p + 1));
        for (const QString& line : lines) {
            QVERIFY2(row < expected.size(), qPrintable(QStringLiteral("extra line: ") + line));
            QCOMPARE(line, test::RowLine(expected[row]));
            ++row;
        }
    }
    QCOMPARE(row, int(expected.size()));
}

}  // namespace

class PrintServiceListTest : public QObject {
    Q_OBJECT
private slots:
    void columnValues();
    void fecAboveFiveAndIndicesOutsideTheTables();
    void rowsEndAtTheFirstRowWithoutAService();
    void sortedViewPrintsInGridOrder();
    void favoriteViewPrintsTheListUnderItsName();
    void threeHundredServicesOverSixPages();
};

void PrintServiceListTest::columnValues()
{
    TestDocument t;
    const int none = t.AddProvider("Nordic");
    const int star = t.AddProvider("Star\xE9 TV");
    const int h = t.AddTS(11778, 27500, 0, 0);
    const int v = t.AddTS(12188, 22000, 1, 4);
    const int a = t.AddTS(10729, 30000, 2, 5);
    t.AddService(0, "Alpha", h, star);
    t.AddService(1, "Beta Radio", v, -1);
    t.AddService(0, "Gamma", a, none);
    const TPrintInputs inputs{{{"3", 0}, {"12", 1}, {"7", 2}}, "All Service", &t.db(), false};

    TfrmPrint form;
    form.FeedServiceRows(inputs);
    QCOMPARE(form.L1->Text, QStringLiteral("All Service"));
    QCOMPARE(form.AlReport1.DetailRowCount(), 3);
    // The provider name's byte 0xE9 is not drawn, as in the grid.
    QCOMPARE(PrintedCells(form, 0),
             (QStringList{"V3", "Alpha", "11778", "27500", "H", "1/2", "1000", "2000", "3000", "Star TV"}));
    // A radio service, no provider: the next row still has its own provider.
    QCOMPARE(PrintedCells(form, 1),
             (QStringList{"A12", "Beta Radio", "12188", "22000", "V", "7/8", "1001", "2001", "3001", ""}));
    QCOMPARE(PrintedCells(form, 2),
             (QStringList{"V7", "Gamma", "10729", "30000", "A", "Auto", "1002", "2002", "3002", "Nordic"}));
}

void PrintServiceListTest::fecAboveFiveAndIndicesOutsideTheTables()
{
    QCOMPARE(FecText(3, false), QStringLiteral("5/6"));
    QCOMPARE(FecText(3, true), QStringLiteral("64-QAM"));  // a cable stream's constellation
    QCOMPARE(FecText(6, true), QStringLiteral("AUTO"));
    QCOMPARE(FecText(0, true), QString());
    QCOMPARE(FecText(6, false), QString());
    QCOMPARE(FecText(200, true), QString());
    QCOMPARE(PolarizationLetter(7), QStringLiteral("A"));

    TestDocument t(8);  // a cable model
    const int p = t.AddProvider("Cable Co");
    const int ts = t.AddTS(346000, 6900, 0, 6);
    t.AddService(0, "No stream", -1, p);
    t.AddService(0, "Stream gone", 5, 7);
    t.AddService(0, "Cable", ts, p);
    const TPrintInputs inputs{{{"1", 0}, {"2", 1}, {"3", 2}}, "All Service", &t.db(), true};
    TfrmPrint form;
    form.FeedServiceRows(inputs);
    QCOMPARE(PrintedCells(form, 0),
             (QStringList{"V1", "No stream", "", "", "", "", "1000", "2000", "3000", "Cable Co"}));
    QCOMPARE(PrintedCells(form, 1), (QStringList{"V2", "Stream gone", "", "", "", "", "1001", "2001", "3001", ""}));
    QCOMPARE(Value(form, "AlField10", 2), QStringLiteral("AUTO"));
}

void PrintServiceListTest::rowsEndAtTheFirstRowWithoutAService()
{
    TestDocument t;
    const int ts = t.AddTS(11778, 27500, 0, 0);
    t.AddService(0, "One", ts, -1);
    t.AddService(0, "Two", ts, -1);
    for (const int32_t stop : {-1, 2}) {  // -1: the row shows none; 2: no such service
        const TPrintInputs inputs{{{"1", 0}, {"9", stop}, {"2", 1}}, "All Service", &t.db(), false};
        TfrmPrint form;
        form.FeedServiceRows(inputs);
        QCOMPARE(form.AlReport1.DetailRowCount(), 1);
        QCOMPARE(Value(form, "AlField2", 0), QStringLiteral("One"));
    }
}

void PrintServiceListTest::sortedViewPrintsInGridOrder()
{
    TestDocument t;
    const int p = t.AddProvider("Provider P");
    const int ts = t.AddTS(11778, 27500, 1, 2);
    const char* names[] = {"Delta", "Alpha", "Echo", "Charlie", "Bravo"};
    for (const char* name : names)
        t.AddService(0, name, ts, p);
    t.AddService(1, "Radio", ts, p);
    t.Show();
    QCOMPARE(t.doc->SG.RowCount() - 1, 5);
    t.doc->SG.SetCurrent(kColName, 1);
    t.doc->BtnSortAClick();  // the services change places with their rows

    QTemporaryDir dir;
    const QString file = WritePdf(dir, PrintInputsFromDocument(*t.doc));
    QVERIFY(!file.isEmpty());
    // Added as Delta 0, Alpha 1, Echo 2, Charlie 3, Bravo 4 (their PIDs tell),
    // printed by name with the numbers of their new places.
    const QList<std::pair<const char*, int>> sorted = {{"Alpha", 1},
                                                       {"Bravo", 4},
                                                       {"Charlie", 3},
                                                       {"Delta", 0},
                                                       {"Echo", 2}};
    QList<QStringList> expected;
    for (const auto& [name, r] : sorted)
        expected << QStringList{QStringLiteral("V%1").arg(expected.size() + 1),
                                QString::fromLatin1(name),
                                "11778",
                                "27500",
                                "V",
                                "3/4",
                                QString::number(1000 + r),
                                QString::number(2000 + r),
                                QString::number(3000 + r),
                                "Provider P"};
    CheckPdf(file, QStringLiteral("All Service"), expected, 1);
}

void PrintServiceListTest::favoriteViewPrintsTheListUnderItsName()
{
    TestDocument t;
    const int p = t.AddProvider("Fav Provider");
    const int ts = t.AddTS(12000, 27500, 0, 1);
    for (int i = 0; i < 6; ++i)
        t.AddService(i % 2 ? 1 : 0, (i % 2 ? "Radio " : "TV ") + std::to_string(i), ts, i == 4 ? -1 : p);
    // TV list "B" (list 1) holds the TV ordinals 2 and 0, in that order.
    t.AddFavorite(0, 1, 2);
    t.AddFavorite(0, 1, 0);
    t.Show();
    t.SelectRootChild("Favorite", "B");
    QCOMPARE(t.doc->Label1Caption, std::string("B"));

    QTemporaryDir dir;
    const QString file = WritePdf(dir, PrintInputsFromDocument(*t.doc));
    QVERIFY(!file.isEmpty());
    // Ordinal 2 is real index 4 (no provider), ordinal 0 real index 0.
    const QList<QStringList> expected = {
        {"V3", "TV 4", "12000", "27500", "H", "2/3", "1004", "2004", "3004", ""},
        {"V1", "TV 0", "12000", "27500", "H", "2/3", "1000", "2000", "3000", "Fav Provider"},
    };
    CheckPdf(file, QStringLiteral("B"), expected, 1);
}

void PrintServiceListTest::threeHundredServicesOverSixPages()
{
    TestDocument t;
    for (int i = 0; i < 20; ++i)
        t.AddProvider("Provider " + std::to_string(i));
    for (int i = 0; i < 10; ++i)
        t.AddTS(10000 + uint32_t(i) * 100, 20000 + uint32_t(i), uint8_t(i % 3), uint8_t(i % 6));
    QList<QStringList> expected;
    const char* fec[] = {"1/2", "2/3", "3/4", "5/6", "7/8", "Auto"};
    const char* pol[] = {"H", "V", "A"};
    for (int r = 0; r < 300; ++r) {
        const int ts = r % 10;
        const int provider = r % 7 == 0 ? -1 : r % 20;
        t.AddService(0, "Service " + std::to_string(r), ts, provider);
        expected << QStringList{QStringLiteral("V%1").arg(r + 1),
                                QStringLiteral("Service %1").arg(r),
                                QString::number(10000 + ts * 100),
                                QString::number(20000 + ts),
                                pol[ts % 3],
                                fec[ts % 6],
                                QString::number(1000 + r),
                                QString::number(2000 + r),
                                QString::number(3000 + r),
                                provider < 0 ? QString() : QStringLiteral("Provider %1").arg(provider)};
    }
    t.Show();
    const TPrintInputs inputs = PrintInputsFromDocument(*t.doc);

    QTemporaryDir dir;
    const QString file = WritePdf(dir, inputs);
    QVERIFY(!file.isEmpty());
    CheckPdf(file, QStringLiteral("All Service"), expected, 6);

    // The same pages as images: the header rule under the title on page 1, at the top of the others.
    const double top = TfrmPrint().AlReport1.TopMargin;
    for (int page = 0; page < 6; ++page) {
        const QImage image = RenderServiceListPage(inputs, page, 96);
        QVERIFY(!image.isNull());
        const int ruleY = int(top + (page == 0 ? 58 : 0) + 21);
        QVERIFY2(qGray(image.pixel(400, ruleY)) < 64, qPrintable(QStringLiteral("page %1").arg(page + 1)));
        QVERIFY((qGray(image.pixel(100, int(top) + 29)) < 64) == (page == 0));  // the title bar
    }
    QVERIFY(RenderServiceListPage(inputs, 6, 96).isNull());
}

QTEST_MAIN(PrintServiceListTest)
#include "print_service_list_test.moc"
