// Whole transfers through the conversion library's entries with stbsim on a
// pseudo-terminal: upload, download followed by upload, firmware download,
// refused images and port failures.
#include <gtest/gtest.h>

#include <random>

#include "transfer_support.h"

namespace transfer_test {
namespace {

const std::string kSample = std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt";

class TransferTest : public ::testing::Test {
protected:
    // The raw image of interchange file `text` (menu type 0, flash type 0, 32 antennas).
    Bytes RawOf(const std::string& text)
    {
        const std::string raw = dir.File("made.raw");
        EXPECT_EQ(lib.DnfToRaw(text.c_str(), raw.c_str(), 0, 0, 1), 1) << lib.LastError();
        return ReadFile(raw);
    }

    bool Upload(uint8_t speed, const std::string& path) { return lib.UploadData(0, speed, path.c_str()) == 1; }
    bool Download(uint8_t speed, const std::string& path) { return lib.DownloadData(0, speed, path.c_str()) == 1; }

    TempDir dir;
    Library lib;
};

TEST_F(TransferTest, UploadBringsTheReceiversImageIntoANewDocument)
{
    const Bytes start = RawOf(kSample);
    WriteFile(dir.File("start.raw"), start);
    SimProcess sim({"--raw", dir.File("start.raw"), "--report-speed"});
    for (uint8_t speed : {kSpeed115200, kSpeed9600}) {
        SCOPED_TRACE(int(speed));
        const std::string up = dir.File("temp.dat");
        ASSERT_TRUE(Upload(speed, up)) << lib.LastError();
        EXPECT_EQ(sim.NextLine(), speed == kSpeed9600 ? "upload at 9600 bit/s" : "upload at 115200 bit/s");
        EXPECT_STREQ(lib.LastError(), "");
        EXPECT_EQ(ReadFile(up), start);
        EXPECT_FALSE(FileExists(up + ".part"));
        // The uploaded image reads back as the sample's database.
        ASSERT_EQ(lib.RawToDnf(up.c_str(), dir.File("tmp.tmp").c_str(), 0, 0, 1), 1) << lib.LastError();
        EXPECT_NE(ReadText(dir.File("tmp.tmp")).find("Harbor Shop"), std::string::npos);
    }
}

TEST_F(TransferTest, DownloadOfAnEditedDocumentComesBackOnUpload)
{
    SimProcess sim({"--text", kSample});
    std::string text = ReadText(kSample);
    const std::size_t at = text.find("Harbor Shop");
    ASSERT_NE(at, std::string::npos);
    for (uint8_t speed : {kSpeed115200, kSpeed9600}) {
        SCOPED_TRACE(int(speed));
        const std::string edit = speed == kSpeed9600 ? "Harbor Slow" : "Harbor Fast";
        text.replace(at, edit.size(), edit);
        WriteText(dir.File("edited.txt"), text);
        ASSERT_EQ(lib.DnfToDDF(dir.File("edited.txt").c_str(), dir.File("down.ddf").c_str(), 0, 0, 1, 0x2A0010), 1);
        ASSERT_TRUE(Download(speed, dir.File("down.ddf"))) << lib.LastError();
        EXPECT_EQ(sim.NextLine(), "download accepted: channel data, 401408 bytes, ID 002a0010");

        ASSERT_TRUE(Upload(speed, dir.File("temp.dat"))) << lib.LastError();
        EXPECT_EQ(ReadFile(dir.File("temp.dat")), RawOf(dir.File("edited.txt")));
        ASSERT_EQ(lib.RawToDnf(dir.File("temp.dat").c_str(), dir.File("tmp.tmp").c_str(), 0, 0, 1), 1);
        EXPECT_NE(ReadText(dir.File("tmp.tmp")).find(edit), std::string::npos);
    }
}

TEST_F(TransferTest, FirmwareBuiltByDdfencArrivesWhole)
{
    Bytes data(1500);
    std::mt19937 random(8);
    for (uint8_t& b : data)
        b = static_cast<uint8_t>(random() % 7);  // compressible, so records are lh5 streams
    const std::string image = dir.File("fw.ddf");
    ASSERT_TRUE(BuildFirmware(dir, data, image));
    const Bytes imageBytes = ReadFile(image);
    // At 9600 bit/s the receiver keeps to the line's pace.
    for (uint8_t speed : {kSpeed115200, kSpeed9600}) {
        SCOPED_TRACE(int(speed));
        const std::string saved = dir.File("received.ddf");
        std::vector<std::string> args{"--save-firmware", saved};
        if (speed == kSpeed9600)
            args.push_back("--pace");
        SimProcess sim(args);
        ASSERT_TRUE(Download(speed, image)) << lib.LastError();
        EXPECT_EQ(sim.NextLine().rfind("download accepted: firmware, 1 records", 0), 0u);
        EXPECT_EQ(ReadFile(saved), imageBytes);
        EXPECT_EQ(ReadFile(image), imageBytes);  // the chosen file stays as it was
    }
}

TEST_F(TransferTest, DamagedImageIsRefusedAndTheReceiverKeepsItsData)
{
    SimProcess sim({"--text", kSample});
    ASSERT_EQ(lib.DnfToDDF(kSample.c_str(), dir.File("down.ddf").c_str(), 0, 0, 1, 0x2A0010), 1);
    Bytes image = ReadFile(dir.File("down.ddf"));
    image[image.size() - 3] ^= 0x40;  // inside the last record: its CRC no longer matches
    WriteFile(dir.File("down.ddf"), image);

    EXPECT_FALSE(Download(kSpeed115200, dir.File("down.ddf")));
    EXPECT_NE(std::string(lib.LastError()).find("refused"), std::string::npos) << lib.LastError();
    EXPECT_EQ(sim.NextLine().rfind("download refused: ", 0), 0u);

    ASSERT_TRUE(Upload(kSpeed115200, dir.File("temp.dat"))) << lib.LastError();
    EXPECT_EQ(ReadFile(dir.File("temp.dat")), RawOf(kSample));
}

TEST_F(TransferTest, PortFailuresNameThePortAndLeaveNoFile)
{
    const std::string up = dir.File("temp.dat");
    WriteText(up, "left from an earlier run");
    ::setenv("LV3DLL_PORT0", "/nonexistent/ttyX", 1);
    EXPECT_FALSE(Upload(kSpeed115200, up));
    EXPECT_NE(std::string(lib.LastError()).find("COM 1 (/nonexistent/ttyX)"), std::string::npos) << lib.LastError();
    EXPECT_FALSE(FileExists(up));

    ::setenv("LV3DLL_PORT0", dir.File("plain").c_str(), 1);
    WriteText(dir.File("plain"), "");
    EXPECT_FALSE(Upload(kSpeed115200, up));
    EXPECT_NE(std::string(lib.LastError()).find("not a serial port"), std::string::npos) << lib.LastError();

    EXPECT_FALSE(Upload(7, up));
    EXPECT_NE(std::string(lib.LastError()).find("speed code 7"), std::string::npos) << lib.LastError();
    EXPECT_FALSE(Download(kSpeed115200, dir.File("missing.ddf")));
    EXPECT_NE(std::string(lib.LastError()).find("missing.ddf"), std::string::npos) << lib.LastError();
    ::unsetenv("LV3DLL_PORT0");
}

}  // namespace
}  // namespace transfer_test
