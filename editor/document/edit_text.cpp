#include "edit_text.h"

#include <algorithm>

namespace lumora {

void TkEditText::SetText(const std::string& s)
{
    OrgText = s;
    SyncVisible();
    selStart_ = selEnd_ = 0;
}

bool TkEditText::LeavesEditor(EditNavKey key, bool gridTabNavigation) const
{
    switch (key) {
    case EditNavKey::Tab: return gridTabNavigation;
    case EditNavKey::Left: return !HasSelection() && selEnd_ == 0;
    case EditNavKey::Right: return !HasSelection() && selEnd_ == OrgText.size();
    case EditNavKey::Up:
    case EditNavKey::Down: return true;
    }
    return false;
}

void TkEditText::ReplaceExtendChar(std::string& s)
{
    for (char& c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            c = ' ';
}

void TkEditText::ReplaceControlChar(std::string& s)
{
    for (char& c : s)
        if (c == '\t' || c == '\r' || c == '\n' || c == '\x1A')
            c = ' ';
}

void TkEditText::GetSel(int& start, int& stop) const
{
    start = int(selStart_) + 1;
    stop = int(selEnd_) + 1;
}

void TkEditText::SetSel(int start, int stop)
{
    SetSelection0(std::size_t(std::max(start - 1, 0)), std::size_t(std::max(stop - 1, 0)));
}

void TkEditText::SetSelection0(std::size_t start, std::size_t end)
{
    // Like the platform edit: positions beyond the text are clipped, a
    // reversed range is normalised.
    start = std::min(start, OrgText.size());
    end = std::min(end, OrgText.size());
    selStart_ = std::min(start, end);
    selEnd_ = std::max(start, end);
}

std::string TkEditText::GetSelText() const { return OrgText.substr(selStart_, selEnd_ - selStart_); }

void TkEditText::DeleteStr(EditDeleteKey key)
{
    if (HasSelection()) {
        ReplaceSelection("");
        return;
    }
    std::size_t caret = selEnd_;
    if (key == EditDeleteKey::Backspace) {
        if (caret == 0)
            return;
        OrgText.erase(caret - 1, 1);
        caret -= 1;
    } else {
        if (caret >= OrgText.size())
            return;
        OrgText.erase(caret, 1);
    }
    SyncVisible();
    selStart_ = selEnd_ = caret;
}

void TkEditText::KeyPress(unsigned char ch)
{
    switch (ch) {
    case 0:
    case 3:
    case 8:
    case 13:
    case 22:
    case 24: return;
    default: break;
    }
    std::string typed(1, static_cast<char>(ch));
    ReplaceControlChar(typed);
    ReplaceSelection(typed);
}

std::string TkEditText::Cut()
{
    std::string taken = GetSelText();
    ReplaceSelection("");
    return taken;
}

void TkEditText::Paste(const std::string& clipboardText)
{
    std::string text = clipboardText;
    ReplaceControlChar(text);
    ReplaceSelection(text);
}

// Replaces the selected bytes (or inserts at the caret) and puts the caret
// right after the new text.
void TkEditText::ReplaceSelection(const std::string& text)
{
    OrgText.replace(selStart_, selEnd_ - selStart_, text);
    SyncVisible();
    selStart_ = selEnd_ = selStart_ + text.size();
}

void TkEditText::SyncVisible()
{
    visible_ = OrgText;
    ReplaceExtendChar(visible_);
}

}  // namespace lumora
