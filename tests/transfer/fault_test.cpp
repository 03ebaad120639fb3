// Transfers over a bad line and to a failing receiver: damaged and lost
// packets are sent again and the bytes arrive exactly; a receiver that falls
// silent, or a line that damages everything, ends the transfer with a clear
// reason and no upload file; a stop through the progress callback ends it
// cleanly.
#include <gtest/gtest.h>

#include <chrono>

#include "transfer_support.h"

namespace transfer_test {
namespace {

const std::string kSample = std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt";

class FaultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(lib.DnfToRaw(kSample.c_str(), dir.File("sample.raw").c_str(), 0, 0, 1), 1);
        sample = ReadFile(dir.File("sample.raw"));
        ASSERT_EQ(sample.size(), kRawSize);
    }
    bool Upload() { return lib.UploadData(0, kSpeed115200, up.c_str()) == 1; }

    TempDir dir;
    Library lib;
    Bytes sample;
    std::string up = dir.File("temp.dat");
};

TEST_F(FaultTest, DamagedAnswersAreRequestedAgain)
{
    SimProcess sim({"--raw", dir.File("sample.raw"), "--corrupt", "7"});
    ASSERT_TRUE(Upload()) << lib.LastError();
    EXPECT_EQ(ReadFile(up), sample);
}

TEST_F(FaultTest, LostAndSlowPacketsAreSentAgain)
{
    // Every 37th packet is lost, answers come late: the download still
    // arrives whole and the upload after it returns it exactly.
    SimProcess sim({"--drop", "37", "--delay", "1"});
    ASSERT_EQ(lib.DnfToDDF(kSample.c_str(), dir.File("down.ddf").c_str(), 0, 0, 1, 0x2A0010), 1);
    ASSERT_EQ(lib.DownloadData(0, kSpeed115200, dir.File("down.ddf").c_str()), 1) << lib.LastError();
    EXPECT_EQ(sim.NextLine(), "download accepted: channel data, 401408 bytes, ID 002a0010");
    ASSERT_TRUE(Upload()) << lib.LastError();
    EXPECT_EQ(ReadFile(up), sample);
}

TEST_F(FaultTest, SilentReceiverFailsWithinBoundedTimeAndLeavesNoFile)
{
    SimProcess sim({"--raw", dir.File("sample.raw"), "--stop-after", "20"});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Upload());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(std::string(lib.LastError()).rfind("No answer from the receiver", 0), 0u) << lib.LastError();
    EXPECT_NE(std::string(lib.LastError()).find(sim.Device()), std::string::npos);
    EXPECT_LT(seconds.count(), 30);
    EXPECT_FALSE(FileExists(up));
    EXPECT_FALSE(FileExists(up + ".part"));
}

TEST_F(FaultTest, LineThatDamagesEveryAnswerFails)
{
    SimProcess sim({"--corrupt", "1"});
    EXPECT_FALSE(Upload());
    EXPECT_EQ(std::string(lib.LastError()).rfind("Too many bad packets from the receiver", 0), 0u) << lib.LastError();
    EXPECT_FALSE(FileExists(up));
}

struct StopAt {
    uint32_t stopAt = 0;
    uint32_t lastDone = 0;
    uint32_t total = 0;
    int calls = 0;
    static int Callback(uint32_t done, uint32_t total, void* context)
    {
        auto* self = static_cast<StopAt*>(context);
        ++self->calls;
        self->lastDone = done;
        self->total = total;
        return done < self->stopAt ? 1 : 0;
    }
};

TEST_F(FaultTest, StopThroughTheProgressCallbackEndsCleanly)
{
    SimProcess sim({"--raw", dir.File("sample.raw")});
    StopAt stop{50000};
    lib.SetProgress(&StopAt::Callback, &stop);
    EXPECT_FALSE(Upload());
    EXPECT_STREQ(lib.LastError(), "The transfer was stopped by the user.");
    EXPECT_EQ(stop.total, kRawSize);
    EXPECT_GE(stop.lastDone, 50000u);
    EXPECT_LT(stop.lastDone, 60000u);
    EXPECT_FALSE(FileExists(up));

    // A stopped download leaves the receiver's data as it was.
    std::string other = ReadText(kSample);
    other.replace(other.find("Harbor Shop"), 11, "Harbor Stop");
    WriteText(dir.File("other.txt"), other);
    ASSERT_EQ(lib.DnfToDDF(dir.File("other.txt").c_str(), dir.File("down.ddf").c_str(), 0, 0, 1, 0x2A0010), 1);
    const auto imageSize = static_cast<uint32_t>(ReadFile(dir.File("down.ddf")).size());
    ASSERT_GT(imageSize, 3000u);
    StopAt stopDownload{imageSize / 2};
    lib.SetProgress(&StopAt::Callback, &stopDownload);
    EXPECT_EQ(lib.DownloadData(0, kSpeed115200, dir.File("down.ddf").c_str()), 0);
    EXPECT_STREQ(lib.LastError(), "The transfer was stopped by the user.");

    // The receiver took the stop and serves the next transfer.
    lib.SetProgress(nullptr, nullptr);
    ASSERT_TRUE(Upload()) << lib.LastError();
    EXPECT_EQ(ReadFile(up), sample);
}

}  // namespace
}  // namespace transfer_test
