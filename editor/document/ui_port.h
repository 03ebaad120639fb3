// Everything the document asks of a person goes through this interface: the
// editor implements it with message boxes and dialogs, tests with scripted
// answers, command-line tools by printing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumora {

struct TAntennaSetting;
struct TTSItem;
struct TNetworkInfo;
struct TServiceInfo;

enum class MsgKind { Warning, Error, Information, Confirmation };
enum class MsgButtons { Ok, OkCancel };
enum class MsgResult { Ok, Cancel };

class UiPort {
public:
    virtual ~UiPort() = default;

    // A modal message box; "\r" in `text` marks a line break.
    virtual MsgResult MessageBox(MsgKind kind, const std::string& text, MsgButtons buttons) = 0;

    // The modal text query box: `value` holds the initial text and receives the
    // typed one. Returns false when the person cancels.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;

    // Information dialogs, modal, given their data as InitData receives it.
    // Each returns true when closed with OK; the result is then in the
    // application's result records: AntennaResult; TSResult and NetworkResult
    // (item 0 each); TSResult; ServiceSelectionResult.
    virtual bool ShowAntennaDialog(const TAntennaSetting& antenna) = 0;
    virtual bool ShowTSSettingDialog(const TTSItem& ts, const TNetworkInfo& networks) = 0;
    virtual bool ShowQAMTSSettingDialog(const TTSItem& ts) = 0;
    // `opNumbers` holds the OP number of every service by table index when the
    // document numbers services by OP number, and is empty otherwise.
    virtual bool ShowServiceSelectDialog(uint8_t serviceType, const TServiceInfo& services,
                                         const std::vector<int32_t>& opNumbers) = 0;
};

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
    bool ShowAntennaDialog(const TAntennaSetting&) override { return false; }
    bool ShowTSSettingDialog(const TTSItem&, const TNetworkInfo&) override { return false; }
    bool ShowQAMTSSettingDialog(const TTSItem&) override { return false; }
    bool ShowServiceSelectDialog(uint8_t, const TServiceInfo&, const std::vector<int32_t>&) override { return false; }

private:
    std::function<void(const std::string&)> onMessage_;
};

}  // namespace lumora
