// File > Export > "Channel File for Linux" with the mouse: the sample's
// antennas find their positions through the settings' satellite names, the
// extension typed chooses VDR's format, and the report's notes are shown.
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "frm_child.h"
#include "frm_main.h"
#include "main_window_support.h"
#include "modal_answers.h"

using namespace lumora;
using namespace lumora::test;

namespace {

QAction* EntryNamed(const QList<QAction*>& actions, const QString& text)
{
    for (QAction* action : actions)
        if (action->text() == text)
            return action;
    return nullptr;
}

}  // namespace

class ExportChannelsTest : public QObject {
    Q_OBJECT

private slots:
    void exportsAVdrChannelsConfThroughTheMenu()
    {
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());  // no position table of the user: the built-in one
        const QString sample = dir.filePath(QStringLiteral("sample.dnf"));
        QVERIFY(MakeSampleDnf(sample));
        // The sample's antennas use satellites 3 and 7 of the list.
        std::unique_ptr<TfrmMain> window =
            StartMainWindow(dir.filePath(QStringLiteral("LV32.cfg")),
                            "[SYSTEMINFO]\r\nMODEL=0\r\n[ANTENNA LANGUAGE]\r\nCOUNT=8\r\nLANGUAGE 0=ASTRA 1\r\n"
                            "LANGUAGE 1=ASTRA 2\r\nLANGUAGE 2=HOTBIRD\r\nLANGUAGE 3=EUTELSAT W2\r\n"
                            "LANGUAGE 4=KOPERNIKUS 2\r\nLANGUAGE 5=KOPERNIKUS 3\r\nLANGUAGE 6=ORION\r\n"
                            "LANGUAGE 7=TURKSAT 1C\r\n",
                            LibraryPath());
        QVERIFY(window->OpenDocument(sample));

        QMenuBar* bar = window->menuBar();
        QAction* file = EntryNamed(bar->actions(), QStringLiteral("&File"));
        QVERIFY(file);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(file).center());
        QTRY_VERIFY(file->menu()->isVisible());
        QAction* exportMenu = EntryNamed(file->menu()->actions(), QStringLiteral("&Export"));
        QVERIFY(exportMenu);
        QTest::mouseClick(file->menu(), Qt::LeftButton, {}, file->menu()->actionGeometry(exportMenu).center());
        QTRY_VERIFY(exportMenu->menu()->isVisible());

        const QString out = dir.filePath(QStringLiteral("sample.conf"));
        ModalAnswers answers;
        answers.FileDialog(out);
        answers.MessageBox(QMessageBox::Ok);
        QTest::mouseClick(exportMenu->menu(), Qt::LeftButton, {},
                          exportMenu->menu()->actionGeometry(window->ExportChannels).center());
        QTRY_COMPARE(answers.Pending(), 0);
        QCOMPARE(answers.unexpected, 0);
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Exported sample.conf: 353 services"));
        QVERIFY(answers.seenTexts.last().contains(QStringLiteral("not part of VDR's channels.conf")));

        const QByteArray conf = ReadAll(out);
        QVERIFY(conf.startsWith("Harbor Shop;"));
        QCOMPARE(conf.count(":S16.0E:") + conf.count(":S42.0E:"), 353);
        QVERIFY(conf.count(":S16.0E:") > 0);
        qunsetenv("XDG_CONFIG_HOME");
    }
};

QTEST_MAIN(ExportChannelsTest)
#include "export_channels_test.moc"
