// Everything the document asks of a person goes through this interface: the
// editor implements it with message boxes and dialogs, tests with scripted
// answers, command-line tools by printing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "records.h"
#include "service_cleanup.h"
#include "status.h"

namespace lumora {

enum class MsgKind { Warning, Error, Information, Confirmation };
enum class MsgButtons { Ok, OkCancel };
enum class MsgResult { Ok, Cancel };

// A message for the person that a reader raised on the way (a full table, a
// renumbering): the command shows it once the reading is over.
struct TNotice {
    MsgKind kind = MsgKind::Information;
    std::string text;
    bool operator==(const TNotice&) const = default;
};

// What the stream dialog gives back: the stream and the record of its network.
struct TStreamDialogResult {
    TTSItem Stream;
    TNetworkItem Network;
};

// A row chosen in the service selection dialog: the number shown in its first
// column (minus 1 under fixed numbering) and the service's table index.
struct TServiceChoice {
    int32_t ShownNumber = 0;
    int32_t TableIndex = 0;
};

// The language names last chosen in the menu configuration dialog; the
// document keeps them beside the record, files do not store them.
struct TMenuLanguageNames {
    std::string MenuStr, AudioStr, SubStr;
    bool operator==(const TMenuLanguageNames&) const = default;
};

struct TMenuDialogResult {
    TMenuConfigItem Item;
    TMenuLanguageNames Names;
};

// What the Replace in Names dialog gives back.
struct TReplaceNamesRequest {
    std::string Find;
    std::string Replace;
    bool SelectedOnly = true;  // else every listed service
};

class UiPort {
public:
    virtual ~UiPort() = default;

    // A modal message box; "\r" in `text` marks a line break.
    virtual MsgResult MessageBox(MsgKind kind, const std::string& text, MsgButtons buttons) = 0;

    // The failure a reader or writer returned (a file that cannot be read or
    // written, a missing library), shown as the program shows every error of
    // the system: an error box, by default the same as MessageBox's.
    virtual void ShowFailure(const std::string& text) { MessageBox(MsgKind::Error, text, MsgButtons::Ok); }

    // The modal text query box: `value` holds the initial text and receives the
    // typed one. Returns false when the person cancels.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;

    // Information dialogs, modal, given their data as InitData receives it.
    // Each returns its result when closed with OK and nothing otherwise; the
    // caller applies the result.
    virtual std::optional<TAntennaSetting> ShowAntennaDialog(const TAntennaSetting& antenna) = 0;
    virtual std::optional<TStreamDialogResult> ShowTSSettingDialog(const TTSItem& ts, const TNetworkInfo& networks) = 0;
    virtual std::optional<TTSItem> ShowQAMTSSettingDialog(const TTSItem& ts) = 0;
    // `opNumbers` holds the OP number of every service by table index when the
    // document numbers services by OP number, and is empty otherwise.
    virtual std::optional<std::vector<TServiceChoice>>
    ShowServiceSelectDialog(uint8_t serviceType, const TServiceInfo& services,
                            const std::vector<int32_t>& opNumbers) = 0;
    virtual std::optional<TMenuDialogResult> ShowMenuConfigDialog(const TMenuConfigItem& item,
                                                                  const TMenuLanguageNames& names) = 0;

    // Finding and cleaning dialogs; a port without them cancels.
    virtual std::optional<TReplaceNamesRequest> ShowReplaceNamesDialog(int32_t /*selected*/, int32_t /*listed*/)
    {
        return {};
    }
    virtual std::optional<DuplicateKey> ShowRemoveDuplicatesDialog() { return {}; }
};

// How a command shows the failure a reader or writer returned: one error box
// with the reason. Returns whether `status` is a success.
inline bool ReportFailure(UiPort& ui, const Status& status)
{
    if (!status)
        ui.ShowFailure(status.message());
    return status.ok();
}

// For batch work, benchmarks and tests with nobody to ask: every message box
// is answered OK (its text handed to `onMessage` when given), every query and
// dialog is cancelled.
class NonInteractiveUiPort : public UiPort {
public:
    explicit NonInteractiveUiPort(std::function<void(const std::string&)> onMessage = {})
        : onMessage_(std::move(onMessage))
    {
    }

    MsgResult MessageBox(MsgKind, const std::string& text, MsgButtons) override
    {
        if (onMessage_)
            onMessage_(text);
        return MsgResult::Ok;
    }
    bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
    std::optional<TAntennaSetting> ShowAntennaDialog(const TAntennaSetting&) override { return {}; }
    std::optional<TStreamDialogResult> ShowTSSettingDialog(const TTSItem&, const TNetworkInfo&) override { return {}; }
    std::optional<TTSItem> ShowQAMTSSettingDialog(const TTSItem&) override { return {}; }
    std::optional<std::vector<TServiceChoice>> ShowServiceSelectDialog(uint8_t, const TServiceInfo&,
                                                                       const std::vector<int32_t>&) override
    {
        return {};
    }
    std::optional<TMenuDialogResult> ShowMenuConfigDialog(const TMenuConfigItem&, const TMenuLanguageNames&) override
    {
        return {};
    }

private:
    std::function<void(const std::string&)> onMessage_;
};

}  // namespace lumora
