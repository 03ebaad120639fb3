// The sample database and `lumora-cli dump`: the sample is in the writer's
// exact form, and dump reports how far it read through its exit status.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "interchange.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

const std::string kSamplePath = std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt";

std::string Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SampleDatabase, IsInTheWritersExactFormAndWellFilled)
{
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    std::vector<std::string> messages;
    ReadResult result =
        ReadInterchangeFile(kSamplePath, *db, [&messages](const std::string& m) { messages.push_back(m); });
    ASSERT_EQ(result.status, ReadStatus::Complete) << result.error;
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(WriteInterchange(*db), Contents(kSamplePath));

    EXPECT_GE(db->TSInfo.wTSNum, 24);
    EXPECT_GE(db->ServiceInfo.wTVNum, 100);
    EXPECT_GE(db->ServiceInfo.wRadioNum, 30);
    EXPECT_GT(db->NetworkInfo.wNetworkNum, 0);
    EXPECT_GT(db->ProviderInfo.wProviderNum, 0);
    EXPECT_GT(db->FavoriteInfo[0][0].wIndexNum, 0);
    EXPECT_GT(db->FavoriteInfo[1][0].wIndexNum, 0);
    // Every index relation holds in the sample.
    for (int i = 0; i < db->TSInfo.wTSNum; ++i) {
        EXPECT_LT(db->TSInfo.Info[i].wAntennaIndex, 2);
        EXPECT_LT(db->TSInfo.Info[i].pNetworkIndex, db->NetworkInfo.wNetworkNum);
    }
    for (int i = 0; i < db->ServiceInfo.Count(); ++i) {
        EXPECT_LT(db->ServiceInfo.pServiceInfo[i].pTSIndex, db->TSInfo.wTSNum);
        EXPECT_LT(db->ServiceInfo.pServiceInfo[i].pProviderIndex, db->ProviderInfo.wProviderNum);
    }
}

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class DumpCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("ix_dump_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Quoted(const std::string& text) { return "'" + text + "'"; }

    CliRun Dump(const std::string& arguments) { return Cli("dump " + arguments); }

    CliRun Cli(const std::string& arguments)
    {
        fs::path out = dir_ / "stdout", err = dir_ / "stderr";
        std::string command =
            Quoted(LUMORA_CLI_PATH) + " " + arguments + " >" + Quoted(out.string()) + " 2>" + Quoted(err.string());
        int status = std::system(command.c_str());
        CliRun run;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = Contents(out);
        run.err = Contents(err);
        return run;
    }

    std::string WriteInput(const std::string& text)
    {
        fs::path path = dir_ / "input.txt";
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    fs::path dir_;
};

TEST_F(DumpCommand, ReproducesTheSampleByteForByte)
{
    CliRun run = Dump(Quoted(kSamplePath));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, Contents(kSamplePath));
    EXPECT_EQ(run.err, "");
}

TEST_F(DumpCommand, ReaderMessagesGoToStandardError)
{
    std::string input = "[TS]\r\n";
    for (int i = 0; i < kTSCapacity + 3; ++i)
        input += "0\t0\t11000\r\n";
    CliRun run = Dump("--flash-type 3 " + Quoted(WriteInput(input)));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "The size of TS data is over. some data is excluded!\n");
    EXPECT_NE(run.out.find("[TS]\r\n0\t0\t11000\t0\t0\t0\t0\t0\r\n"), std::string::npos);
}

TEST_F(DumpCommand, StopsOnABadAntennaLineAfterPrintingWhatWasRead)
{
    std::string input = WriteInput("[NETWORK]\r\nKept\r\n[ANTENNA]\r\nzero\r\n[PROVIDER]\r\nLost\r\n");
    CliRun run = Dump(Quoted(input));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "'zero' is not a valid integer value\n");
    EXPECT_NE(run.out.find("[NETWORK]\r\nKept\r\n[PROVIDER]\r\n[FAVORITE]"), std::string::npos);
    EXPECT_TRUE(fs::exists(input));
}

TEST_F(DumpCommand, MissingFileAndBadArgumentsExitWithTwo)
{
    std::string missing = (dir_ / "missing.txt").string();
    CliRun run = Dump(Quoted(missing));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, missing + ": No such file or directory\n");

    std::string input = Quoted(WriteInput("[TS]\r\n"));
    for (const std::string& arguments : {std::string(""), input + " " + input, "--flash-type 256 " + input,
                                         "--flash-type " + input, "--bogus " + input}) {
        CliRun bad = Dump(arguments);
        EXPECT_EQ(bad.status, 2) << arguments;
        EXPECT_NE(bad.err.find("usage: lumora-cli dump"), std::string::npos) << arguments;
        EXPECT_EQ(bad.out, "") << arguments;
    }
    for (const char* arguments : {"", "bogus", "DUMP"}) {
        CliRun bad = Cli(arguments);
        EXPECT_EQ(bad.status, 2) << arguments;
        EXPECT_NE(bad.err.find("usage: lumora-cli COMMAND"), std::string::npos) << arguments;
    }
}

}  // namespace
}  // namespace lumora
