// Everything the document asks of a person goes through this interface: the
// editor implements it with message boxes and dialogs, tests with scripted
// answers, command-line tools by printing.
#pragma once

#include <cstdint>
#include <string>

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
    virtual bool ShowServiceSelectDialog(uint8_t serviceType, const TServiceInfo& services) = 0;
};

}  // namespace lumora
