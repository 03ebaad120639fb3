// What every import reader must give back on any input: on failure no data
// at all, on success services on streams that exist, names within 30 bytes,
// and lists of services that exist. Anything else traps.
#pragma once

#include <cstddef>

#include "import_data.h"

inline void CheckImportResult(const lumora::Status& status, const lumora::TImportData& read)
{
    if (!status) {
        if (!read.streams.empty() || !read.services.empty() || !read.report.notes.empty())
            __builtin_trap();
        return;
    }
    for (const lumora::TImportService& service : read.services)
        if (service.stream < 0 || std::size_t(service.stream) >= read.streams.size() ||
            service.service.szServiceName.size() > 30)
            __builtin_trap();
    for (const lumora::TImportList& list : read.lists)
        for (int32_t index : list.services)
            if (index < 0 || std::size_t(index) >= read.services.size())
                __builtin_trap();
}
