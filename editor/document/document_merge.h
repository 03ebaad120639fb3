// A merge into an open document: one undoable edit named after what it
// brings ("Merge 312 services from astra.dnf"), through the document's edit.
#pragma once

#include "database_merge.h"
#include "document_data.h"

namespace lumora {

// Merges `source` into the document's data as one edit, only when the merge
// fits; the report tells what it did or why it did nothing.
TMergeReport MergeIntoDocument(TDocumentData& data, const TMergeSource& source, const TMergeOptions& options,
                               const TIdentityRules& rules);

// The name of the edit: "Merge 312 services from astra.dnf".
std::string MergeEditLabel(const TMergeReport& report, const std::string& sourceName);

}  // namespace lumora
