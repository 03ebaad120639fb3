// The main window's settings file: read at start, written at close. A file
// that exists but cannot be read is reported and never overwritten; the
// settings then go to the user's own settings file.
#include <QFile>
#include <QMessageBox>

#include "command_guard.h"
#include "frm_main.h"
#include "qt_ui_port.h"
#include "settings.h"

namespace lumora {

namespace {

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

void ShowInformation(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, QtUiPort::KindTitle(MsgKind::Information), text);
}

}  // namespace

// False when there is no settings file yet. An unreadable one has been shown
// in an error box; the program then goes on with the zero settings, as when
// the first-run question is cancelled.
bool TfrmMain::LoadSettings()
{
    settingsSaveFile_ = paths_.settingsSaveFile.isEmpty() ? paths_.settingsFile : paths_.settingsSaveFile;
    bool loaded = false;
    TSettings read;
    if (RunCommand(this, [&] { loaded = LoadConfigData(LocalPath(paths_.settingsFile), read); })) {
        state_->Settings = read;
        return loaded;
    }
    unreadableSettings_ = paths_.settingsFile;
    settingsSaveFile_ = paths_.userSettingsFile == paths_.settingsFile ? QString() : paths_.userSettingsFile;
    return true;
}

void TfrmMain::SaveSettings()
{
    if (settingsSaveFile_.isEmpty()) {
        if (!unreadableSettings_.isEmpty())
            ShowInformation(this, tr("The settings were not saved: %1 could not be read.").arg(unreadableSettings_));
        return;
    }
    const bool saved =
        RunCommand(this, [this] { WriteConfigData(LocalPath(settingsSaveFile_), state_->Settings); });
    if (saved && !unreadableSettings_.isEmpty())
        ShowInformation(this, tr("The settings were saved to\n%1\nbecause\n%2\ncould not be read.")
                                  .arg(settingsSaveFile_, unreadableSettings_));
}

}  // namespace lumora
