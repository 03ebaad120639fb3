// The configuration-script parser, through the library as an outside caller
// sees it (ddfenc loads encdll12) and in process for the values it stores.
#include <gtest/gtest.h>

#include <string>

#include "encode12.h"
#include "encoder.h"
#include "test_support.h"

namespace {

using enctest::ScratchDir;

struct ScriptError {
    const char* name;
    std::string script;
    std::string output;  // everything the library prints
};

const std::string kHeader = "[header\nid = 1\nver = 2\n]\n";

std::string Report(int line, const std::string& text, const std::string& message)
{
    return "line#" + std::to_string(line) + ": " + text + "\n>>> " + message + " <<<\n";
}

std::vector<ScriptError> ScriptErrors()
{
    const std::string longLine(79, 'x');
    std::string manyLists = kHeader;
    for (int i = 0; i < 127; ++i)
        manyLists += "[data\nfile=\"a\"\ntype=flash\ncompression=no\naddress=0\n]\n";
    manyLists += "[data\n";
    const int manyListsLine = 4 + 127 * 6 + 1;
    return {
        {"too long line", ". ok\n" + longLine + "\n", Report(2, longLine, "Too long line")},
        {"too long last line", longLine, Report(1, longLine, "Too long line")},
        {"bracket inside list", "[header\n[data\n", Report(2, "[data", "'[' duplicated")},
        {"header twice", kHeader + "\n[HEADER\n", Report(6, "[HEADER", "Header duplicated")},
        {"128th data list", manyLists, Report(manyListsLine, "[data", "Too many data list")},
        {"unknown list word", "\t[ footer\n", Report(1, "\t[ footer", "Invalid list type")},
        {"bracket alone", "  [  \n", Report(1, "  [  ", "Syntax error")},
        {"close without open", ". c\n\n]\n", Report(3, "]", "No match '['")},
        {"header without id", "[header\nver=1\n]\n", Report(3, "]", "Not defined ID")},
        {"header without ver", "[header\nid=1\n]\n", Report(3, "]", "Not defined VER")},
        {"data without file", kHeader + "[data\ntype=flash\n]\n", Report(7, "]", "Not defined FILE")},
        {"data without type", kHeader + "[data\nfile=\"a\"\ncompression=no\n]\n", Report(8, "]", "Not defined TYPE")},
        {"data without compression", kHeader + "[data\nfile=\"a\"\ntype=flash\naddress=0\n]\n",
         Report(9, "]", "Not defined COMPRESSION")},
        {"data without address", kHeader + "[data\nfile=\"a\"\ntype=flash\ncompression=no\n]\n",
         Report(9, "]", "Not defined ADDRESS")},
        {"id twice", "[header\nid=1\nID = 2\n", Report(3, "ID = 2", "ID duplicated")},
        {"e_id twice", "[header\ne_id=1\ne_id=2\n", Report(3, "e_id=2", "ID duplicated")},
        {"ver twice", "[header\nver=1\nver=1\n", Report(3, "ver=1", "VER duplicated")},
        {"ver zero", "[header\nver = 0\n", Report(2, "ver = 0", "Invalver VER")},
        {"ver too big", "[header\nver = 65536\n", Report(2, "ver = 65536", "Invalver VER")},
        {"file twice", kHeader + "[data\nfile=\"a\"\nfile=\"b\"\n", Report(7, "file=\"b\"", "FILE duplicated")},
        {"type twice", kHeader + "[data\ntype=flash\ntype=loader\n", Report(7, "type=loader", "TYPE duplicated")},
        {"compression twice", kHeader + "[data\ncompression=no\ncompression=yes\n",
         Report(7, "compression=yes", "COMPRESSION duplicated")},
        {"address twice", kHeader + "[data\naddress=1\naddress=2\n", Report(7, "address=2", "ADDRESS duplicated")},
        {"unknown type", kHeader + "[data\ntype = rom\n", Report(6, "type = rom", "Invalid TYPE")},
        {"unknown compression", kHeader + "[data\ncompression = maybe\n",
         Report(6, "compression = maybe", "Invalid COMPRESSION")},
        {"key outside list", "id = 1\n", Report(1, "id = 1", "List is not started")},
        {"key without =", "[header\nid 5\n", Report(2, "id 5", "Syntax error")},
        {"key without value", "[header\nid =   \n", Report(2, "id =   ", "Syntax error")},
        {"negative number", "[header\nid = -1\n", Report(2, "id = -1", "Syntax error")},
        {"dollar without digits", "[header\nid = $\n", Report(2, "id = $", "Syntax error")},
        {"longer key word", "[header\nidentity = 5\n", Report(2, "identity = 5", "Syntax error")},
        {"unknown data key", kHeader + "[data\nname = demo\n", Report(6, "name = demo", "Syntax error")},
        {"path without quotes", kHeader + "[data\nfile = a.bin\n", Report(6, "file = a.bin", "Syntax error")},
        {"path not closed", kHeader + "[data\nfile = \"a.bin\n", Report(6, "file = \"a.bin", "Syntax error")},
        {"address not a number", kHeader + "[data\naddress = x\n", Report(6, "address = x", "Syntax error")},
        {"no header", ". nothing here\n", ">>> No header <<<\n"},
        {"empty script", "", ">>> No header <<<\n"},
    };
}

// Also parsed from memory, which must report exactly the same.
TEST(ScriptParser, EveryErrorIsReportedWithItsLineThroughTheLibrary)
{
    ScratchDir dir;
    const std::string image = dir.Path("image.ddf");
    for (const ScriptError& c : ScriptErrors()) {
        SCOPED_TRACE(c.name);
        enctest::WriteFile(dir.Path("s.cfg"), c.script);
        enctest::WriteFile(image, "previous image");
        int status = 0;
        const std::string out =
            enctest::RunCommand(std::string(DDFENC_EXE) + " " + dir.Path("s.cfg") + " " + image, status);
        EXPECT_EQ(out, c.output);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(enctest::ReadBytes(image).size(), 14u) << "a script error must leave the image path alone";
        int result = 1;
        EXPECT_EQ(enctest::CaptureStdout([&] { result = encoder::AnalysisCfgText(c.script.data(), c.script.size()); }),
                  c.output)
            << "the same script in memory";
        EXPECT_EQ(result, 0);
    }
}

TEST(ScriptParser, MissingScriptIsNotFound)
{
    ScratchDir dir;
    const std::string script = dir.Path("none.cfg");
    int status = 0;
    const std::string out =
        enctest::RunCommand(std::string(DDFENC_EXE) + " " + script + " " + dir.Path("o.ddf"), status);
    EXPECT_EQ(out, "\"" + script + "\": Not found\n");
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(enctest::FileExists(dir.Path("o.ddf")));
    // A directory cannot be read as a script either.
    EXPECT_EQ(enctest::CaptureStdout([&] { EXPECT_EQ(encoder::EncodeParameter(dir.Dir().c_str(), "x"), 0); }),
              "\"" + dir.Dir() + "\": Not found\n");
}

// Parses a script in process and returns what was printed.
std::string Parse(const ScratchDir& dir, const std::string& script, int& result)
{
    enctest::WriteFile(dir.Path("p.cfg"), script);
    return enctest::CaptureStdout([&] { result = encoder::AnalysisCfg(dir.Path("p.cfg").c_str()); });
}

TEST(ScriptParser, NumberForms)
{
    ScratchDir dir;
    const struct {
        const char* value;
        uint32_t id;
    } cases[] = {{"0x1F", 0}, {"$1F", 31}, {"$1f", 31}, {"31abc", 31}, {"4294967296", 0}, {"$1FFFFFFFF", 0xFFFFFFFF},
                 {"007", 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        int result = 0;
        EXPECT_EQ(Parse(dir, std::string("[header\nID = ") + c.value + "\nver=1\n]\n", result), "");
        EXPECT_EQ(result, 1);
        EXPECT_EQ(encoder::_id, c.id);
        EXPECT_EQ(encoder::_idEnd, c.id) << "e_id defaults to id when the header closes";
    }
}

TEST(ScriptParser, WordsMatchAsPrefixesWithoutCase)
{
    ScratchDir dir;
    int result = 0;
    const std::string script =
        "  . comment\r\n[HEADERS\r\n\tId=$10 trailing\r\n  E_ID =\t$20\r\nname = demo\r\nVer = 2\r\n]\r\n"
        "[DATA1\r\nFILE=\"a b.bin\"\r\nType = Flashrom\r\ncompression = NOTHING\r\naddress = 4096\r\n]\r\n"
        "[data\nfile=\"c\"\ntype=APPLICATION\ncompression=Yes\naddress=$FFFFFFFF\n]";
    EXPECT_EQ(Parse(dir, script, result), "");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(encoder::_id, 0x10u);
    EXPECT_EQ(encoder::_idEnd, 0x20u);
    EXPECT_EQ(encoder::_ver, 2u);
    ASSERT_EQ(encoder::_nDataList, 2);
    EXPECT_STREQ(encoder::_dataList[0].file, "a b.bin");
    EXPECT_EQ(encoder::_dataList[0].flag, 3u);
    EXPECT_EQ(encoder::_dataList[0].addr, 4096u);
    EXPECT_EQ(encoder::_dataList[1].flag, 0x8001u);
    EXPECT_EQ(encoder::_dataList[1].addr, 0xFFFFFFFFu);
}

TEST(ScriptParser, FlagLayoutFollowsTheVersionReadSoFar)
{
    ScratchDir dir;
    int result = 0;
    const std::string data = "[data\nfile=\"a\"\ntype=eeprom\ncompression=yes\naddress=0\n]\n";
    Parse(dir, data + "[header\nid=1\nver=2\n]\n" + data, result);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(encoder::_dataList[0].flag, 4u | 2u) << "read before the header: layout 1";
    EXPECT_EQ(encoder::_dataList[1].flag, 0x8000u | 2u);
    Parse(dir, "[header\nid=1\nver=1\n]\n" + data, result);
    EXPECT_EQ(encoder::_dataList[0].flag, 4u | 2u);
}

TEST(ScriptParser, LineLengthLimitIs78Characters)
{
    ScratchDir dir;
    int result = 0;
    const std::string line78 = "." + std::string(77, 'y');
    EXPECT_EQ(Parse(dir, line78 + "\n" + kHeader, result), "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Parse(dir, line78 + "\r\n" + kHeader, result), "") << "the carriage return is not counted";
    EXPECT_EQ(result, 1);
    const std::string path71 = std::string(71, 'p');
    EXPECT_EQ(Parse(dir, kHeader + "[data\nfile=\"" + path71 + "\"\n", result), "");
    EXPECT_STREQ(encoder::_dataList[0].file, path71.c_str());
}

TEST(ScriptParser, ListOpenAtEndOfFileKeepsCleanValues)
{
    ScratchDir dir;
    int result = 0;
    // The first parse leaves values behind; the second starts clean.
    Parse(dir, "[header\nid=1\nver=2\n]\n[data\nfile=\"old\"\ntype=flash\ncompression=yes\naddress=9\n]\n", result);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(Parse(dir, "[header\nid=5\nver=2\n]\n[data\naddress=7\n", result), "");
    ASSERT_EQ(result, 1);
    ASSERT_EQ(encoder::_nDataList, 1);
    EXPECT_STREQ(encoder::_dataList[0].file, "");
    EXPECT_EQ(encoder::_dataList[0].flag, 0u);
    EXPECT_EQ(encoder::_dataList[0].addr, 7u);
    encoder::ResetRunState();
    EXPECT_EQ(Parse(dir, "[header\nid=5\n", result), "") << "an open header list is not checked";
    EXPECT_EQ(result, 1);
    EXPECT_EQ(encoder::_ver, 0u);
    EXPECT_EQ(encoder::_idEnd, 0u);
}

TEST(ScriptParser, HostileInputStaysInsideTheLineBuffer)
{
    ScratchDir dir;
    int result = 0;
    // A zero byte ends the line's text.
    EXPECT_EQ(Parse(dir, std::string("[header\nid=7\0garbage\nver=1\n]\n", 29), result), "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(encoder::_id, 7u);
    EXPECT_EQ(Parse(dir, std::string("\0\0\0[data\n", 9), result), ">>> No header <<<\n");
    // A path that does not fit the 80-character field, even on a line without limit.
    const std::string path81(81, 'q');
    EXPECT_NE(Parse(dir, kHeader + "[data\nfile=\"" + path81 + "\"\n", result).find(">>> Too long line <<<"),
              std::string::npos);
    EXPECT_EQ(result, 0);
    // Binary content: reported, never read past.
    enctest::Bytes noise = enctest::RandomBytes(5000, 7);
    enctest::WriteBytes(dir.Path("p.cfg"), noise);
    const std::string out = enctest::CaptureStdout([&] { result = encoder::AnalysisCfg(dir.Path("p.cfg").c_str()); });
    EXPECT_EQ(result, 0);
    EXPECT_NE(out.find(">>> "), std::string::npos);
}

}  // namespace
