// Merging another database into the document.
#include "channel_document.h"
#include "document_merge.h"

namespace lumora {

TMergeReport ChannelDocument::MergeFrom(const TMergeSource& source, const TMergeOptions& options,
                                        const TIdentityRules& rules)
{
    return MergeIntoDocument(*this, source, options, rules);
}

}  // namespace lumora
