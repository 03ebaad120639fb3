// One open channel document: its data (TDocumentData), what its window shows
// of them (TDocumentView), and the commands that edit the data and then
// bring the view up to date. The editor's document window renders the view
// and forwards its events to the handlers here, which keep the names of the
// window events they serve.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app_state.h"
#include "database_checks.h"
#include "database_merge.h"
#include "document_data.h"
#include "document_view.h"
#include "records.h"
#include "ui_port.h"

namespace lumora {

// What reading a file into the document gives back: success or the reason it
// failed, the notices raised on the way in their order, and the favorite
// numbering the interchange text records, if it records one.
struct [[nodiscard]] TDocumentRead {
    Status status;
    std::vector<TNotice> notices;
    std::optional<FavoriteNumbering> numbering;

    explicit operator bool() const { return status.ok(); }
    const std::string& message() const { return status.message(); }
};

// How a command shows a read: each notice in its own box, then the failure.
// Returns whether the read succeeded.
bool ReportRead(UiPort& ui, const TDocumentRead& outcome);

// "1 service", "12 services": how edit names count services.
std::string ServicesText(int32_t count);

class ChannelDocument : public TDocumentData, public TDocumentView {
public:
    // Creates the document with an empty database and an empty grid (the
    // window's FormCreate).
    ChannelDocument(TApplicationState& app, UiPort& ui);
    ~ChannelDocument();

    UiPort& Ui() { return ui_; }

    // Undo and redo restore the data exactly; tree and grid follow them as
    // after any edit, with the selection kept where the restored data allow.
    // The TV/RADIO view stays as it is.
    void Undo();
    void Redo();

    // Document state beside the tables.
    bool pState = false;  // no file name yet: Save acts as Save As
    std::string Caption;  // full path, or "untitle<n>.dnf" / "upload<n>.dnf"

    // Document files. InitAllData and ParsingDataFile live here; the others
    // are defined with the conversion-library binding (document_files.cpp).
    // Each of those returns its failure with the file and the reason, and
    // what it has to tell besides, for the command to show: the document
    // shows nothing itself. A failed open leaves the document empty for its
    // window to be closed, a failed save leaves caption, pState, the saved
    // data and the file as they were.
    void InitAllData();
    TDocumentRead OpenDataFile(const std::string& FileName, bool IsNew);
    TDocumentRead LoadDataFile(const std::string& FileName);
    TDocumentRead OpenFileFromUpload(const std::string& Name, bool State);
    Status SaveDataFile(const std::string& FileName);
    // Opens a copy kept for recovery as a new unsaved document named
    // `NewCaption`: Save asks for a name, and it counts as modified.
    TDocumentRead OpenRecoveredFile(const std::string& FileName, const std::string& NewCaption);
    // Writes the data to `FileName` as Save does but leaves the document's
    // name and modified state alone.
    Status WriteCopy(const std::string& FileName) const;
    // Reads the interchange file at `path` into the tables, then deletes it.
    // Table-full messages come back as error notices; a stopped read fails
    // with its message, keeping what was read before it stopped.
    TDocumentRead ParsingDataFile(const std::string& path);
    void FormCloseQuery(bool& CanClose);

    // "Config Menudata": the menu defaults go to the dialog and come back on OK.
    void FlatButton2Click();
    // The end of a cell edit in row ARow: the whole row is written back.
    // A number that does not parse throws EConvertError after the columns
    // to its left were stored.
    void SGSetEditText(int32_t ACol, int32_t ARow, const std::string& Value);

    // Information menu of the tree (PopupMenu1), on the selected node.
    void Edit1Click();
    void AddInformation1Click();
    void DeleteInformation1Click();
    // Remove one table entry and repair every link to it.
    void DeleteTS(int32_t index);
    void DeleteNetwork(int32_t index);
    void DeleteProvider(int32_t index);
    // Entries of the change submenus; `entryName` is the entry's name ("A12").
    void MyTSClick(const std::string& entryName);
    void MyNetClick(const std::string& entryName);
    void MyPrvClick(const std::string& entryName);

    // Service menu of the grid (PopupMenu2).
    void AddInformation2Click();
    void DeleteInformation2Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void DeleteServiceMulti(int32_t topRow, int32_t count);
    void DeleteFavorite(uint8_t type, int32_t value);
    void DeleteFavoriteMultiInFavorite(int32_t topRow, int32_t count);
    void SwapRealIndex(int32_t rowA, int32_t rowB);
    bool CheckServiceForDownload();

    // Checks of the whole database (database_checks.h) under this document's
    // numbering.
    std::vector<TFinding> CheckDocument() const;
    // Applies the fixes of those `findings` that the data still show, as one
    // edit; returns how many were applied.
    int FixFindings(const std::vector<TFinding>& findings);
    // Shows a finding's place: its tree node, its TV/radio view and its row.
    void ShowFinding(const TFinding& finding);

    // Merges `source` as one edit (document_merge.h) and shows the result.
    TMergeReport MergeFrom(const TMergeSource& source, const TMergeOptions& options, const TIdentityRules& rules);

    // Sorting by the current cell's column, in the direction SortType keeps.
    void BtnSortAClick();
    void BtnSortZClick();
    // Locale-aware, case-sensitive text comparison used by sorting (negative,
    // 0, positive). `SortKey`, when set, maps a text to a byte string whose
    // plain comparison gives the same order; sorting then uses it.
    std::function<int(const std::string&, const std::string&)> Collate;
    std::function<std::string(const std::string&)> SortKey;

    // Edit > Replace in Names: one edit over the selected or all listed services.
    void ReplaceInNames();
    // Edit > Remove Duplicate Services: one edit over the whole table.
    void RemoveDuplicates();

private:
    // The services of the selected rows, or of every listed row.
    std::vector<int32_t> ListedRealIndices(bool selectedOnly) const;
    void WriteRowBack(TServiceItem& service, int32_t row);
    void SortServices(bool ascending);
    void SortRows(int32_t col, bool ascending);
    // Exchanges the services of two grid rows. `slots` is the numbering of
    // the table slots: computed here when empty, kept while exchanges leave
    // it valid, emptied after one that does not. A sort passes the same one
    // to all of its exchanges.
    void ExchangeRowServices(int32_t rowA, int32_t rowB, std::optional<TServiceNumbering>& slots);
    bool AddServiceToTS(uint32_t ts);
    bool AddSelectedServicesTo(uint32_t kind, uint32_t index);
    void SetGenreOf(const std::vector<TServiceChoice>& chosen, uint8_t genre);
    void AddToFavoriteList(const std::vector<TServiceChoice>& chosen, uint8_t mode, int32_t index);
    std::vector<int32_t> SelectionOPNumbers() const;
    void SelectAddedNode(TTreeNode* selected);
    void RenameNode(uint32_t kind, int32_t index);
    void EditTransportStream(int32_t index);
    void ReassignSelectedRows(const std::string& entryName, const std::string& what,
                              const std::function<void(TServiceItem&, int32_t)>& assign);

    UiPort& ui_;
};

}  // namespace lumora
