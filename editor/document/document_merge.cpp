#include "document_merge.h"

#include <memory>

#include "channel_document.h"
#include "service_numbering.h"

namespace lumora {

std::string MergeEditLabel(const TMergeReport& report, const std::string& sourceName)
{
    return "Merge " + ServicesText(report.ServicesMerged()) + " from " + sourceName;
}

TMergeReport MergeIntoDocument(TDocumentData& data, const TMergeSource& source, const TMergeOptions& options,
                               const TIdentityRules& rules)
{
    auto merged = std::make_unique<TChannelDatabase>();
    const TDatabaseSide target{data.Database(), NumberingOf(data.Database(), data.FlashType())};
    TMergeReport report = MergeDatabases(target, source, options, rules, merged.get());
    if (report.Fits())
        data.Edit(MergeEditLabel(report, source.name), [&] { data.Database() = std::move(*merged); });
    return report;
}

}  // namespace lumora
