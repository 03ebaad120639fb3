// The image writer and the whole run: worked examples, chunking, the address
// check, failures and the state between calls.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "ddf_image.h"
#include "encode12.h"
#include "encoder.h"
#include "test_support.h"

namespace {

using enctest::Bytes;
using enctest::DataList;
using enctest::ScratchDir;

// Runs the library on a script; returns what it printed.
std::string Encode(const ScratchDir& dir, const std::string& script, int& result)
{
    enctest::WriteFile(dir.Path("s.cfg"), script);
    return enctest::CaptureStdout(
        [&] { result = encoder::EncodeParameter(dir.Path("s.cfg").c_str(), dir.Path("out.ddf").c_str()); });
}

encoder::DdfCheckResult Check(const Bytes& image) { return encoder::CheckDdfImage(image.data(), image.size(), true); }

TEST(ImageWriter, WorkedExamplesComeOutByteForByteThroughDdfenc)
{
    ScratchDir dir;
    enctest::WriteBytes(dir.Path("d.bin"), {0xDE, 0xAD, 0xBE, 0xEF});
    const DataList list{dir.Path("d.bin"), "flash", "no", "$1000"};
    const Bytes record = {0x00, 0x0E, 0xF1, 0xA4, 0x00, 0x03, 0x00, 0x04,
                          0x00, 0x00, 0x10, 0x00, 0xDE, 0xAD, 0xBE, 0xEF};
    Bytes layout1 = {0x00, 0x0C, 0x8A, 0xC4, 0x00, 0x01, 0x12, 0x34, 0x00, 0x01, 0x00, 0x00, 0x00, 0x10};
    layout1.insert(layout1.end(), record.begin(), record.end());
    Bytes layout2 = {0x00, 0x12, 0x94, 0xD8, 0x00, 0x02, 0x00, 0x01, 0x00, 0x2A,
                     0x00, 0x10, 0x00, 0x2A, 0x00, 0x1F, 0x00, 0x00, 0x00, 0x10};
    layout2.insert(layout2.end(), record.begin(), record.end());

    enctest::WriteFile(dir.Path("s1.cfg"), enctest::Script(1, {list}, "$1234"));
    std::string script2 = enctest::Script(2, {list});
    script2.insert(script2.find(" ver"), " e_id = $2A001F\n");
    enctest::WriteFile(dir.Path("s2.cfg"), script2);
    int status = 1;
    EXPECT_EQ(enctest::RunCommand(std::string(DDFENC_EXE) + " " + dir.Path("s1.cfg") + " " + dir.Path("1.ddf"), status),
              "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(enctest::ReadBytes(dir.Path("1.ddf")), layout1);
    EXPECT_EQ(enctest::RunCommand(std::string(DDFENC_EXE) + " " + dir.Path("s2.cfg") + " " + dir.Path("2.ddf"), status),
              "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(enctest::ReadBytes(dir.Path("2.ddf")), layout2);
}

TEST(ImageWriter, Crc16IsTheArcCrc)
{
    const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(encoder::GetCrc16(check, 9), 0xBB3D);
    EXPECT_EQ(encoder::_crc16Tbl[1], 0xC0C1);
    EXPECT_EQ(encoder::_crc16Tbl[128], 0xA001);
}

TEST(ImageWriter, HeaderOnlyImages)
{
    ScratchDir dir;
    int result = 0;
    EXPECT_EQ(Encode(dir, "[header\nid=$1234\nver=1\n]\n", result), "");
    EXPECT_EQ(result, 1);
    Bytes image = enctest::ReadBytes(dir.Path("out.ddf"));
    ASSERT_EQ(image.size(), 14u);
    EXPECT_EQ(enctest::Get16(image, 8), 0);
    EXPECT_EQ(enctest::Get32(image, 10), 0u);
    EXPECT_TRUE(Check(image).valid);
    Encode(dir, "[header\nid=$1234\nver=7\n]\n", result);
    image = enctest::ReadBytes(dir.Path("out.ddf"));
    ASSERT_EQ(image.size(), 20u);
    EXPECT_EQ(enctest::Get16(image, 4), 7);
    EXPECT_EQ(enctest::Get32(image, 12), 0x1234u) << "ID end defaults to ID";
    EXPECT_TRUE(Check(image).valid);
}

TEST(ImageWriter, FilesAreCutInto32758ByteChunks)
{
    ScratchDir dir;
    const Bytes data = enctest::RandomBytes(2 * 32758 + 1, 3);
    enctest::WriteBytes(dir.Path("a.bin"), Bytes(data.begin(), data.begin() + 32758));
    enctest::WriteBytes(dir.Path("b.bin"), data);
    int result = 0;
    Encode(dir,
           enctest::Script(
               2, {{dir.Path("a.bin"), "flash", "no", "0"}, {dir.Path("b.bin"), "loader", "yes", "$FFFFFFF0"}}),
           result);
    ASSERT_EQ(result, 1);
    const encoder::DdfCheckResult check = Check(enctest::ReadBytes(dir.Path("out.ddf")));
    ASSERT_TRUE(check.valid) << check.fault;
    ASSERT_EQ(check.records.size(), 4u);
    EXPECT_EQ(check.records[0].origLen, 32758);
    EXPECT_EQ(check.records[1].address, 0xFFFFFFF0u);
    EXPECT_EQ(check.records[2].address, 0xFFFFFFF0u + 32758u) << "addresses wrap at 32 bits";
    EXPECT_EQ(check.records[3].origLen, 1);
    EXPECT_EQ(check.records[3].address, 0xFFFFFFF0u + 2u * 32758u);
    EXPECT_EQ(check.records[3].storedLen, 1u) << "one byte never compresses";
    EXPECT_EQ(check.records[3].flag, 0u) << "compression bit cleared on a stored chunk";
    Bytes joined;
    for (std::size_t i = 1; i < 4; ++i)
        joined.insert(joined.end(), check.records[i].data.begin(), check.records[i].data.end());
    EXPECT_EQ(joined, data);
}

TEST(ImageWriter, EachRecordCarriesItsOwnCompressionBit)
{
    ScratchDir dir;
    Bytes data = enctest::TextBytes(32758);
    const Bytes noise = enctest::RandomBytes(32758, 9);
    data.insert(data.end(), noise.begin(), noise.end());
    enctest::WriteBytes(dir.Path("m.bin"), data);
    int result = 0;
    Encode(dir, enctest::Script(1, {{dir.Path("m.bin"), "eeprom", "yes", "0"}}), result);
    ASSERT_EQ(result, 1);
    const encoder::DdfCheckResult check = Check(enctest::ReadBytes(dir.Path("out.ddf")));
    ASSERT_TRUE(check.valid) << check.fault;
    ASSERT_EQ(check.records.size(), 2u);
    EXPECT_EQ(check.records[0].flag, 4u | 2u);
    EXPECT_LT(check.records[0].storedLen, 32758u);
    EXPECT_EQ(check.records[1].flag, 2u);
    EXPECT_EQ(check.records[1].storedLen, 32758u);
}

TEST(ImageWriter, AddressRangesOfOneTypeMustNotOverlap)
{
    ScratchDir dir;
    enctest::WriteBytes(dir.Path("4096"), Bytes(4096, 1));
    enctest::WriteBytes(dir.Path("4097"), Bytes(4097, 1));
    enctest::WriteBytes(dir.Path("small"), Bytes(16, 1));
    const std::string conflict01 = ">>> Not isolated address space of 0-th and 1-th data <<<\n";
    const struct {
        const char* name;
        std::vector<DataList> lists;
        std::string output;
    } cases[] = {
        {"touching ranges", {{dir.Path("4096"), "flash", "no", "0"}, {dir.Path("small"), "flash", "no", "4096"}}, ""},
        {"one byte of overlap",
         {{dir.Path("4097"), "flash", "no", "0"}, {dir.Path("small"), "flash", "no", "4096"}},
         conflict01},
        {"other types", {{dir.Path("4097"), "loader", "no", "0"}, {dir.Path("small"), "flash", "no", "0"}}, ""},
        {"inside an earlier range",
         {{dir.Path("4096"), "eeprom", "no", "0"}, {dir.Path("small"), "eeprom", "no", "100"}},
         conflict01},
        {"later list names the earlier first",
         {{dir.Path("small"), "flash", "no", "0"},
          {dir.Path("small"), "loader", "no", "0"},
          {dir.Path("4096"), "flash", "no", "8"}},
         ">>> Not isolated address space of 0-th and 2-th data <<<\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int result = 0;
        EXPECT_EQ(Encode(dir, enctest::Script(2, c.lists), result), c.output);
        EXPECT_EQ(result, c.output.empty() ? 1 : 0);
        EXPECT_EQ(enctest::FileExists(dir.Path("out.ddf")), c.output.empty()) << "a failed run leaves no image";
    }
}

TEST(ImageWriter, DataFileFailuresDeleteTheImage)
{
    ScratchDir dir;
    enctest::WriteBytes(dir.Path("ok.bin"), Bytes(100, 5));
    enctest::WriteBytes(dir.Path("empty.bin"), {});
    ::mkdir(dir.Path("adir").c_str(), 0700);
    const struct {
        std::string file;
        std::string output;
    } cases[] = {
        {dir.Path("missing.bin"), "\"" + dir.Path("missing.bin") + "\": Not found\n"},
        {dir.Path("empty.bin"), "\"" + dir.Path("empty.bin") + "\": Empty file\n"},
        {dir.Path("adir"), "\"" + dir.Path("adir") + "\": Empty file\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        int result = 1;
        EXPECT_EQ(
            Encode(dir,
                   enctest::Script(2, {{dir.Path("ok.bin"), "flash", "yes", "0"}, {c.file, "flash", "no", "$100"}}),
                   result),
            c.output);
        EXPECT_EQ(result, 0);
        EXPECT_FALSE(enctest::FileExists(dir.Path("out.ddf")));
    }
    // A data list left open without a file names the empty path.
    int result = 1;
    EXPECT_EQ(Encode(dir, "[header\nid=1\nver=2\n]\n[data\naddress=1\n", result), "\"\": Not found\n");
    EXPECT_EQ(result, 0);
}

TEST(ImageWriter, ImageFailures)
{
    ScratchDir dir;
    enctest::WriteBytes(dir.Path("d.bin"), Bytes(10, 5));
    enctest::WriteFile(dir.Path("s.cfg"), enctest::Script(2, {{dir.Path("d.bin"), "flash", "no", "0"}}));
    int result = 1;
    const std::string noDir = dir.Path("no/such/dir.ddf");
    EXPECT_EQ(
        enctest::CaptureStdout([&] { result = encoder::EncodeParameter(dir.Path("s.cfg").c_str(), noDir.c_str()); }),
        "\"" + noDir + "\": Creating error\n");
    EXPECT_EQ(result, 0);
    // A full device: the write fails, and a device node is never deleted.
    EXPECT_EQ(
        enctest::CaptureStdout([&] { result = encoder::EncodeParameter(dir.Path("s.cfg").c_str(), "/dev/full"); }),
        "\"/dev/full\": Writing error\n");
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(enctest::FileExists("/dev/full"));
}

TEST(ImageWriter, MoreThan65535RecordsAreRefusedBeforeWriting)
{
    ScratchDir dir;
    const std::string big = dir.Path("big.bin");
    enctest::WriteFile(big, "");
    ASSERT_EQ(::truncate(big.c_str(), 65535LL * 32758 + 1), 0);  // sparse: no disk space used
    enctest::WriteFile(dir.Path("out.ddf"), "previous");
    int result = 1;
    const std::string out = Encode(dir, enctest::Script(2, {{big, "flash", "no", "0"}}), result);
    EXPECT_EQ(out, ">>> Too many blocks: the image needs 65536 block records, at most 65535 fit <<<\n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(enctest::ReadBytes(dir.Path("out.ddf")).size(), 8u) << "nothing was written";
}

TEST(ImageWriter, EachCallStartsClean)
{
    ScratchDir dir;
    enctest::WriteBytes(dir.Path("d.bin"), enctest::TextBytes(40000));
    int result = 0;
    Encode(dir,
           enctest::Script(1, {{dir.Path("d.bin"), "flash", "yes", "0"}, {dir.Path("d.bin"), "loader", "no", "0"}}),
           result);
    ASSERT_EQ(result, 1);
    // Second script: a data list read before its layout-2 header, and one list only.
    Encode(dir,
           "[data\nfile=\"" + dir.Path("d.bin") +
               "\"\ntype=eeprom\ncompression=yes\naddress=0\n]\n[header\nid=9\nver=2\n]\n",
           result);
    ASSERT_EQ(result, 1);
    const Bytes image = enctest::ReadBytes(dir.Path("out.ddf"));
    const encoder::DdfCheckResult check = Check(image);
    ASSERT_TRUE(check.valid) << check.fault;
    EXPECT_EQ(check.header.blockCount, 2);
    EXPECT_EQ(check.header.totalSize, image.size() - 20);
    for (const auto& rec : check.records) {
        EXPECT_EQ(rec.flag, 4u | 2u) << "layout-1 flag word, so not compressed in a layout-2 image";
        EXPECT_EQ(rec.storedLen, rec.origLen);
    }
}

TEST(ImageWriter, InMemoryConfigurationWritesTheSameImage)
{
    ScratchDir dir;
    enctest::WriteBytes(dir.Path("a.bin"), enctest::MachineCodeBytes(50000));
    enctest::WriteBytes(dir.Path("b.bin"), enctest::TextBytes(300));
    int result = 0;
    std::string script = enctest::Script(
        2, {{dir.Path("a.bin"), "application", "yes", "$8000"}, {dir.Path("b.bin"), "eeprom", "no", "16"}});
    script.insert(script.find(" ver"), " e_id = $2A00FF\n");
    Encode(dir, script, result);
    ASSERT_EQ(result, 1);
    const Bytes fromScript = enctest::ReadBytes(dir.Path("out.ddf"));

    encoder::ImageConfig config;
    config.id = 0x2A0010;
    config.idEnd = 0x2A00FF;
    config.ver = 2;
    config.data = {{dir.Path("a.bin"), encoder::kTypeApplication, true, 0x8000},
                   {dir.Path("b.bin"), encoder::kTypeEeprom, false, 16}};
    EXPECT_EQ(encoder::EncodeImage(config, dir.Path("mem.ddf").c_str()), 1);
    EXPECT_EQ(enctest::ReadBytes(dir.Path("mem.ddf")), fromScript);

    // What no script could say is refused without touching the image path.
    const struct {
        const char* name;
        void (*spoil)(encoder::ImageConfig&);
        std::string output;
    } refusals[] = {
        {"version 0", [](encoder::ImageConfig& c) { c.ver = 0; }, ">>> Invalver VER <<<\n"},
        {"type beyond layout 1",
         [](encoder::ImageConfig& c) {
             c.ver = 1;
             c.data[0].type = 4;
         },
         ">>> Invalid TYPE <<<\n"},
        {"128 data files", [](encoder::ImageConfig& c) { c.data.resize(128, c.data[1]); },
         ">>> Too many data list <<<\n"},
        {"long path", [](encoder::ImageConfig& c) { c.data[1].file = std::string(81, 'p'); },
         "\"" + std::string(81, 'p') + "\": Invalid path\n"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.name);
        encoder::ImageConfig bad = config;
        r.spoil(bad);
        int rc = 1;
        EXPECT_EQ(enctest::CaptureStdout([&] { rc = encoder::EncodeImage(bad, dir.Path("mem.ddf").c_str()); }),
                  r.output);
        EXPECT_EQ(rc, 0);
        EXPECT_EQ(enctest::ReadBytes(dir.Path("mem.ddf")), fromScript);
    }
}

}  // namespace
