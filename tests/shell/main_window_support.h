// Helpers of the tests that drive the real main window on channel-data files.
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QtTest>
#include <memory>
#include <string>

#include "conversion_binding.h"
#include "frm_child.h"
#include "frm_main.h"
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
    std::string error;
    const std::string text = std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt";
    return library.DnfToV3Dnf(text, PathBytes(path), error);
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

// The main window with `settingsFile` and `library`, shown and active.
inline std::unique_ptr<TfrmMain> StartMainWindow(const QString& settingsFile, const QString& library)
{
    auto window = std::make_unique<TfrmMain>(TMainWindowPaths{settingsFile, library});
    window->resize(1200, 800);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the main window did not become active");
    return window;
}

}  // namespace lumora::test
