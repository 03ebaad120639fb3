#include "service_order.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>

#include "channel_document.h"
#include "csv_table.h"
#include "edit_text.h"
#include "service_table_ops.h"

namespace lumora {

void ReorderServices(TChannelDatabase& db, const TNumbering& numbering, const std::vector<int32_t>& order)
{
    std::vector<int32_t> slots = order;
    std::sort(slots.begin(), slots.end());
    const TFavoriteTracker favorites(db, numbering);
    std::vector<TServiceItem> moved;
    for (const int32_t r : order)
        moved.push_back(db.ServiceInfo.pServiceInfo[std::size_t(r)]);
    std::vector<int32_t> newIndex(std::size_t(ServiceCount(db)));
    for (std::size_t r = 0; r < newIndex.size(); ++r)
        newIndex[r] = int32_t(r);
    for (std::size_t k = 0; k < order.size(); ++k) {
        db.ServiceInfo.pServiceInfo[std::size_t(slots[k])] = std::move(moved[k]);
        newIndex[std::size_t(order[k])] = slots[k];
    }
    favorites.Apply(db, [&newIndex](int r) { return newIndex[std::size_t(r)]; });
}

// ---------------------------------------------------------------------------
// Moving grid rows

namespace {

// Leading and trailing blanks and control characters go.
std::string Trim(std::string_view s)
{
    std::size_t first = 0, last = s.size();
    while (first < last && static_cast<unsigned char>(s[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(s[last - 1]) <= ' ')
        --last;
    return std::string(s.substr(first, last - first));
}

bool InFavoriteView(const ChannelDocument& doc)
{
    const TTreeNode* node = doc.Tree1.Selected();
    return node && TagKind(node->Tag) == kKindFavorite;
}

// The rows from the top down to the first that shows no service.
int32_t ListedRowCount(const ChannelDocument& doc)
{
    int32_t rows = 0;
    while (doc.RowService(rows + 1) >= 0)
        ++rows;
    return rows;
}

// A move among the rows that may move: `movable` grid rows top to bottom, the
// selected ones at positions first..first+count-1, going to position `to`
// among the others.
struct TRowMove {
    std::vector<int32_t> movable;
    int32_t first = 0;
    int32_t count = 0;
    int32_t to = 0;
};

// The movable rows in their new order.
std::vector<int32_t> MovedOrder(const TRowMove& move)
{
    std::vector<int32_t> rest = move.movable;
    const auto block = rest.begin() + move.first;
    std::vector<int32_t> selected(block, block + move.count);
    rest.erase(block, block + move.count);
    rest.insert(rest.begin() + move.to, selected.begin(), selected.end());
    return rest;
}

// The rows of the view that may move; empty with a message when the
// selection holds one that may not.
std::optional<TRowMove> PlanMove(ChannelDocument& doc)
{
    const int32_t rows = ListedRowCount(doc);
    const TGridSelection selection = doc.SG.Selection();
    if (rows == 0 || selection.Top < 1 || selection.Bottom > rows)
        return std::nullopt;
    const bool fixedNumbering = doc.Database().pFixServiceIndex && !InFavoriteView(doc);
    TRowMove move;
    for (int32_t row = 1; row <= rows; ++row) {
        const bool selected = row >= selection.Top && row <= selection.Bottom;
        const int32_t shown = doc.RowNumber(row);
        const bool fixed = fixedNumbering && shown >= 0 && doc.IsFixedDisplayedNumber(shown);
        if (fixed && selected) {
            doc.Ui().MessageBox(MsgKind::Information,
                                "Services with a fixed number keep their place.\rSelect only automatically numbered "
                                "services to move them.",
                                MsgButtons::Ok);
            return std::nullopt;
        }
        if (fixed)
            continue;
        if (selected && move.count++ == 0)
            move.first = int32_t(move.movable.size());
        move.movable.push_back(row);
    }
    return move;
}

// Carries out the new order of the movable rows in the tables or the list.
void ApplyRowOrder(ChannelDocument& doc, const std::vector<int32_t>& rows)
{
    TChannelDatabase& db = doc.Database();
    if (InFavoriteView(doc)) {
        TFavoriteItem& list = db.FavoriteInfo[doc.DisplayMode()][doc.Tree1.Selected()->Tag & 0xFFFFFF];
        std::vector<int32_t> entries;
        for (const int32_t row : rows)
            entries.push_back(list.Index[std::size_t(row - 1)]);
        std::copy(entries.begin(), entries.end(), list.Index.begin());
        return;
    }
    std::vector<int32_t> order;
    for (const int32_t row : rows)
        order.push_back(doc.RowService(row));
    ReorderServices(db, NumberingOf(db, doc.FlashType()), order);
}

bool CarryOut(ChannelDocument& doc, const TRowMove& move)
{
    if (move.to == move.first)
        return false;
    const std::vector<int32_t> rows = MovedOrder(move);
    doc.Edit("Move " + ServicesText(move.count), [&] { ApplyRowOrder(doc, rows); });
    const int32_t col = doc.SG.Col();
    const int32_t top = move.movable[std::size_t(move.to)];
    const int32_t bottom = move.movable[std::size_t(move.to + move.count - 1)];
    doc.SG.SetCurrent(col, top);
    doc.SG.SetSelection(top, bottom);
    return true;
}

}  // namespace

bool CanMoveListedRows(const ChannelDocument& doc)
{
    // With rows hidden by the filter, a move among the shown rows would put
    // services next to hidden ones the person never saw.
    const TTreeNode* node = doc.Tree1.Selected();
    return node && !doc.FilterActive() &&
           (TagKind(node->Tag) == kKindAllService || TagKind(node->Tag) == kKindFavorite);
}

bool MoveSelectedRows(ChannelDocument& doc, int32_t beforeRow)
{
    if (!CanMoveListedRows(doc))
        return false;
    std::optional<TRowMove> move = PlanMove(doc);
    if (!move || move->count == 0)
        return false;
    // The place among the rows that stay: how many of them stand above `beforeRow`.
    int32_t to = 0;
    for (std::size_t k = 0; k < move->movable.size(); ++k) {
        const bool selected = int32_t(k) >= move->first && int32_t(k) < move->first + move->count;
        if (!selected && move->movable[k] < beforeRow)
            ++to;
    }
    move->to = to;
    return CarryOut(doc, *move);
}

bool MoveSelectedRowsBy(ChannelDocument& doc, int32_t step)
{
    if (!CanMoveListedRows(doc))
        return false;
    std::optional<TRowMove> move = PlanMove(doc);
    if (!move || move->count == 0)
        return false;
    const int32_t others = int32_t(move->movable.size()) - move->count;
    move->to = std::clamp(move->first + step, 0, others);
    return CarryOut(doc, *move);
}

// ---------------------------------------------------------------------------
// Importing from CSV

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The columns an import reads, found by their headers.
struct TCsvColumns {
    int frequency = -1;
    int serviceId = -1;
    int name = -1;
};

TCsvColumns FindColumns(const TCsvRow& header)
{
    TCsvColumns columns;
    for (int i = 0; i < int(header.size()); ++i) {
        const std::string title = Lower(Trim(header[std::size_t(i)]));
        if (title == "frequency")
            columns.frequency = i;
        else if (title == "service id")
            columns.serviceId = i;
        else if (title == "service name")
            columns.name = i;
    }
    return columns;
}

// One data row as the matching reads it.
struct TCsvService {
    int line = 0;
    std::optional<uint32_t> frequency;
    std::optional<uint16_t> serviceId;
    std::optional<std::string> name;  // ISO 8859-1
    std::string fields;  // the row's fields as the file has them, for messages
};

// Whether `text` is UTF-8 text: well-formed sequences, no control
// characters besides tab and line breaks (a quoted field may span lines).
bool IsUtf8Text(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n')
            return false;
        if (byte < 0x80)
            continue;
        const std::size_t length = byte >= 0xF0 && byte <= 0xF4 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
        if (length == 0 || length > 4 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length - 1;
    }
    return true;
}

template <typename T>
std::optional<T> NumberField(const TCsvRow& row, int col)
{
    if (col < 0 || col >= int(row.size()))
        return std::nullopt;
    const std::string text = Trim(row[std::size_t(col)]);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 10)
        return std::nullopt;
    const unsigned long long value = std::stoull(text);
    if (value > std::numeric_limits<T>::max())
        return std::nullopt;
    return T(value);
}

Result<std::vector<TCsvService>> ReadCsvServices(std::string_view csv, bool needName)
{
    const Result<std::vector<TCsvRow>> parsed = ParseCsv(csv);
    if (!parsed)
        return parsed.status();
    const std::vector<TCsvRow>& rows = parsed.value();
    if (rows.empty())
        return Status::Failure("the file is empty");
    const TCsvColumns columns = FindColumns(rows[0]);
    const bool byStream = columns.frequency >= 0 && columns.serviceId >= 0;
    if (needName ? !(byStream && columns.name >= 0) : !(byStream || columns.name >= 0))
        return Status::Failure(needName ? "the header row names no \"Frequency\", \"Service ID\" and \"Service Name\" "
                                          "columns"
                                        : "the header row names neither \"Frequency\" and \"Service ID\" nor "
                                          "\"Service Name\" columns");
    std::vector<TCsvService> services;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const TCsvRow& row = rows[i];
        if (row.size() == 1 && row[0].empty())
            continue;  // a blank line
        for (const std::string& field : row)
            if (!IsUtf8Text(field))
                return Status::Failure("line " + std::to_string(i + 1) + ": the row is not UTF-8 text");
        TCsvService service{int(i + 1),
                            NumberField<uint32_t>(row, columns.frequency),
                            NumberField<uint16_t>(row, columns.serviceId),
                            std::nullopt,
                            {}};
        std::size_t shown = row.size();
        while (shown > 0 && Trim(row[shown - 1]).empty())
            --shown;  // empty trailing fields tell nothing
        for (std::size_t k = 0; k < shown; ++k)
            service.fields += (k == 0 ? "" : ", ") + row[k];
        if (columns.name >= 0 && columns.name < int(row.size())) {
            Result<std::string> name = Utf8ToLatin1(row[std::size_t(columns.name)]);
            if (!name)
                return Status::Failure("line " + std::to_string(i + 1) + ": " + name.message());
            service.name = std::move(name).value();
        }
        services.push_back(std::move(service));
    }
    return services;
}

std::string Describe(const TCsvService& row)
{
    // A row without a name is told by what it holds.
    if (Trim(row.name.value_or("")).empty())
        return "line " + std::to_string(row.line) + ": " + row.fields;
    std::string text = "line " + std::to_string(row.line) + ": " + Latin1ToUtf8(row.name.value_or(""));
    if (row.frequency && row.serviceId)
        text +=
            " (frequency " + std::to_string(*row.frequency) + ", service id " + std::to_string(*row.serviceId) + ")";
    return text;
}

// Finds the services of one type the rows name; each service is matched once.
class TServiceMatcher {
public:
    TServiceMatcher(const TChannelDatabase& db, std::vector<int32_t> candidates)
        : db_(db), candidates_(std::move(candidates)), taken_(candidates_.size(), false)
    {
    }

    // By stream frequency and service id, else by name; -1 when neither matches.
    int32_t Match(const TCsvService& row, bool byNameToo)
    {
        if (row.frequency && row.serviceId) {
            const int32_t r = Take([&](const TServiceItem& s) {
                return s.wServiceId == *row.serviceId && FrequencyOf(s) == std::optional<uint32_t>(*row.frequency);
            });
            if (r >= 0 || !byNameToo)
                return r;
        }
        if (!row.name)
            return -1;
        // Blanks at either end do not count: names ending in an extended
        // character carry a trailing blank in the tables.
        const std::string name = Trim(*row.name);
        return Take([&](const TServiceItem& s) { return Trim(s.szServiceName) == name; });
    }

    // The candidates no row named, in table order.
    std::vector<int32_t> Untaken() const
    {
        std::vector<int32_t> rest;
        for (std::size_t k = 0; k < candidates_.size(); ++k)
            if (!taken_[k])
                rest.push_back(candidates_[k]);
        return rest;
    }

private:
    std::optional<uint32_t> FrequencyOf(const TServiceItem& s) const
    {
        if (s.pTSIndex < 0 || s.pTSIndex >= std::min(db_.TSInfo.wTSNum, kTSCapacity))
            return std::nullopt;
        return db_.TSInfo.Info[std::size_t(s.pTSIndex)].SATTSInfo.dwFrequency;
    }

    template <typename Predicate>
    int32_t Take(const Predicate& matches)
    {
        for (std::size_t k = 0; k < candidates_.size(); ++k)
            if (!taken_[k] && matches(db_.ServiceInfo.pServiceInfo[std::size_t(candidates_[k])])) {
                taken_[k] = true;
                return candidates_[k];
            }
        return -1;
    }

    const TChannelDatabase& db_;
    std::vector<int32_t> candidates_;
    std::vector<bool> taken_;
};

// The services of `type` in table order.
std::vector<int32_t> ServicesOfType(const TChannelDatabase& db, uint8_t type)
{
    std::vector<int32_t> services;
    for (int32_t r = 0; r < ServiceCount(db); ++r)
        if (db.ServiceInfo.pServiceInfo[std::size_t(r)].ServiceType == type)
            services.push_back(r);
    return services;
}

// Reorders the services of `type` after `rows`; see ImportServiceOrder.
TOrderImportReport PlaceInRowOrder(TChannelDatabase& db, const TNumbering& numbering, uint8_t type,
                                   const std::vector<TCsvService>& rows)
{
    TServiceMatcher matcher(db, ServicesOfType(db, type));
    // Under fixed numbering, services with a fixed number keep their slots.
    const TServiceNumbering numbers(db, numbering);
    const auto movable = [&](int32_t r) { return !numbering.fixed || numbers.ShowsAutomaticNumber(r); };
    TOrderImportReport report;
    std::vector<int32_t> order;
    for (const TCsvService& row : rows) {
        const int32_t r = matcher.Match(row, true);
        if (r < 0) {
            report.Unmatched.push_back(Describe(row));
            continue;
        }
        if (movable(r))
            order.push_back(r);
        ++report.Matched;
    }
    for (const int32_t r : matcher.Untaken())
        if (movable(r))
            order.push_back(r);
    ReorderServices(db, numbering, order);
    return report;
}

}  // namespace

Result<TOrderImportReport> ImportServiceOrder(TChannelDatabase& db, const TNumbering& numbering, uint8_t type,
                                              std::string_view csv)
{
    const Result<std::vector<TCsvService>> rows = ReadCsvServices(csv, false);
    if (!rows)
        return rows.status();
    return PlaceInRowOrder(db, numbering, type, rows.value());
}

Result<TOrderImportReport> ImportServiceOrder(ChannelDocument& doc, std::string_view csv)
{
    const Result<std::vector<TCsvService>> rows = ReadCsvServices(csv, false);
    if (!rows)
        return rows.status();
    TOrderImportReport report;
    const uint8_t type = doc.DisplayMode();
    doc.Edit("Import Service Order", [&] {
        report = PlaceInRowOrder(doc.Database(), NumberingOf(doc.Database(), doc.FlashType()), type, rows.value());
    });
    return report;
}

Result<TOrderImportReport> ImportServiceNames(ChannelDocument& doc, std::string_view csv)
{
    const Result<std::vector<TCsvService>> read = ReadCsvServices(csv, true);
    if (!read)
        return read.status();
    const std::vector<TCsvService>& rows = read.value();
    TChannelDatabase& tables = doc.Database();
    TOrderImportReport report;
    doc.Edit("Import Service Names", [&] {
        TServiceMatcher matcher(tables, ServicesOfType(tables, doc.DisplayMode()));
        for (const TCsvService& row : rows) {
            const int32_t r = matcher.Match(row, false);
            if (r < 0) {
                report.Unmatched.push_back(Describe(row));
                continue;
            }
            std::string name = *row.name;
            TkEditText::ReplaceControlChar(name);
            doc.Service(r).szServiceName = name;
            ++report.Matched;
        }
    });
    return report;
}

}  // namespace lumora
