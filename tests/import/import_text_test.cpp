// Names from other programs' files as the tables keep them, and orbital
// positions as files write them.
#include <gtest/gtest.h>

#include "import_formats.h"
#include "import_text.h"

namespace lumora {
namespace {

struct NameCase {
    const char* raw;
    TSourceText text;
    const char* stored;
    bool changed;
};

TEST(ImportText, NamesBecomeIso8859Names)
{
    const NameCase cases[] = {
        {"Das Erste HD", TSourceText::Utf8, "Das Erste HD", false},
        {"WDR D\xC3\xBCsseldorf", TSourceText::Utf8, "WDR D\xFCsseldorf", false},  // UTF-8 ü
        {"WDR D\xFCsseldorf", TSourceText::Utf8, "WDR D\xFCsseldorf", false},  // not UTF-8: Latin-1
        {"M\xC3\xBCnchen", TSourceText::Latin1,
         "M\xC3\xBC"
         "nchen",
         false},  // declared Latin-1
        {"\xD0\x9F\xD0\xB5\xD1\x80\xD0\xB2\xD1\x8B\xD0\xB9", TSourceText::Utf8, "??????", true},  // Cyrillic
        {"\xE2\x80\xA2\xE2\x80\xA2 UHD", TSourceText::Utf8, "?? UHD", true},  // bullets
        {"\xC2\x86"
         "BBC\xC2\x87 One",
         TSourceText::Utf8, "BBC One", true},  // DVB emphasis codes
        {"  padded  ", TSourceText::Utf8, "padded", false},
        {"Caf\xC3\xA9", TSourceText::Utf8, "Caf\xE9 ", false},  // ends above 127: the reader's blank
        {"123456789012345678901234567890", TSourceText::Utf8, "123456789012345678901234567890", false},
        {"1234567890123456789012345678901", TSourceText::Utf8, "123456789012345678901234567890", true},
        {"12345678901234567890123456789 X", TSourceText::Utf8, "12345678901234567890123456789", true},
        {"1234567890123456789012345678\xC3\xA9", TSourceText::Utf8, "1234567890123456789012345678\xE9 ", false},
        {"", TSourceText::Utf8, "", false},
    };
    for (const NameCase& c : cases) {
        const TImportedName name = ImportServiceName(c.raw, c.text);
        EXPECT_EQ(name.name, c.stored) << c.raw;
        EXPECT_EQ(name.changed, c.changed) << c.raw;
    }
    EXPECT_EQ(Latin1ToUtf8("D\xFCsseldorf"), "D\xC3\xBCsseldorf");
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));  // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE2\x80"));  // cut short
}

TEST(ImportText, PositionsAndFileNames)
{
    EXPECT_EQ(ParsePosition("19.2E"), 192);
    EXPECT_EQ(ParsePosition("30.0W"), -300);
    EXPECT_EQ(ParsePosition("5W"), -50);
    EXPECT_EQ(ParsePosition("180.0E"), 1800);
    EXPECT_EQ(ParsePosition("180.1E"), std::nullopt);
    EXPECT_EQ(ParsePosition("19.25E"), std::nullopt);
    EXPECT_EQ(ParsePosition("19.2N"), std::nullopt);
    EXPECT_EQ(ParsePosition("E"), std::nullopt);
    for (int32_t p : {0, 1, -1, 192, -300, 1800, -1800})
        EXPECT_EQ(ParsePosition(PositionText(p)), p);
    EXPECT_EQ(PositionFromFileName("Hotbird-13.0E"), 130);
    EXPECT_EQ(PositionFromFileName("Eutelsat5_5.0W"), -50);
    EXPECT_EQ(PositionFromFileName("de-Kabel_BW"), std::nullopt);
}

TEST(ImportText, FormatIsRecognisedFromContent)
{
    const std::pair<const char*, TImportFormat> cases[] = {
        {"<?xml version=\"1.0\"?>\n<satellites>", TImportFormat::SatellitesXml},
        {"<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<!-- c --><cables>", TImportFormat::CablesXml},
        {"# table\n[CHANNEL]\n\tDELIVERY_SYSTEM = DVBS\n", TImportFormat::Dvbv5},
        {"# one-line\nS 11778000 V 27500000 3/4\n", TImportFormat::OneLine},
        {"[date]\n2022-03-11\n[dvb-s/Astra-19.2E]\n", TImportFormat::ScanFile},
        {":ARD\nDas Erste;ARD:11836:HC34M2S0:S19.2E:27500:101=2:102=deu:104:0:28106:1:1101:0\n",
         TImportFormat::VdrChannels},
        {"ZDF:11954:HC34M2S0:S19.2E:27500:110:120:130:0:28006\n", TImportFormat::VdrChannels},  // no NID, TID, RID
        {"eDVB services /4/\ntransponders\n", TImportFormat::Lamedb},
        {"eDVB services /5/\n# Transponders:\n", TImportFormat::Lamedb},
        {"just some text\n", TImportFormat::Unknown},
        {"", TImportFormat::Unknown},
    };
    for (const auto& [text, format] : cases)
        EXPECT_EQ(DetectImportFormat(text), format) << text;
}

}  // namespace
}  // namespace lumora
