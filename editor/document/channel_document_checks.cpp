// Checking the document, fixing what is safe to fix and showing where a
// finding is.
#include <algorithm>

#include "channel_document.h"

namespace lumora {

std::vector<TFinding> ChannelDocument::CheckDocument() const
{
    return CheckDatabase(Database(), NumberingOf(Database(), FlashType()));
}

// The findings may be older than the data (the person edited since the
// check ran): only fixes of findings the data still show are applied.
int ChannelDocument::FixFindings(const std::vector<TFinding>& findings)
{
    std::vector<TFinding> current = CheckDocument();
    std::erase_if(current, [&findings](const TFinding& now) {
        return !now.HasFix() || std::none_of(findings.begin(), findings.end(), [&now](const TFinding& asked) {
            return asked.HasFix() && FindingLine(asked) == FindingLine(now);
        });
    });
    if (current.empty())
        return 0;
    int applied = 0;
    Edit(current.size() == 1 ? FixCaption(current.front()) : "Fix " + std::to_string(current.size()) + " findings",
         [&] { applied = ApplyFixes(Database(), NumberingOf(Database(), FlashType()), current); });
    return applied;
}

void ChannelDocument::ShowFinding(const TFinding& finding)
{
    // The finding's row may be one the filter hides: show every row again.
    if (FilterActive())
        SetFilterText("");
    if (finding.viewType == kServiceTypeTV || finding.viewType == kServiceTypeRadio)
        FR1Click(finding.viewType == kServiceTypeTV);
    if (finding.nodeTag == 0)
        return;
    // The All Service node is a root; every other finding names an entry below one.
    bool onRoot = TagKind(finding.nodeTag) == kKindAllService;
    TTreeNode* node = Tree1.Find(
        [&finding, onRoot](const TTreeNode& n) { return n.Tag == finding.nodeTag && (n.Level() == 0) == onRoot; });
    if (!node)
        return;
    SelectNode(node);
    int32_t row = finding.row;
    if (finding.service >= 0)
        for (int r = 1; r < SG.RowCount() && row < 0; ++r)
            if (RowService(r) == finding.service)
                row = r;
    if (row > 0 && row < SG.RowCount()) {
        SG.SetCurrent(kColName, row);
        SG.SetSelection(row, row);
    }
}

}  // namespace lumora
