// The main window's settings file: read at start, written at close. A file
// that exists but cannot be read is reported and never overwritten; the
// settings then go to the user's own settings file.
#include <QMessageBox>

#include "frm_main.h"
#include "qt_ui_port.h"
#include "settings.h"
#include "shell_text.h"

namespace lumora {

namespace {

enum class SettingsRead { Found, Missing, Unreadable };

// Reads the settings file at `path` into `settings`. One that exists but
// cannot be read is shown in an error box and changes nothing.
SettingsRead ReadSettingsFile(UiPort& ui, const QString& path, TSettings& settings)
{
    const Result<std::optional<TSettings>> read = LoadConfigData(PathBytes(path));
    if (!ReportFailure(ui, read.status()))
        return SettingsRead::Unreadable;
    if (!read.value())
        return SettingsRead::Missing;
    settings = *read.value();
    return SettingsRead::Found;
}

void ShowInformation(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, QtUiPort::KindTitle(MsgKind::Information), text);
}

}  // namespace

// False when there is no settings file yet. An unreadable one has been shown
// in an error box and is left alone; the program goes on with what it saved
// in the user's own file last time, or else with the zero settings, as when
// the first-run question is cancelled.
bool TfrmMain::LoadSettings()
{
    settingsSaveFile_ = paths_.settingsSaveFile.isEmpty() ? paths_.settingsFile : paths_.settingsSaveFile;
    const SettingsRead read = ReadSettingsFile(*ui_, paths_.settingsFile, state_->Settings);
    if (read != SettingsRead::Unreadable)
        return read == SettingsRead::Found;
    unreadableSettings_ = paths_.settingsFile;
    settingsSaveFile_ = paths_.userSettingsFile == paths_.settingsFile ? QString() : paths_.userSettingsFile;
    if (!settingsSaveFile_.isEmpty() &&
        ReadSettingsFile(*ui_, settingsSaveFile_, state_->Settings) == SettingsRead::Unreadable)
        settingsSaveFile_.clear();
    return true;
}

void TfrmMain::SaveSettings()
{
    if (settingsSaveFile_.isEmpty()) {
        if (!unreadableSettings_.isEmpty())
            ShowInformation(this, tr("The settings were not saved: %1 could not be read.").arg(unreadableSettings_));
        return;
    }
    const bool saved = ReportFailure(*ui_, WriteConfigData(PathBytes(settingsSaveFile_), state_->Settings));
    if (saved && !unreadableSettings_.isEmpty())
        ShowInformation(this, tr("The settings were saved to\n%1\nbecause\n%2\ncould not be read.")
                                  .arg(settingsSaveFile_, unreadableSettings_));
}

}  // namespace lumora
