#include "help_window.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextStream>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

static void InitHelpResources()
{
    // The manual is compiled into the static shell library; register it once.
    static const bool registered = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace lumora {

namespace {

const QString kManualRoot = QStringLiteral("qrc:/help/manual/");
const QString kFirstPage = QStringLiteral("getting_started.html");
constexpr int kTargetRole = Qt::UserRole;

// Reads "title<TAB>target" lines; two leading blanks per level of indentation.
QList<HelpTopic> ReadTopics(const QString& resource)
{
    InitHelpResources();
    QList<HelpTopic> topics;
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return topics;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const qsizetype tab = line.indexOf(QChar('\t'));
        if (tab < 0)
            continue;
        qsizetype indent = 0;
        while (indent < line.size() && line[indent] == QChar(' '))
            ++indent;
        HelpTopic topic;
        topic.Level = int(indent / 2);
        topic.Title = line.left(tab).trimmed();
        topic.Target = line.mid(tab + 1).trimmed();
        topics << topic;
    }
    return topics;
}

}  // namespace

QList<HelpTopic> HelpWindow::ContentsTopics() { return ReadTopics(QStringLiteral(":/help/manual/contents.txt")); }

QList<HelpTopic> HelpWindow::IndexTopics() { return ReadTopics(QStringLiteral(":/help/manual/index.txt")); }

QUrl HelpWindow::TopicUrl(const QString& target) { return QUrl(kManualRoot + target); }

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    InitHelpResources();
    setWindowTitle(QStringLiteral("Lumora V3 Help"));
    Contents = new QTreeWidget;
    Contents->setHeaderHidden(true);
    IndexFilter = new QLineEdit;
    IndexFilter->setPlaceholderText(QStringLiteral("Type a keyword"));
    IndexFilter->setClearButtonEnabled(true);
    Index = new QListWidget;
    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(0, 0, 0, 0);
    indexLayout->addWidget(IndexFilter);
    indexLayout->addWidget(Index);
    Tabs = new QTabWidget;
    Tabs->addTab(Contents, QStringLiteral("&Contents"));
    Tabs->addTab(indexPage, QStringLiteral("&Index"));

    Browser = new QTextBrowser;
    Browser->setOpenExternalLinks(true);
    auto* toolbar = new QToolBar;
    QAction* back = toolbar->addAction(QStringLiteral("Back"), Browser, &QTextBrowser::backward);
    QAction* forward = toolbar->addAction(QStringLiteral("Forward"), Browser, &QTextBrowser::forward);
    toolbar->addAction(QStringLiteral("Contents"), this, [this] { ShowTopic(kFirstPage); });
    back->setShortcut(QKeySequence::Back);
    forward->setShortcut(QKeySequence::Forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(Browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    auto* splitter = new QSplitter;
    splitter->addWidget(Tabs);
    splitter->addWidget(Browser);
    splitter->setStretchFactor(1, 3);
    auto* root = new QVBoxLayout(this);
    root->addWidget(toolbar);
    root->addWidget(splitter);
    resize(900, 620);

    FillContents();
    FillIndex();
    connect(Contents, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            ShowTopic(item->data(0, kTargetRole).toString());
    });
    connect(Index, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            ShowTopic(item->data(kTargetRole).toString());
    });
    connect(Index, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowTopic(item->data(kTargetRole).toString()); });
    connect(IndexFilter, &QLineEdit::textChanged, this, [this](const QString& typed) { FilterIndex(typed); });
    connect(IndexFilter, &QLineEdit::returnPressed, this, [this] {
        if (QListWidgetItem* item = Index->currentItem())
            ShowTopic(item->data(kTargetRole).toString());
    });
    ShowTopic(kFirstPage);
}

void HelpWindow::FillContents()
{
    QTreeWidgetItem* chapter = nullptr;
    for (const HelpTopic& topic : ContentsTopics()) {
        QTreeWidgetItem* item =
            topic.Level == 0 || !chapter ? new QTreeWidgetItem(Contents) : new QTreeWidgetItem(chapter);
        if (topic.Level == 0 || !chapter)
            chapter = item;
        item->setText(0, topic.Title);
        item->setData(0, kTargetRole, topic.Target);
    }
}

void HelpWindow::FillIndex()
{
    QList<HelpTopic> topics = IndexTopics();
    std::sort(topics.begin(), topics.end(), [](const HelpTopic& a, const HelpTopic& b) {
        return QString::compare(a.Title, b.Title, Qt::CaseInsensitive) < 0;
    });
    for (const HelpTopic& topic : topics) {
        auto* item = new QListWidgetItem(topic.Title, Index);
        item->setData(kTargetRole, topic.Target);
    }
}

void HelpWindow::FilterIndex(const QString& typed)
{
    // Keeps the keywords that contain the typed text and makes the first one
    // starting with it current, so Enter opens the likely topic.
    QListWidgetItem* best = nullptr;
    for (int row = 0; row < Index->count(); ++row) {
        QListWidgetItem* item = Index->item(row);
        const bool shown = typed.isEmpty() || item->text().contains(typed, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !best && item->text().startsWith(typed, Qt::CaseInsensitive))
            best = item;
    }
    if (best) {
        const QSignalBlocker blocker(Index);
        Index->setCurrentItem(best);
    }
}

void HelpWindow::ShowTopic(const QString& target)
{
    const QUrl url = TopicUrl(target.isEmpty() ? kFirstPage : target);
    if (Browser->source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment) && url.hasFragment())
        Browser->scrollToAnchor(url.fragment());
    else
        Browser->setSource(url);
}

HelpWindow* HelpWindow::ShowHelp(QWidget* owner, const QString& target)
{
    HelpWindow* window = owner ? owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!window)
        window = new HelpWindow(owner);
    if (!target.isEmpty())
        window->ShowTopic(target);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace lumora
