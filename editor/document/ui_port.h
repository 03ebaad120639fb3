// Everything the document asks of a person goes through this interface: the
// editor implements it with message boxes and dialogs, tests with scripted
// answers, command-line tools by printing.
#pragma once

#include <string>

namespace lumora {

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
};

}  // namespace lumora
