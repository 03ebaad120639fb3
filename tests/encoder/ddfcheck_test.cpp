// Image verification: ddfcheck accepts what the encoder writes and names the
// first fault of a damaged image precisely, without crashing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ddf_image.h"
#include "encode12.h"
#include "encoder.h"
#include "test_support.h"

namespace {

using enctest::Bytes;
using enctest::ScratchDir;

std::string Fault(const Bytes& image)
{
    const encoder::DdfCheckResult r = encoder::CheckDdfImage(image.data(), image.size());
    return r.valid ? "" : r.fault;
}

std::string Hex4(unsigned v)
{
    char s[8];
    std::snprintf(s, sizeof s, "%04x", v & 0xFFFF);
    return s;
}

void Put16(Bytes& b, std::size_t at, unsigned v)
{
    b[at] = static_cast<uint8_t>(v >> 8);
    b[at + 1] = static_cast<uint8_t>(v);
}

void FixRecordCrc(Bytes& image, std::size_t offset)
{
    const unsigned len = enctest::Get16(image, offset);
    Put16(image, offset + 2, encoder::GetCrc16(image.data() + offset + 4, len - 2));
}

// A small layout-2 image: a compressed record, then a plain one, then a short one.
class DdfCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        Bytes data = enctest::TextBytes(32758);
        const Bytes tail = enctest::RandomBytes(40, 4);
        data.insert(data.end(), tail.begin(), tail.end());
        enctest::WriteBytes(dir.Path("d.bin"), data);
        enctest::WriteBytes(dir.Path("e.bin"), enctest::RandomBytes(300, 5));
        encoder::ImageConfig config;
        config.id = 0x2A0010;
        config.idEnd = 0x2A001F;
        config.ver = 2;
        config.data = {{dir.Path("d.bin"), encoder::kTypeFlash, true, 0x1000},
                       {dir.Path("e.bin"), encoder::kTypeEeprom, true, 0}};
        ASSERT_EQ(encoder::EncodeImage(config, dir.Path("img.ddf").c_str()), 1);
        image = enctest::ReadBytes(dir.Path("img.ddf"));
        compressedLen = enctest::Get16(image, 20) + 2u;
    }

    ScratchDir dir;
    Bytes image;
    std::size_t compressedLen = 0;
};

TEST_F(DdfCheck, AcceptsAndListsAnImage)
{
    int status = 1;
    const std::string out = enctest::RunCommand(std::string(DDFCHECK_EXE) + " " + dir.Path("img.ddf"), status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("header: layout 2 (20 bytes), CRC "), std::string::npos) << out;
    EXPECT_NE(out.find("ID 002a0010, ID end 002a001f, 3 block records"), std::string::npos) << out;
    EXPECT_NE(out.find("record 0 at 0x14: flash       compressed length 32758 stored "), std::string::npos) << out;
    EXPECT_NE(out.find("record 1 at 0x" +
                       [&] {
                           char s[16];
                           std::snprintf(s, sizeof s, "%zx", 20 + compressedLen);
                           return std::string(s);
                       }() +
                       ": flash       plain      length    40 stored    40 address 00008ff6"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("VALID: 3 block records"), std::string::npos) << out;
}

TEST_F(DdfCheck, ExtractsEachContiguousRange)
{
    int status = 1;
    enctest::RunCommand(std::string(DDFCHECK_EXE) + " " + dir.Path("img.ddf") + " --extract " + dir.Path("out"),
                        status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(enctest::ReadBytes(dir.Path("out/flash_00001000.bin")), enctest::ReadBytes(dir.Path("d.bin")));
    EXPECT_EQ(enctest::ReadBytes(dir.Path("out/eeprom_00000000.bin")), enctest::ReadBytes(dir.Path("e.bin")));
}

TEST_F(DdfCheck, NamesTheFirstFaultPrecisely)
{
    const std::size_t rec1 = 20 + compressedLen;
    Bytes headerCrc = image;
    headerCrc[3] ^= 0x01;
    Bytes recordCrc = image;
    recordCrc[rec1 + 3] ^= 0x10;
    Bytes headerField = image;
    headerField[7] ^= 0x04;  // record count
    Bytes trailing = image;
    trailing.push_back(0);
    const std::string crc1 = Hex4(enctest::Get16(image, rec1 + 2));
    const struct {
        const char* name;
        Bytes bytes;
        std::string fault;
    } cases[] = {
        {"header CRC", headerCrc,
         "header: CRC " + Hex4(enctest::Get16(headerCrc, 2)) + ", expected " + Hex4(enctest::Get16(image, 2))},
        {"header field", headerField,
         "header: CRC " + Hex4(enctest::Get16(image, 2)) + ", expected " +
             Hex4(encoder::GetCrc16(headerField.data() + 4, 16))},
        {"record CRC", recordCrc,
         "record 1 at offset 0x" +
             [&] {
                 char s[16];
                 std::snprintf(s, sizeof s, "%zx", rec1);
                 return std::string(s);
             }() +
             ": CRC " + Hex4(enctest::Get16(recordCrc, rec1 + 2)) + ", expected " + crc1},
        {"trailing byte", trailing,
         "image has 1 bytes after its last block record at offset 0x" +
             [&] {
                 char s[16];
                 std::snprintf(s, sizeof s, "%zx", image.size());
                 return std::string(s);
             }()},
        {"header length field",
         [&] {
             Bytes b = image;
             b[1] = 12;
             return b;
         }(),
         "header: CRC " + Hex4(enctest::Get16(image, 2)) + ", expected " +
             Hex4(encoder::GetCrc16(image.data() + 4, 10))},
        {"unknown header length",
         [&] {
             Bytes b = image;
             b[1] = 13;
             return b;
         }(),
         "header: length field 13, expected 12 or 18"},
        {"cut after the header", Bytes(image.begin(), image.begin() + 20),
         "image truncated: the header announces " + std::to_string(image.size() - 20) +
             " bytes of block records, the file holds 0"},
        {"cut in the header", Bytes(image.begin(), image.begin() + 10),
         "image truncated: 10 bytes, the header needs 20"},
        {"empty file", Bytes(), "image truncated: 0 bytes, no header"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Fault(c.bytes), c.fault);
    }
    EXPECT_EQ(Fault(image), "");
}

TEST_F(DdfCheck, DamagedRecordsWithMatchingCrcAreStillCaught)
{
    // Someone recomputed the CRC over damaged data: the record's own fields and
    // the decoder still catch it.
    Bytes longer = image;
    Put16(longer, 20 + 6, 32759);
    FixRecordCrc(longer, 20);
    EXPECT_EQ(Fault(longer), "record 0 at offset 0x14: uncompressed length 32759 out of range 1..32758");
    Bytes reserved = image;
    reserved[20 + 4] |= 0x01;
    FixRecordCrc(reserved, 20);
    EXPECT_EQ(Fault(reserved), "record 0 at offset 0x14: flag word 8103 has reserved bits set");
    Bytes plainShort = image;
    plainShort[20 + 4] &= 0x7F;  // claims to be stored plain
    FixRecordCrc(plainShort, 20);
    EXPECT_EQ(Fault(plainShort).rfind("record 0 at offset 0x14: stored data of ", 0), 0u) << Fault(plainShort);
    int caught = 0;
    int tried = 0;
    for (std::size_t at = 20 + 12; at < 20 + compressedLen; at += 3) {
        Bytes bad = image;
        bad[at] ^= static_cast<uint8_t>(1u << (at % 8));
        FixRecordCrc(bad, 20);
        const encoder::DdfCheckResult r = encoder::CheckDdfImage(bad.data(), bad.size(), true);
        ++tried;
        caught += !r.valid || r.records.at(0).data != Bytes(enctest::TextBytes(32758));
        if (!r.valid) {
            EXPECT_EQ(r.fault.rfind("record 0 at offset 0x14: compressed data: ", 0), 0u) << r.fault;
        }
    }
    EXPECT_EQ(caught, tried) << "a changed stream never passes as the original";
}

TEST_F(DdfCheck, RejectsEverySingleBitFlipAndEveryTruncation)
{
    // A small layout-1 image: a compressed record and a plain one.
    encoder::ImageConfig config;
    config.id = 7;
    config.idEnd = 7;
    config.ver = 1;
    enctest::WriteBytes(dir.Path("s.bin"), enctest::TextBytes(200));
    config.data = {{dir.Path("s.bin"), encoder::kTypeFlash, true, 0},
                   {dir.Path("e.bin"), encoder::kTypeLoader, false, 0}};
    ASSERT_EQ(encoder::EncodeImage(config, dir.Path("small.ddf").c_str()), 1);
    const Bytes small = enctest::ReadBytes(dir.Path("small.ddf"));
    ASSERT_EQ(Fault(small), "");
    for (std::size_t bit = 0; bit < small.size() * 8; ++bit) {
        Bytes bad = small;
        bad[bit / 8] ^= static_cast<uint8_t>(0x80 >> (bit % 8));
        EXPECT_NE(Fault(bad), "") << "bit " << bit;
    }
    for (std::size_t n = 0; n < small.size(); ++n) {
        EXPECT_NE(Fault(Bytes(small.begin(), small.begin() + static_cast<std::ptrdiff_t>(n))), "") << n;
    }
}

TEST_F(DdfCheck, ReportsThroughTheProgram)
{
    Bytes bad = image;
    bad[20 + 12] ^= 0xFF;
    enctest::WriteBytes(dir.Path("bad.ddf"), bad);
    int status = 0;
    const std::string out = enctest::RunCommand(std::string(DDFCHECK_EXE) + " " + dir.Path("bad.ddf"), status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("INVALID: record 0 at offset 0x14: CRC "), std::string::npos) << out;
    enctest::RunCommand(std::string(DDFCHECK_EXE) + " " + dir.Path("none.ddf"), status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(enctest::RunCommand(std::string(DDFCHECK_EXE) + " " + dir.Dir(), status),
              "cannot read " + dir.Dir() + ": Is a directory\n");
    EXPECT_EQ(status, 1);
    enctest::WriteBytes(dir.Path("noise.ddf"), enctest::RandomBytes(5000, 11));
    enctest::RunCommand(std::string(DDFCHECK_EXE) + " " + dir.Path("noise.ddf"), status);
    EXPECT_EQ(status, 1);
}

}  // namespace
