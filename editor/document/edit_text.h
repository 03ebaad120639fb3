// The text model of the service-name edit box (TkEdit). The box keeps the
// stored bytes in OrgText and shows every byte 0x80..0xFF as a blank, so the
// visible text and OrgText correspond position for position. The widget that
// wraps this model only forwards keys, selection changes and clipboard
// requests; all text changes happen here.
#pragma once

#include <cstddef>
#include <string>

namespace lumora {

// Keys that DeleteStr handles.
enum class EditDeleteKey { Backspace, Delete };
// Keys that may move the grid's current cell out of the in-place name editor.
enum class EditNavKey { Tab, Left, Right, Up, Down };

class TkEditText {
public:
    // OrgText: the text as stored, extended bytes included.
    const std::string& GetText() const { return OrgText; }
    // Sets OrgText and the visible text; the caret goes to the start.
    void SetText(const std::string& s);
    // The in-place editor takes the cell text with all of it selected.
    void StartEdit(const std::string& cellText)
    {
        SetText(cellText);
        SelectAll();
    }
    // Whether a key ends the in-place edit and moves to another cell: Tab when
    // the grid navigates with Tab, Left at the start and Right at the end of
    // the text with nothing selected, Up and Down always.
    bool LeavesEditor(EditNavKey key, bool gridTabNavigation) const;
    // What the box shows.
    const std::string& VisibleText() const { return visible_; }

    // Every byte 0x80..0xFF becomes a blank.
    static void ReplaceExtendChar(std::string& s);
    // Names never keep a TAB, CR, LF or end-of-file byte: each becomes a blank.
    static void ReplaceControlChar(std::string& s);

    // Selection as 1-based positions (the platform's 0-based start and end + 1).
    void GetSel(int& start, int& stop) const;
    void SetSel(int start, int stop);
    // 0-based selection as the platform edit holds it; the caret is at its end.
    std::size_t SelStart() const { return selStart_; }
    std::size_t SelEnd() const { return selEnd_; }
    bool HasSelection() const { return selStart_ != selEnd_; }
    void SelectAll() { SetSelection0(0, OrgText.size()); }

    // The selected part of OrgText (stored bytes, not blanks).
    std::string GetSelText() const;

    // Backspace or Delete applied to OrgText.
    void DeleteStr(EditDeleteKey key);
    // A typed character code. 0, Ctrl+C, Ctrl+V, Ctrl+X, Backspace and Enter
    // change nothing; anything else replaces the selection.
    void KeyPress(unsigned char ch);

    // Clipboard operations: Copy and Cut return the text for the clipboard.
    std::string Copy() const { return GetSelText(); }
    std::string Cut();
    void Paste(const std::string& clipboardText);

private:
    void SetSelection0(std::size_t start, std::size_t end);
    void ReplaceSelection(const std::string& text);
    void SyncVisible();

    std::string OrgText;
    std::string visible_;
    std::size_t selStart_ = 0;
    std::size_t selEnd_ = 0;
};

}  // namespace lumora
