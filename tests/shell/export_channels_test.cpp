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

// Clicks the entry `text` of a menu bar or menu; the submenu it opens.
template <typename Menu>
QMenu* ClickSubmenu(Menu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            return action->menu();
        }
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
                            "[SYSTEMINFO]\r\nMODEL=0\r\n[ANTENNA LANGUAGE]\r\nCOUNT=8\r\n"
                            "LANGUAGE 3=EUTELSAT W2\r\nLANGUAGE 7=TURKSAT 1C\r\n",
                            LibraryPath());
        QVERIFY(window->OpenDocument(sample));

        QMenu* file = ClickSubmenu(window->menuBar(), QStringLiteral("&File"));
        QVERIFY(file);
        QTRY_VERIFY(file->isVisible());
        QMenu* exports = ClickSubmenu(file, QStringLiteral("&Export"));
        QVERIFY(exports);
        QTRY_VERIFY(exports->isVisible());

        const QString out = dir.filePath(QStringLiteral("sample.conf"));
        ModalAnswers answers;
        answers.FileDialog(out);
        answers.MessageBox(QMessageBox::Ok);
        QTest::mouseClick(exports, Qt::LeftButton, {}, exports->actionGeometry(window->ExportChannels).center());
        QTRY_COMPARE(answers.Pending(), 0);
        QCOMPARE(answers.unexpected, 0);
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Exported sample.conf: 353 services"));
        QVERIFY(answers.seenTexts.last().contains(QStringLiteral("not part of VDR's channels.conf")));

        const QByteArray conf = ReadAll(out);
        QVERIFY(conf.startsWith("Harbor Shop;"));
        QCOMPARE(conf.count(":S16.0E:"), 210);  // antenna 1, "EUTELSAT W2"
        QCOMPARE(conf.count(":S42.0E:"), 143);  // antenna 2, "TURKSAT 1C"
    }
};

QTEST_MAIN(ExportChannelsTest)
#include "export_channels_test.moc"
