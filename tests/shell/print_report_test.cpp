// The banded report engine: named values, pagination and painting into
// images. Its PDF output is checked with the service list.
#include <QtTest>

#include "print/al_report.h"

using namespace lumora::print;

namespace {

QFont Font(int px)
{
    QFont font;
    font.setPixelSize(px);
    return font;
}

// Title band with a bar, a header band with a rule, a detail band with two
// fields and a footer with the page number: the bars are easy to find in pixels.
struct SmallReport {
    TAlReport report;
    SmallReport()
    {
        report.TitleBand.Height = 58;
        report.AddShape(report.TitleBand, {18, 28, 240, 3});
        report.DetailHeaderBand.Height = 27;
        report.AddLabel(report.DetailHeaderBand, {}, QStringLiteral("Column"), {8, 2, 100, 16}, Font(12),
                        Qt::AlignCenter);
        report.AddShape(report.DetailHeaderBand, {9, 20, 733, 2});
        report.DetailBand.Height = 19;
        report.AddDataField(report.DetailBand, QStringLiteral("Name"), {10, 2, 200, 15}, Font(11), Qt::AlignLeft);
        report.AddDataField(report.DetailBand, QStringLiteral("Kind"), {300, 2, 100, 15}, Font(11), Qt::AlignLeft);
        report.PageFooterBand.Height = 41;
        report.AddPageNumber(report.PageFooterBand, {369, 24, 60, 15}, Font(11), Qt::AlignLeft);
    }
    void AddRows(int count)
    {
        for (int i = 0; i < count; ++i)
            report.AddNamedValue(QStringLiteral("Name"), QStringLiteral("row%1").arg(i));
    }
};

// Whether the pixel row at layout y (scaled) is dark across the given layout x range.
bool DarkAcross(const QImage& image, double scale, double y, double x0, double x1)
{
    const int py = int(y * scale + scale / 2);
    for (int px = int(x0 * scale) + 1; px < int(x1 * scale) - 1; ++px)
        if (qGray(image.pixel(px, py)) > 64)
            return false;
    return true;
}

}  // namespace

class PrintReportTest : public QObject {
    Q_OBJECT
private slots:
    void namedValuesAndRowRules();
    void paginationCoversEveryRowOnce();
    void paginationOfEdgeSizes();
    void imagesCarryBandsAtScaledPositions();
};

void PrintReportTest::namedValuesAndRowRules()
{
    SmallReport s;
    TAlReport& r = s.report;
    QVERIFY(r.FindField(QStringLiteral("NAME")) == r.FindField(QStringLiteral("name")));
    QVERIFY(r.FindField(QStringLiteral("name")) != nullptr);
    QVERIFY(!r.FindField(QStringLiteral("Column")));  // labels are not data fields
    QVERIFY(!r.AddNamedValue(QStringLiteral("Missing"), QStringLiteral("x")));
    QCOMPARE(r.DetailRowCount(), 0);

    QVERIFY(r.AddNamedValue(QStringLiteral("nAmE"), QStringLiteral("first")));
    QVERIFY(r.AddNamedValue(QStringLiteral("NAME"), QStringLiteral("second")));
    QVERIFY(r.AddNamedValue(QStringLiteral("NAME"), QStringLiteral("third")));
    QVERIFY(r.AddNamedValue(QStringLiteral("kind"), QStringLiteral("only")));
    QCOMPARE(r.DetailRowCount(), 3);
    const TAlElement& name = *r.FindField(QStringLiteral("Name"));
    const TAlElement& kind = *r.FindField(QStringLiteral("Kind"));
    QCOMPARE(TAlReport::FieldValue(name, 1), QStringLiteral("second"));
    // A single value prints on every row.
    QCOMPARE(TAlReport::FieldValue(kind, 2), QStringLiteral("only"));

    // Two values of three rows: the third row is empty.
    QVERIFY(r.AddNamedValue(QStringLiteral("kind"), QStringLiteral("two")));
    QCOMPARE(TAlReport::FieldValue(kind, 0), QStringLiteral("only"));
    QCOMPARE(TAlReport::FieldValue(kind, 1), QStringLiteral("two"));
    QCOMPARE(TAlReport::FieldValue(kind, 2), QString());
    QCOMPARE(r.DetailRowCount(), 3);
}

void PrintReportTest::paginationCoversEveryRowOnce()
{
    SmallReport s;
    s.AddRows(300);
    const TAlReport& r = s.report;
    const double height = kA4Layout.height();
    const std::vector<TAlPage> pages = r.Paginate(height);
    QCOMPARE(int(pages.size()), 6);
    int next = 0;
    for (const TAlPage& page : pages) {
        QCOMPARE(page.Number, int(&page - pages.data()) + 1);
        QCOMPARE(page.HasTitle, page.Number == 1);
        QCOMPARE(page.FirstRow, next);
        next += page.RowCount;
        // Everything fits between the margins ...
        const double used = r.TopMargin + (page.HasTitle ? 58 : 0) + 27 + page.RowCount * 19.0 + 41 + r.BottomMargin;
        QVERIFY2(used <= height, qPrintable(QStringLiteral("page %1 overflows").arg(page.Number)));
        // ... and every page but the last is full.
        if (page.Number < int(pages.size()))
            QVERIFY(used + 19 > height);
    }
    QCOMPARE(next, 300);
}

void PrintReportTest::paginationOfEdgeSizes()
{
    SmallReport empty;
    const auto one = empty.report.Paginate(kA4Layout.height());
    QCOMPARE(int(one.size()), 1);  // a report without rows still prints its bands
    QVERIFY(one[0].HasTitle);
    QCOMPARE(one[0].RowCount, 0);

    // A page too small for any row still takes one, so paging ends.
    SmallReport tiny;
    tiny.AddRows(5);
    const auto pages = tiny.report.Paginate(100);
    QCOMPARE(int(pages.size()), 5);
    QCOMPARE(pages[4].FirstRow, 4);
    QCOMPARE(pages[4].RowCount, 1);
}

void PrintReportTest::imagesCarryBandsAtScaledPositions()
{
    SmallReport s;
    s.AddRows(120);
    const TAlReport& r = s.report;
    QVERIFY(r.RenderPage(3, 96).isNull());  // 120 rows make three pages
    for (double dpi : {96.0, 192.0}) {
        const double scale = dpi / kLayoutDpi;
        const QImage first = r.RenderPage(0, dpi);
        const QImage second = r.RenderPage(1, dpi);
        QCOMPARE(first.width(), qRound(kA4Layout.width() * scale));
        // The title bar only on page 1, the header rule below it; on page 2 the rule is at the top.
        QVERIFY(DarkAcross(first, scale, r.TopMargin + 29, 18, 258));
        QVERIFY(DarkAcross(first, scale, r.TopMargin + 58 + 21, 9, 742));
        QVERIFY(!DarkAcross(second, scale, r.TopMargin + 29, 18, 258));
        QVERIFY(DarkAcross(second, scale, r.TopMargin + 21, 9, 742));
    }
}

QTEST_MAIN(PrintReportTest)
#include "print_report_test.moc"
