// The editor remembers across a restart: the recent files (opened from the
// File menu by mouse, a missing one reported, the list cleared), the window
// size, the tree width and the grid's column widths, all in the per-user
// configuration under $XDG_CONFIG_HOME. Files dropped on the main window and
// files named on the real program's command line open.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTemporaryDir>
#include <QtTest>

#include "frm_child.h"
#include "frm_main.h"
#include "grid/k_string_grid.h"
#include "main_window_support.h"
#include "modal_answers.h"
#include "user_state.h"

using namespace lumora;
using namespace lumora::test;

namespace {

const QByteArray kSettings = "[SYSTEMINFO]\r\nMODEL=0\r\nCOMPORT=0\r\n";

QTemporaryDir& ConfigHome()
{
    static QTemporaryDir home;
    return home;
}

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Drags with the left button from `from` by `by` on `widget`, as a person does.
void Drag(QWidget* widget, QPoint from, QPoint by)
{
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    QTest::mouseMove(widget, from + by);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, from + by);
}

// File > Recent Files by mouse; returns the opened submenu's entry texts.
QStringList OpenRecentMenu(TfrmMain& window)
{
    QMenuBar* bar = window.menuBar();
    QAction* file = bar->actions().constFirst();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(file).center());
    QMenu* menu = file->menu();
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }))
        return {};
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(window.RecentMenu->menuAction()).center());
    if (!QTest::qWaitFor([&window] { return window.RecentMenu->isVisible(); }))
        return {};
    QStringList texts;
    for (QAction* action : window.RecentMenu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

void ClickRecentEntry(TfrmMain& window, int index)
{
    QMenu* recent = window.RecentMenu;
    QTest::mouseClick(recent, Qt::LeftButton, {}, recent->actionGeometry(recent->actions().at(index)).center());
}

void DropFiles(QWidget* target, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPointF at(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
}

QStringList Captions(const TfrmMain& window)
{
    QStringList captions;
    for (TfrmChild* child : window.Documents())
        captions << child->Caption();
    return captions;
}

}  // namespace

class RecentFilesTest : public QObject {
    Q_OBJECT

private slots:
    void recentFilesAndLayoutSurviveARestart()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.dnf")), b = dir.filePath(QStringLiteral("b.dnf"));
        QVERIFY(MakeSampleDnf(a) && MakeSampleDnf(b));
        const QString notes = dir.filePath(QStringLiteral("notes.txt"));
        WriteFile(notes, "not a channel list");
        WriteFile(dir.filePath(QStringLiteral("LV32.cfg")), kSettings);
        TMainWindowPaths paths{dir.filePath(QStringLiteral("LV32.cfg")), LibraryPath()};
        paths.userStateFile = TUserState::DefaultFileName();
        QVERIFY(paths.userStateFile.startsWith(ConfigHome().path() + QStringLiteral("/LumoraV3/")));

        QSize windowSize;
        int treeWidth = 0, nameWidth = 0;
        {
            ModalAnswers answers;
            answers.MessageBox(QMessageBox::Ok);
            TfrmMain window(paths);
            window.resize(1000, 700);
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            // Two channel lists and a text file dropped from the file manager.
            DropFiles(&window, {a, notes, b});
            QCOMPARE(Captions(window), QStringList({a, b}));
            QTRY_COMPARE(answers.Pending(), 0);
            QCOMPARE(answers.unexpected, 0);
            QVERIFY(answers.seenTexts.constFirst().contains(notes));

            // The tree made wider and the name column narrower, by mouse.
            TfrmChild* doc = window.ActiveDocument();
            doc->parentWidget()->showMaximized();
            QSplitterHandle* handle = doc->Splitter1->handle(1);
            const int treeBefore = doc->Splitter1->sizes().at(0);
            Drag(handle, handle->rect().center(), QPoint(80, 0));
            treeWidth = doc->Splitter1->sizes().at(0);
            QCOMPARE(treeWidth, treeBefore + 80);
            QHeaderView* header = doc->SG->horizontalHeader();
            const int nameEdge = header->sectionViewportPosition(kColName) + header->sectionSize(kColName) - 1;
            const int nameBefore = header->sectionSize(kColName);
            Drag(header->viewport(), QPoint(nameEdge, header->height() / 2), QPoint(-30, 0));
            nameWidth = header->sectionSize(kColName);
            QCOMPARE(nameWidth, nameBefore - 30);
            windowSize = window.size();
            QVERIFY(window.close());
        }

        ModalAnswers answers;
        TfrmMain window(paths);
        window.ShowAsRemembered();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.size(), windowSize);
        // Most recent first; a file opened again moves up, once.
        QCOMPARE(OpenRecentMenu(window), QStringList({QStringLiteral("&1 ") + b, QStringLiteral("&2 ") + a,
                                                      QStringLiteral("-"), QStringLiteral("&Clear")}));
        ClickRecentEntry(window, 1);
        QCOMPARE(Captions(window), QStringList({a}));
        TfrmChild* doc = window.ActiveDocument();
        doc->parentWidget()->showMaximized();  // as wide as before: the tree gets its remembered width
        QCOMPARE(doc->Splitter1->sizes().at(0), treeWidth);
        QCOMPARE(doc->SG->horizontalHeader()->sectionSize(kColName), nameWidth);
        QCOMPARE(OpenRecentMenu(window).mid(0, 2), QStringList({QStringLiteral("&1 ") + a, QStringLiteral("&2 ") + b}));

        // A file that is gone stays listed; opening it gives the usual error.
        QVERIFY(QFile::remove(b));
        answers.MessageBox(QMessageBox::Ok);
        ClickRecentEntry(window, 1);
        QTRY_COMPARE(answers.Pending(), 0);
        QVERIFY(answers.seenTexts.constLast().contains(b));
        QCOMPARE(Captions(window), QStringList({a}));

        const QStringList entries = OpenRecentMenu(window);
        ClickRecentEntry(window, int(entries.indexOf(QStringLiteral("&Clear"))));
        QCOMPARE(OpenRecentMenu(window), QStringList({QStringLiteral("-"), QStringLiteral("&Clear")}));
        QVERIFY(!window.RecentMenu->actions().constLast()->isEnabled());
        window.RecentMenu->close();
        QVERIFY(TUserState(paths.userStateFile).RecentFiles().isEmpty());
        QCOMPARE(answers.unexpected, 0);
        // The receiver settings file keeps only its own keys.
        QCOMPARE(ReadAll(paths.settingsFile).contains("Recent"), false);
    }

    // The desktop entry starts the program with the files to open.
    void filesOnTheCommandLineOpenAtStart()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("Übersicht.dnf")), b = dir.filePath(QStringLiteral("b.dnf"));
        QVERIFY(MakeSampleDnf(a) && MakeSampleDnf(b));
        const QString settings = dir.filePath(QStringLiteral("LV32.cfg"));
        WriteFile(settings, kSettings);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(LUMORA_EDITOR_PROGRAM), {QStringLiteral("--settings"), settings, a, b});
        QVERIFY(program.waitForStarted());
        // Each opened file becomes a recent file, written at once.
        const QString state = dir.filePath(QStringLiteral("config/LumoraV3/LumoraV3.ini"));
        QTRY_VERIFY_WITH_TIMEOUT(TUserState(state).RecentFiles() == QStringList({b, a}), 20000);
        program.kill();
        program.waitForFinished();
    }
};

int main(int argc, char** argv)
{
    // Before anything reads the per-user configuration.
    qputenv("XDG_CONFIG_HOME", ConfigHome().path().toLocal8Bit());
    QApplication app(argc, argv);
    RecentFilesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "recent_files_test.moc"
