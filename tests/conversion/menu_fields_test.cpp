// The menu record's one field list against the three files that write and
// read the record by it.
#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

#include "dnf_format.h"
#include "interchange.h"
#include "menu_fields.h"
#include "raw_image.h"
#include "test_support.h"

namespace lumora::conv {
namespace {

// Each listed field holds its position in the list (1, 2, ...); the low-byte
// fields hold 0x1000 more, so that cutting them to a byte shows.
TMenuConfigItem NumberedMenu()
{
    TMenuConfigItem m;
    uint32_t position = 0;
    ForEachMenuField(m, [&position](auto& field, MenuFieldCarried carried) {
        ++position;
        field = static_cast<std::remove_reference_t<decltype(field)>>(
            carried == MenuFieldCarried::LowByte ? 0x1000 + position : position);
    });
    return m;
}

// What a file that carries only the 44 interchange fields gives back.
TMenuConfigItem AsCarried(TMenuConfigItem m)
{
    ForEachMenuField(m, [](auto& field, MenuFieldCarried carried) {
        if (carried == MenuFieldCarried::BinaryOnly)
            field = 0;
        else if (carried == MenuFieldCarried::LowByte)
            field &= 0xFF;
    });
    return m;
}

TMenuConfigItem ThroughDnf(const TChannelDatabase& db)
{
    auto back = std::make_unique<TChannelDatabase>();
    std::string reason;
    EXPECT_TRUE(DecodeDnf(EncodeDnf(db), *back, reason)) << reason;
    return back->MenuConfigItem;
}

TMenuConfigItem ThroughRawImage(const TChannelDatabase& db)
{
    const RawImageInfo info{3, 4, 1};
    auto back = std::make_unique<TChannelDatabase>();
    InitDatabase(*back, info.flashType);
    std::string reason;
    EXPECT_TRUE(DecodeRawImage(EncodeRawImage(db, info), info, *back, reason)) << reason;
    return back->MenuConfigItem;
}

TMenuConfigItem ThroughInterchangeText(const TChannelDatabase& db)
{
    return test::ReadText(WriteInterchange(db, {.substituteUserDateAndPin = false}))->MenuConfigItem;
}

TEST(MenuFieldList, EachFileCarriesTheListedFieldsInOrder)
{
    auto db = test::SmallDatabase();
    db->MenuConfigItem = NumberedMenu();

    struct Row {
        const char* file;
        std::function<TMenuConfigItem(const TChannelDatabase&)> roundTrip;
        TMenuConfigItem expected;
    };
    const Row rows[] = {
        {"channel-data file", ThroughDnf, db->MenuConfigItem},
        {"raw image", ThroughRawImage, AsCarried(db->MenuConfigItem)},
        {"interchange text", ThroughInterchangeText, AsCarried(db->MenuConfigItem)},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.roundTrip(*db), row.expected) << row.file;

    // The menu line: list positions 3..42 and 49..52, the version, checksum
    // and upgrade fields (1, 2, 43..48) left out, the symbol rates in full.
    std::string text = WriteInterchange(*db, {.substituteUserDateAndPin = false});
    std::string line = "\r\n";
    for (int position = 3; position <= 52; ++position) {
        if (position > 42 && position < 49)
            continue;
        bool symbolRate = position >= 33 && position <= 36;
        line += std::to_string(symbolRate ? 0x1000 + position : position) + (position == 52 ? "\r\n" : "\t");
    }
    EXPECT_TRUE(text.ends_with(std::string(kMenuHeader) + line)) << text.substr(text.rfind(kMenuHeader));
}

}  // namespace
}  // namespace lumora::conv
