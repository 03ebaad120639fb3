// Helpers of the tests that drive the real main window and document windows
// on channel-data files.
#pragma once

#include <QApplication>
#include <QFile>
#include <QString>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeWidget>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "conversion_binding.h"
#include "frm_child.h"
#include "frm_main.h"
#include "grid/k_string_grid.h"
#include "shell_text.h"

namespace lumora::test {

// The conversion library beside the test program.
inline QString LibraryPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/") + kConversionLibraryFileName;
}

// The sample database as a channel-data file at `path`, made by the conversion library.
inline bool MakeSampleDnf(const QString& path)
{
    ConversionLibrary library(LibraryPath().toStdString());
    const std::string text = std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt";
    return library.DnfToV3Dnf(text, PathBytes(path)).ok();
}

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool HasServiceNamed(TfrmChild* doc, const std::string& name)
{
    for (int32_t i = 0; i < doc->Document().ServiceCount(); ++i)
        if (doc->Document().Service(i).szServiceName == name)
            return true;
    return false;
}

// Fills `child` with the sample database, read from a copy in `folder`.
inline void LoadSample(TfrmChild& child, const QString& folder)
{
    const QString copy = folder + QStringLiteral("/sample.txt");
    QFile::remove(copy);
    QFile::copy(QStringLiteral(LUMORA_EXAMPLES_DIR "/sample.txt"), copy);
    ChannelDocument& doc = child.Document();
    doc.InitAllData();
    QVERIFY(doc.ParsingDataFile(copy.toStdString()));
    doc.LoadTreeValue();
    doc.MarkSaved();  // as opened from a file
}

// Types `text` into grid cell (col, 1) as a person does: a click on the cell,
// then the keys; the first key opens the cell's editor, no Enter at the end.
inline void TypeIntoCell(TfrmChild* doc, int col, const QString& text)
{
    const QRect cell = doc->SG->visualRect(doc->SG->CellIndex(col, 1));
    QTest::mouseClick(doc->SG->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::keyClick(doc->SG, text.at(0).toLatin1());
    QTest::keyClicks(QApplication::focusWidget(), text.mid(1));
}

// The main window with these paths, shown and active.
inline std::unique_ptr<TfrmMain> StartMainWindow(const TMainWindowPaths& paths)
{
    auto window = std::make_unique<TfrmMain>(paths);
    window->resize(1200, 800);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the main window did not become active");
    return window;
}

// The main window with `settingsFile` and `library`, shown and active.
inline std::unique_ptr<TfrmMain> StartMainWindow(const QString& settingsFile, const QString& library)
{
    return StartMainWindow(TMainWindowPaths{settingsFile, library});
}

// Types a new name into the first service's name cell and ends the edit with Enter.
inline void RenameFirstService(TfrmChild* doc, const QString& name)
{
    doc->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(doc->window()));
    TypeIntoCell(doc, kColName, name);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

// Ctrl+S on the main window, made active first.
inline void PressSave(TfrmMain& window)
{
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
}

// The main window on a settings file at `settingsFile` written with `content` first.
inline std::unique_ptr<TfrmMain> StartMainWindow(const QString& settingsFile, const QByteArray& content,
                                                 const QString& library)
{
    QFile settings(settingsFile);
    if (settings.open(QIODevice::WriteOnly))
        settings.write(content);
    settings.close();
    return StartMainWindow(settingsFile, library);
}

// The names the grid lists, top to bottom.
inline std::vector<std::string> GridNames(TfrmChild* doc)
{
    std::vector<std::string> names;
    for (int row = 1; row < doc->Document().SG.RowCount(); ++row)
        names.push_back(doc->Document().SG.Cell(kColName, row));
    return names;
}

// A click on grid cell (col, row), as a person gives it.
inline void ClickCell(TfrmChild* doc, int col, int row, Qt::KeyboardModifiers modifiers = {},
                      Qt::MouseButton button = Qt::LeftButton)
{
    const QRect cell = doc->SG->visualRect(doc->SG->CellIndex(col, row));
    QTest::mouseClick(doc->SG->viewport(), button, modifiers, cell.center());
}

// The main window with model 0 configured in `dir`, and a copy of the sample
// named `name` opened in a maximised document window (null when it did not open).
inline TfrmChild* OpenSampleInMainWindow(const QString& dir, const QString& name, std::unique_ptr<TfrmMain>& window)
{
    const QString file = dir + QLatin1Char('/') + name;
    if (!MakeSampleDnf(file))
        return nullptr;
    window =
        StartMainWindow(dir + QStringLiteral("/LV32.cfg"), "[SYSTEMINFO]\r\nMODEL=0\r\nCOMPORT=0\r\n", LibraryPath());
    TfrmChild* doc = window->OpenDocument(file);
    if (doc)
        doc->parentWidget()->showMaximized();
    return doc;
}

// Clicks the check box of `item` as a person would.
inline void ClickCheckBox(QTreeWidget* tree, QTreeWidgetItem* item)
{
    QStyleOptionViewItem option;
    option.initFrom(tree);
    option.rect = tree->visualItemRect(item);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());
}

}  // namespace lumora::test
