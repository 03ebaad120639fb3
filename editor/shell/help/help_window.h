// The program's manual: HTML pages shipped as resources, shown beside a
// contents tree and a keyword index. One window per main window; F1 and
// "Help" raise it.
#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;
class QTreeWidget;
class QTabWidget;

namespace lumora {

struct HelpTopic {
    QString Title;
    QString Target;  // page, optionally with "#anchor", relative to the manual
    int Level = 0;  // 0 for a chapter, 1 for a section
};

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // The contents and index as the manual defines them.
    static QList<HelpTopic> ContentsTopics();
    static QList<HelpTopic> IndexTopics();
    // Resource URL of a manual target ("settings.html#port").
    static QUrl TopicUrl(const QString& target);

    // Shows the window of `owner` (made on first use, deleted with it) at
    // `target`, or at the first page when empty.
    static HelpWindow* ShowHelp(QWidget* owner, const QString& target = QString());

    void ShowTopic(const QString& target);

    QTreeWidget* Contents = nullptr;
    QLineEdit* IndexFilter = nullptr;
    QListWidget* Index = nullptr;
    QTextBrowser* Browser = nullptr;
    QTabWidget* Tabs = nullptr;

private:
    void FillContents();
    void FillIndex();
    void FilterIndex(const QString& typed);
};

}  // namespace lumora
