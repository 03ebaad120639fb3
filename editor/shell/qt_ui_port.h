// The document's questions to a person, answered with Qt message boxes, the
// text query box and the information dialogs, parented to the window that
// asks. A dialog closed with OK hands back what it holds; any other close
// gives nothing.
#pragma once

#include <QPointer>
#include <QString>
#include <optional>
#include <vector>

#include "app_state.h"
#include "ui_port.h"

class QWidget;

namespace lumora {

class QtUiPort : public UiPort {
public:
    // The antenna and menu dialogs list names from the settings in `state`;
    // without it they report a programming error (std::logic_error) instead
    // of showing.
    explicit QtUiPort(QWidget* parent = nullptr, TApplicationState* state = nullptr) : m_parent(parent), m_state(state)
    {
    }

    void SetParent(QWidget* parent) { m_parent = parent; }
    QWidget* Parent() const { return m_parent; }
    void SetApplicationState(TApplicationState* state) { m_state = state; }

    MsgResult MessageBox(MsgKind kind, const std::string& text, MsgButtons buttons) override;
    // As the general error handler shows an error: titled with the program's name.
    void ShowFailure(const std::string& text) override;
    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;

    std::optional<TAntennaSetting> ShowAntennaDialog(const TAntennaSetting& antenna) override;
    std::optional<TStreamDialogResult> ShowTSSettingDialog(const TTSItem& ts, const TNetworkInfo& networks) override;
    std::optional<TTSItem> ShowQAMTSSettingDialog(const TTSItem& ts) override;
    std::optional<std::vector<TServiceChoice>> ShowServiceSelectDialog(uint8_t serviceType,
                                                                       const TServiceInfo& services,
                                                                       const std::vector<int32_t>& opNumbers) override;
    std::optional<TMenuDialogResult> ShowMenuConfigDialog(const TMenuConfigItem& item,
                                                          const TMenuLanguageNames& names) override;
    std::optional<TReplaceNamesRequest> ShowReplaceNamesDialog(int32_t selected, int32_t listed) override;
    std::optional<DuplicateKey> ShowRemoveDuplicatesDialog() override;

    // The message text as shown: ISO 8859-1 bytes, "\r" (with or without a
    // following "\n") as a line break.
    static QString DisplayText(const std::string& text);
    // The box title of each kind.
    static QString KindTitle(MsgKind kind);

private:
    TApplicationState& State() const;

    QPointer<QWidget> m_parent;
    TApplicationState* m_state = nullptr;
};

}  // namespace lumora
