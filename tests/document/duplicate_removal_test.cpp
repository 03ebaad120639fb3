// Remove Duplicate Services on ordinary (flash type 0) and fixed (flash type
// 4) numbering: each group keeps its first service, favorite entries of the
// removed ones name the kept one afterwards (once per list), the whole removal
// is one edit with a summary, and one undo restores the tables.
#include <gtest/gtest.h>

#include "scripted_ui.h"
#include "service_numbering.h"

using namespace lumora;
using namespace lumora::test;

namespace {

// A port that answers the duplicates dialog with `key` and records messages.
class DuplicatesUi : public NonInteractiveUiPort {
public:
    explicit DuplicatesUi(std::vector<std::string>& messages)
        : NonInteractiveUiPort([&messages](const std::string& text) { messages.push_back(text); })
    {
    }
    std::optional<DuplicateKey> ShowRemoveDuplicatesDialog() override { return key; }
    DuplicateKey key = DuplicateKey::StreamAndServiceId;
};

// Per TV list A, TV list B and radio list A: the names the entries name.
std::vector<std::vector<std::string>> FavoriteNames(const ChannelDocument& doc)
{
    const TChannelDatabase& db = doc.Database();
    const TServiceNumbering keys(db, NumberingOf(db, doc.FlashType()));
    std::vector<std::vector<std::string>> lists;
    for (auto [group, list] : {std::pair{0, 0}, std::pair{0, 1}, std::pair{1, 0}}) {
        std::vector<std::string> names;
        const TFavoriteItem& f = db.FavoriteInfo[group][list];
        for (int k = 0; k < f.wIndexNum; ++k) {
            const int32_t r = keys.ServiceOfKey(group, f.Index[std::size_t(k)]);
            names.push_back(r < 0 ? "(none)" : db.ServiceInfo.pServiceInfo[std::size_t(r)].szServiceName);
        }
        lists.push_back(names);
    }
    return lists;
}

std::vector<std::string> ServiceNames(const ChannelDocument& doc)
{
    std::vector<std::string> names;
    for (int32_t r = 0; r < doc.ServiceCount(); ++r)
        names.push_back(doc.Service(r).szServiceName);
    return names;
}

struct DuplicateCase {
    uint8_t flashType;
    DuplicateKey key;
    std::vector<std::string> kept;
    std::vector<std::vector<std::string>> favorites;
    std::string undoLabel;
    std::string summary;
};

}  // namespace

TEST(RemoveDuplicates, KeepsTheFirstOfEachGroupAndMovesFavoritesToIt)
{
    const std::vector<std::string> oneHdKidsTail = {"Nova One",  "Nova Kids", "Nova Kids",
                                                    "Nova Kids", "Radio A",   "Tail"};
    const std::vector<std::string> byName = {"Nova One", "Nova Kids", "Nova One HD", "Nova Kids", "Radio A", "Tail"};
    const std::vector<DuplicateCase> cases = {
        {0,
         DuplicateKey::StreamAndServiceId,
         oneHdKidsTail,
         {{"Nova One", "Tail"}, {"Nova One"}, {"Radio A"}},
         "Remove 2 duplicates",
         "Removed 2 services:\rNova One HD and Nova One"},
        {4,
         DuplicateKey::StreamAndServiceId,
         oneHdKidsTail,
         {{"Nova One", "Tail"}, {"Nova One"}, {"Radio A"}},
         "Remove 2 duplicates",
         "Removed 2 services:\rNova One HD and Nova One"},
        {0,
         DuplicateKey::NameAndStream,
         byName,
         {{"Nova One HD", "Tail", "Nova One"}, {"Nova One"}, {"Radio A"}},
         "Remove 2 duplicates",
         "Removed 2 services:\rNova Kids and Nova One"},
        {4,
         DuplicateKey::NameAndStream,
         byName,
         {{"Nova One HD", "Tail", "Nova One"}, {"Nova One"}, {"Radio A"}},
         "Remove 2 duplicates",
         "Removed 2 services:\rNova Kids and Nova One"},
    };
    for (const DuplicateCase& c : cases) {
        SCOPED_TRACE("flash type " + std::to_string(c.flashType) +
                     (c.key == DuplicateKey::NameAndStream ? " name" : " id"));
        std::vector<std::string> messages;
        DuplicatesUi ui(messages);
        ui.key = c.key;
        TApplicationState app;
        app.Settings.SystemInfo.FLASHTYPE = c.flashType;
        ChannelDocument doc(app, ui);
        doc.InitAllData();
        TChannelDatabase& db = doc.Database();
        ASSERT_EQ(db.pFixServiceIndex, c.flashType == 4);
        db.TSInfo.wTSNum = 2;
        // name, stream, service id, fixed number
        const std::tuple<const char*, int32_t, uint16_t, uint16_t, uint8_t> services[] = {
            {"Nova One", 0, 400, 0, kServiceTypeTV},    {"Nova Kids", 0, 401, 7, kServiceTypeTV},
            {"Nova One HD", 0, 400, 0, kServiceTypeTV}, {"Nova Kids", 1, 401, 0, kServiceTypeTV},
            {"Nova Kids", 0, 999, 0, kServiceTypeTV},   {"Nova One", 0, 400, 0, kServiceTypeTV},
            {"Radio A", 0, 500, 0, kServiceTypeRadio},  {"Tail", 0, 402, 0, kServiceTypeTV},
        };
        for (const auto& [name, ts, sid, number, type] : services) {
            TServiceItem& s = db.ServiceInfo.pServiceInfo[std::size_t(db.ServiceInfo.Count())];
            s.szServiceName = name;
            s.pTSIndex = ts;
            s.wServiceId = sid;
            s.wServiceNumber = c.flashType == 4 ? number : 0;
            s.ServiceType = type;
            (type == kServiceTypeTV ? db.ServiceInfo.wTVNum : db.ServiceInfo.wRadioNum)++;
        }
        const TServiceNumbering keys(db, NumberingOf(db, c.flashType));
        auto add = [&](int group, int list, int r) {
            TFavoriteItem& f = db.FavoriteInfo[group][list];
            f.Index[std::size_t(f.wIndexNum++)] = keys.KeyOf(r);
        };
        for (int r : {2, 7, 0, 5})
            add(0, 0, r);
        add(0, 1, 5);
        add(1, 0, 6);
        doc.MarkSaved();
        const TChannelDatabase before = db;

        doc.RemoveDuplicates();

        EXPECT_EQ(ServiceNames(doc), c.kept);
        EXPECT_EQ(FavoriteNames(doc), c.favorites);
        EXPECT_EQ(db.ServiceInfo.wTVNum, 5);
        EXPECT_EQ(db.ServiceInfo.wRadioNum, 1);
        EXPECT_EQ(doc.UndoLabel(), c.undoLabel);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], c.summary);
        doc.Undo();
        EXPECT_TRUE(SameStoredData(doc.Database(), before));
        EXPECT_FALSE(doc.CanUndo());
        EXPECT_FALSE(doc.pModifiedFlag());
    }
}
