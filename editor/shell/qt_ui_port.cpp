#include "qt_ui_port.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <algorithm>
#include <stdexcept>

#include "command_guard.h"
#include "dialogs/frm_antenna.h"
#include "dialogs/frm_finding.h"
#include "dialogs/frm_menu_config.h"
#include "dialogs/frm_qam_ts_setting.h"
#include "dialogs/frm_service_select.h"
#include "dialogs/frm_ts_setting.h"
#include "shell_text.h"

namespace lumora {

namespace {

QMessageBox::Icon KindIcon(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Warning: return QMessageBox::Warning;
    case MsgKind::Error: return QMessageBox::Critical;
    case MsgKind::Information: return QMessageBox::Information;
    case MsgKind::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// Runs `dialog` modally; its result only when closed with OK.
template <typename TakeResult>
auto ResultOnOk(QDialog& dialog, TakeResult takeResult) -> std::optional<decltype(takeResult())>
{
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return takeResult();
}

}  // namespace

QString QtUiPort::KindTitle(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Warning: return QStringLiteral("Warning");
    case MsgKind::Error: return QStringLiteral("Error");
    case MsgKind::Information: return QStringLiteral("Information");
    case MsgKind::Confirmation: return QStringLiteral("Confirm");
    }
    return QString();
}

QString QtUiPort::DisplayText(const std::string& text)
{
    QString shown = MessageText(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar('\r'), QChar('\n'));
    shown.replace(QChar(u'\0'), QChar(u' '));  // a NUL of a name would end the text on screen
    return shown;
}

MsgResult QtUiPort::MessageBox(MsgKind kind, const std::string& text, MsgButtons buttons)
{
    QMessageBox box(KindIcon(kind), KindTitle(kind), DisplayText(text),
                    buttons == MsgButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                    m_parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(buttons == MsgButtons::OkCancel ? QMessageBox::Cancel : QMessageBox::Ok);
    // Only an explicit OK counts as OK; closing the box is a Cancel.
    return box.exec() == QMessageBox::Ok ? MsgResult::Ok : MsgResult::Cancel;
}

void QtUiPort::ShowFailure(const std::string& text) { ShowErrorBox(m_parent, MessageText(text)); }

bool QtUiPort::InputQuery(const std::string& caption, const std::string& prompt, std::string& value)
{
    bool accepted = false;
    // The query asks for a name of the database: single-byte text.
    const QString typed = QInputDialog::getText(m_parent, NameText(caption), NameText(prompt), QLineEdit::Normal,
                                                NameText(value), &accepted);
    if (!accepted)
        return false;
    value = NameBytes(typed);
    return true;
}

TApplicationState& QtUiPort::State() const
{
    if (!m_state)
        throw std::logic_error("QtUiPort: no application state for the dialogs");
    return *m_state;
}

std::optional<TAntennaSetting> QtUiPort::ShowAntennaDialog(const TAntennaSetting& antenna)
{
    TfrmAntenna dialog(State(), m_parent);
    dialog.InitData(antenna);
    return ResultOnOk(dialog, [&] { return dialog.Result(); });
}

std::optional<TStreamDialogResult> QtUiPort::ShowTSSettingDialog(const TTSItem& ts, const TNetworkInfo& networks)
{
    TfrmTSSetting dialog(m_parent);
    dialog.InitData(ts, networks);
    return ResultOnOk(dialog, [&] { return dialog.Result(); });
}

std::optional<TTSItem> QtUiPort::ShowQAMTSSettingDialog(const TTSItem& ts)
{
    TfrmQAMTSSetting dialog(m_parent);
    dialog.InitData(ts);
    return ResultOnOk(dialog, [&] { return dialog.Result(); });
}

std::optional<std::vector<TServiceChoice>> QtUiPort::ShowServiceSelectDialog(uint8_t serviceType,
                                                                             const TServiceInfo& services,
                                                                             const std::vector<int32_t>& opNumbers)
{
    const TServiceSelectNumbering numbering{!opNumbers.empty(), opNumbers};
    TfrmServiceSelect dialog(m_parent);
    dialog.InitData(serviceType, services, numbering);
    return ResultOnOk(dialog, [&] { return dialog.Chosen(); });
}

std::optional<TMenuDialogResult> QtUiPort::ShowMenuConfigDialog(const TMenuConfigItem& item,
                                                                const TMenuLanguageNames& names)
{
    TfrmMenuConfig dialog(State(), m_parent);
    dialog.MenuStr = names.MenuStr;
    dialog.AudioStr = names.AudioStr;
    dialog.SubStr = names.SubStr;
    dialog.InitData(item);
    return ResultOnOk(dialog, [&] { return dialog.Result(); });
}

std::optional<TReplaceNamesRequest> QtUiPort::ShowReplaceNamesDialog(int32_t selected, int32_t listed)
{
    TfrmReplaceNames dialog(selected, listed, m_parent);
    return ResultOnOk(dialog, [&] { return dialog.Result(); });
}

std::optional<DuplicateKey> QtUiPort::ShowRemoveDuplicatesDialog()
{
    TfrmRemoveDuplicates dialog(m_parent);
    return ResultOnOk(dialog, [&] { return dialog.Result(); });
}

}  // namespace lumora
