#include "service_cleanup.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <tuple>

#include "edit_text.h"
#include "service_table_ops.h"

namespace lumora {

namespace {

unsigned char FoldByte(unsigned char c)
{
    const bool asciiCapital = c >= 'A' && c <= 'Z';
    const bool latin1Capital = c >= 0xC0 && c <= 0xDE && c != 0xD7;
    return asciiCapital || latin1Capital ? static_cast<unsigned char>(c + 0x20) : c;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(const std::string& text)
{
    std::size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// The number a text of digits stands for; nothing for other texts. Too many
// digits for any field give -1, which matches nothing.
std::optional<int64_t> DigitsValue(const std::string& text)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > 0xFFFFFFFF)
        return -1;
    return value;
}

}  // namespace

std::string FoldLatin1Case(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
    return text;
}

TRowFilter::TRowFilter(const std::string& text)
{
    const std::string trimmed = TrimBlanks(text);
    active_ = !trimmed.empty();
    number_ = DigitsValue(trimmed);
    foldedText_ = FoldLatin1Case(text);
}

bool TRowFilter::Matches(const TServiceItem& s, const std::string& shownNumber) const
{
    if (!active_)
        return true;
    if (number_) {
        const int64_t n = *number_;
        int64_t shown = -2;
        std::from_chars(shownNumber.data(), shownNumber.data() + shownNumber.size(), shown);
        return n == shown || n == s.wServiceId || n == s.wVideoPID || n == s.wAudioPID || n == s.wPCRPID ||
               n == (s.wPmtPID & 0x7FFF);
    }
    return FoldLatin1Case(s.szServiceName).find(foldedText_) != std::string::npos;
}

int ReplaceInServiceNames(TChannelDatabase& db, std::span<const int32_t> realIndices, const std::string& find,
                          std::string replace)
{
    if (find.empty())
        return 0;
    TkEditText::ReplaceControlChar(replace);  // a TAB or line end would break the interchange file
    std::vector<int32_t> services(realIndices.begin(), realIndices.end());
    std::sort(services.begin(), services.end());
    services.erase(std::unique(services.begin(), services.end()), services.end());
    int changed = 0;
    for (int32_t r : services) {
        if (r < 0 || r >= ServiceCount(db))
            continue;
        std::string& name = db.ServiceInfo.pServiceInfo[std::size_t(r)].szServiceName;
        std::string result;
        std::size_t from = 0;
        for (std::size_t at = name.find(find); at != std::string::npos; at = name.find(find, from)) {
            result.append(name, from, at - from).append(replace);
            from = at + find.size();
        }
        if (from == 0)
            continue;  // no occurrence
        result.append(name, from);
        if (result != name) {
            name = std::move(result);
            ++changed;
        }
    }
    return changed;
}

TDuplicateRemoval RemoveDuplicateServices(TChannelDatabase& db, const TNumbering& numbering, DuplicateKey key)
{
    const int n = ServiceCount(db);
    auto& services = db.ServiceInfo.pServiceInfo;
    // keptOf[r]: the first service equal to r (r itself when it is the first).
    std::vector<int> keptOf(static_cast<std::size_t>(n));
    std::map<std::tuple<int32_t, uint16_t, std::string>, int> firstOfKey;
    for (int r = 0; r < n; ++r) {
        const TServiceItem& s = services[std::size_t(r)];
        const auto groupKey = key == DuplicateKey::StreamAndServiceId
                                  ? std::make_tuple(s.pTSIndex, s.wServiceId, std::string())
                                  : std::make_tuple(s.pTSIndex, uint16_t(0), s.szServiceName);
        keptOf[std::size_t(r)] = firstOfKey.try_emplace(groupKey, r).first->second;
    }

    TDuplicateRemoval result;
    const TFavoriteTracker favorites(db, numbering);
    std::vector<int> newIndex(std::size_t(n), -1);
    int write = 0;
    for (int r = 0; r < n; ++r) {
        TServiceItem& s = services[std::size_t(r)];
        if (keptOf[std::size_t(r)] != r) {
            result.RemovedNames.push_back(s.szServiceName);
            (s.ServiceType == kServiceTypeTV ? db.ServiceInfo.wTVNum : db.ServiceInfo.wRadioNum)--;
            continue;
        }
        newIndex[std::size_t(r)] = write;
        if (write != r)
            services[std::size_t(write)] = std::move(s);
        ++write;
    }
    if (result.Removed() > 0) {
        for (int r = write; r < n; ++r)
            services[std::size_t(r)] = TServiceItem{};
        favorites.Apply(db, [&](int old) { return newIndex[std::size_t(keptOf[std::size_t(old)])]; });
    }
    return result;
}

std::string ShortNameList(const std::vector<std::string>& names, std::size_t shown)
{
    std::string text;
    const std::size_t listed = std::min(names.size(), shown);
    for (std::size_t i = 0; i < listed; ++i) {
        if (i > 0)
            text += i + 1 == names.size() ? " and " : ", ";
        text += names[i].empty() ? std::string("(no name)") : names[i];
    }
    if (names.size() > listed)
        text += " and " + std::to_string(names.size() - listed) + " more";
    return text;
}

}  // namespace lumora
