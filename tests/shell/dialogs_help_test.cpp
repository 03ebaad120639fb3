// The manual: every contents and index entry, and every link between pages,
// leads to a page and anchor that exist; the help window shows them.
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QtTest>

#include "help/help_window.h"

using namespace lumora;

namespace {

QString PageText(const QString& page)
{
    QFile file(":/help/manual/" + page);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Empty when `target` ("page.html#anchor") leads somewhere, else the reason.
QString BrokenReason(const QString& target)
{
    const QString page = target.section('#', 0, 0);
    const QString anchor = target.section('#', 1);
    const QString text = PageText(page);
    if (text.isEmpty())
        return "no page " + page;
    if (!anchor.isEmpty() && !text.contains("name=\"" + anchor + "\""))
        return "no anchor " + target;
    return QString();
}

}  // namespace

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void contentsCoverEveryChapterAndLeadSomewhere();
    void indexAndPageLinksLeadSomewhere();
    void windowShowsTopicsFromContentsAndIndex();
};

void HelpTest::contentsCoverEveryChapterAndLeadSomewhere()
{
    const QList<HelpTopic> contents = HelpWindow::ContentsTopics();
    QStringList chapters;
    for (const HelpTopic& topic : contents) {
        QVERIFY2(BrokenReason(topic.Target).isEmpty(), qPrintable(BrokenReason(topic.Target)));
        if (topic.Level == 0)
            chapters << topic.Target;
    }
    const QStringList expected = {"getting_started.html", "settings.html",  "tree_grid.html", "editing.html",
                                  "favorites.html",       "sorting.html",   "finding.html",   "exchange.html",
                                  "compare.html",         "import.html",    "menu_data.html", "transfers.html", "printing.html",
                                  "encoder.html",         "tools.html"};
    QCOMPARE(chapters, expected);
}

void HelpTest::indexAndPageLinksLeadSomewhere()
{
    const QList<HelpTopic> index = HelpWindow::IndexTopics();
    QVERIFY(index.size() > 40);
    for (const HelpTopic& topic : index)
        QVERIFY2(BrokenReason(topic.Target).isEmpty(), qPrintable(BrokenReason(topic.Target)));

    const QRegularExpression link("href=\"([a-z_]+\\.html(#[a-z-]+)?)\"");
    int links = 0;
    for (const HelpTopic& topic : HelpWindow::ContentsTopics()) {
        if (topic.Level != 0)
            continue;
        auto matches = link.globalMatch(PageText(topic.Target));
        while (matches.hasNext()) {
            const QString target = matches.next().captured(1);
            QVERIFY2(BrokenReason(target).isEmpty(), qPrintable(topic.Target + ": " + BrokenReason(target)));
            ++links;
        }
    }
    QVERIFY(links > 20);
}

void HelpTest::windowShowsTopicsFromContentsAndIndex()
{
    QWidget owner;
    HelpWindow* window = HelpWindow::ShowHelp(&owner);
    QVERIFY(window->isVisible());
    QCOMPARE(HelpWindow::ShowHelp(&owner), window);  // one window per owner
    QVERIFY(window->Browser->toPlainText().contains("Getting started"));
    QCOMPARE(window->Contents->topLevelItemCount(), 15);

    window->Contents->setCurrentItem(window->Contents->topLevelItem(13));
    QCOMPARE(window->Browser->source().fileName(), QString("encoder.html"));
    QVERIFY(window->Browser->toPlainText().contains("compression"));

    window->IndexFilter->setText("ddfch");
    int visible = 0;
    for (int row = 0; row < window->Index->count(); ++row)
        visible += window->Index->item(row)->isHidden() ? 0 : 1;
    QCOMPARE(visible, 1);
    QCOMPARE(window->Index->currentItem()->text(), QString("ddfcheck"));
    QTest::keyClick(window->IndexFilter, Qt::Key_Return);
    QCOMPARE(window->Browser->source().fileName(), QString("tools.html"));

    window->ShowTopic("menu_data.html");
    QVERIFY(window->Browser->toPlainText().contains("Menu Data Configuration"));
}

QTEST_MAIN(HelpTest)
#include "dialogs_help_test.moc"
