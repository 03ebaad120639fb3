// The conversion library as the editor reaches it: loaded by path, entries
// looked up by name, results and reasons checked.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>

#include "../common/file_size_limit.h"
#include "conversion_binding.h"
#include "conversions.h"
#include "ddf_image.h"
#include "interchange.h"
#include "test_support.h"

namespace lumora {
namespace {
using test::FileSizeLimit;

using test::FileExists;
using test::FilesIn;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr ReceiverType kReceiver{3, 4, 1};

class LibraryTest : public ::testing::Test {
protected:
    ConversionLibrary library{LV3DLL_PATH};
    TempDir dir;
    Status status;
};

TEST(LibraryBinding, MissingLibraryIsReportedWithItsPath)
{
    ConversionLibrary library("/nonexistent/LV3DLL.so");
    EXPECT_FALSE(library.LoadStatus());
    EXPECT_NE(library.LoadStatus().message().find("\"/nonexistent/LV3DLL.so\""), std::string::npos);
    Status status;
    status = library.V3DnfToDnf("a.dnf", "b.txt");
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), library.LoadStatus().message());
}

TEST(LibraryBinding, MissingEntryIsReportedByName)
{
    ConversionLibrary other(OTHER_LIBRARY_PATH);
    ASSERT_TRUE(other.LoadStatus()) << other.LoadStatus().message();
    Status status;
    status = other.DnfToV3Dnf("a.txt", "b.dnf");
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("no entry \"DnfToV3Dnf\""), std::string::npos) << status.message();
}

TEST(LibraryBinding, DefaultPathIsBesideTheProgram)
{
    const Result<std::string> beside = ConversionLibraryPath();
    ASSERT_TRUE(beside) << beside.message();
    EXPECT_EQ(beside.value(), std::string(LUMORA_BIN_DIR) + "/" + kConversionLibraryFileName);
    EXPECT_EQ(ConversionLibraryPath("/x/y.so").value(), "/x/y.so");
}

// The editor's commands read and write through such a library: they fail with the reason the path is unknown.
TEST(LibraryBinding, WithoutAPathTheLibraryFailsWithThatReason)
{
    const std::string reason = "the program's own path: No such file or directory";
    ConversionLibrary library(Result<std::string>(Status::Failure(reason)));
    EXPECT_EQ(library.LoadStatus().message(), reason);
    EXPECT_EQ(library.V3DnfToDnf("a.dnf", "a.txt").message(), reason);
}

TEST_F(LibraryTest, SampleTextToDnfAndBackIsExact)
{
    ASSERT_TRUE(library.LoadStatus()) << library.LoadStatus().message();
    status = library.DnfToV3Dnf(test::SamplePath(), dir.File("s.dnf"));
    ASSERT_TRUE(status.ok()) << status.message();
    status = library.V3DnfToDnf(dir.File("s.dnf"), dir.File("s.txt"));
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(ReadFile(dir.File("s.txt")), ReadFile(test::SamplePath()));
    EXPECT_EQ(FilesIn(dir.Path()), 2);  // no temporary file left
}

TEST_F(LibraryTest, FullCapacityTextToDnfAndBackIsExact)
{
    std::string text = test::CanonicalText(*test::FullDatabase(2));
    WriteFile(dir.File("full.txt"), text);
    status = library.DnfToV3Dnf(dir.File("full.txt"), dir.File("full.dnf"));
    ASSERT_TRUE(status.ok()) << status.message();
    status = library.V3DnfToDnf(dir.File("full.dnf"), dir.File("back.txt"));
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(ReadFile(dir.File("back.txt")), text);
}

TEST_F(LibraryTest, DamagedDnfIsRefusedWithFileAndReason)
{
    status = library.DnfToV3Dnf(test::SamplePath(), dir.File("s.dnf"));
    ASSERT_TRUE(status.ok()) << status.message();
    std::string file = ReadFile(dir.File("s.dnf"));
    WriteFile(dir.File("cut.dnf"), file.substr(0, file.size() / 2));
    status = library.V3DnfToDnf(dir.File("cut.dnf"), dir.File("out.txt"));
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("\"" + dir.File("cut.dnf") + "\": the file is truncated"), std::string::npos)
        << status.message();
    EXPECT_FALSE(FileExists(dir.File("out.txt")));
}

TEST_F(LibraryTest, MissingSourceIsRefusedWithTheSystemReason)
{
    status = library.V3DnfToDnf(dir.File("none.dnf"), dir.File("out.txt"));
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("none.dnf\": No such file or directory"), std::string::npos) << status.message();
}

TEST_F(LibraryTest, TextThatOverflowsATableIsRefused)
{
    std::string text = "[NETWORK]\r\n";
    for (int i = 0; i <= kNetworkCapacity; ++i)
        text += "N\r\n";
    WriteFile(dir.File("big.txt"), text);
    status = library.DnfToV3Dnf(dir.File("big.txt"), dir.File("big.dnf"));
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("network info is over"), std::string::npos) << status.message();
}

TEST_F(LibraryTest, SaveIntoMissingDirectoryFails)
{
    status = library.DnfToV3Dnf(test::SamplePath(), dir.File("no/such/dir/x.dnf"));
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("x.dnf\": No such file or directory"), std::string::npos) << status.message();
}

TEST_F(LibraryTest, FailedWriteLeavesTheOldFileIntact)
{
    std::string old = "old content of the user's file";
    WriteFile(dir.File("user.dnf"), old);
    {
        FileSizeLimit limit(1000);
        status = library.DnfToV3Dnf(test::SamplePath(), dir.File("user.dnf"));
        EXPECT_FALSE(status.ok());
    }
    EXPECT_NE(status.message().find("user.dnf\": File too large"), std::string::npos) << status.message();
    EXPECT_EQ(ReadFile(dir.File("user.dnf")), old);
    EXPECT_EQ(FilesIn(dir.Path()), 1);
}

TEST_F(LibraryTest, SuccessfulWriteKeepsThePermissionsOfTheReplacedFile)
{
    WriteFile(dir.File("user.dnf"), "old");
    ::chmod(dir.File("user.dnf").c_str(), 0640);
    status = library.DnfToV3Dnf(test::SamplePath(), dir.File("user.dnf"));
    ASSERT_TRUE(status.ok()) << status.message();
    struct stat st {};
    ::stat(dir.File("user.dnf").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(LibraryTest, LastErrorIsClearedBySuccess)
{
    const Result<void*> entry = library.Entry("LV3LastError");
    ASSERT_TRUE(entry) << entry.message();
    auto lastError = reinterpret_cast<const char* (*)()>(entry.value());
    status = library.V3DnfToDnf(dir.File("none.dnf"), dir.File("out.txt"));
    EXPECT_FALSE(status.ok());
    EXPECT_STRNE(lastError(), "");
    status = library.DnfToV3Dnf(test::SamplePath(), dir.File("s.dnf"));
    EXPECT_TRUE(status.ok());
    EXPECT_STREQ(lastError(), "");
}

TEST_F(LibraryTest, EmptyPathIsRefused)
{
    status = library.V3DnfToDnf("", dir.File("out.txt"));
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("file name is missing"), std::string::npos);
}

TEST_F(LibraryTest, RawImageThroughTextAndBackIsExact)
{
    std::string text = test::CanonicalText(*test::FullDatabase(3));
    WriteFile(dir.File("in.txt"), text);
    status = library.DnfToRaw(dir.File("in.txt"), dir.File("a.dat"), kReceiver);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(ReadFile(dir.File("a.dat")).size(), conv::kRawImageSize);
    status = library.RawToDnf(dir.File("a.dat"), dir.File("a.txt"), kReceiver);
    ASSERT_TRUE(status.ok()) << status.message();
    status = library.DnfToRaw(dir.File("a.txt"), dir.File("b.dat"), kReceiver);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(ReadFile(dir.File("b.dat")), ReadFile(dir.File("a.dat")));
}

TEST_F(LibraryTest, RawImageOfAnotherReceiverIsRefused)
{
    status = library.DnfToRaw(test::SamplePath(), dir.File("a.dat"), kReceiver);
    ASSERT_TRUE(status.ok()) << status.message();
    status = library.RawToDnf(dir.File("a.dat"), dir.File("a.txt"), {3, 4, 0});
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("a.dat\": the image is for menu type 3"), std::string::npos) << status.message();
    EXPECT_FALSE(FileExists(dir.File("a.txt")));
}

TEST_F(LibraryTest, DamagedRawImagesAreRefused)
{
    status = library.DnfToRaw(test::SamplePath(), dir.File("a.dat"), kReceiver);
    ASSERT_TRUE(status.ok()) << status.message();
    std::string image = ReadFile(dir.File("a.dat"));
    WriteFile(dir.File("short.dat"), image.substr(0, image.size() - 1));
    status = library.RawToDnf(dir.File("short.dat"), dir.File("x.txt"), kReceiver);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("this one 401407"), std::string::npos) << status.message();
    WriteFile(dir.File("long.dat"), image + "x");
    status = library.RawToDnf(dir.File("long.dat"), dir.File("x.txt"), kReceiver);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("this one 401409"), std::string::npos) << status.message();
}

// Reassembles the data of a download image's records, in order.
std::string ImageData(const encoder::DdfCheckResult& check)
{
    std::string data;
    for (const auto& record : check.records)
        data.append(record.data.begin(), record.data.end());
    return data;
}

TEST_F(LibraryTest, DownloadImageHoldsTheRawImage)
{
    const uint32_t systemId = 0x2A0010;
    status = library.DnfToDDF(test::SamplePath(), dir.File("down.ddf"), kReceiver, systemId);
    ASSERT_TRUE(status.ok()) << status.message();
    status = library.DnfToRaw(test::SamplePath(), dir.File("raw.dat"), kReceiver);
    ASSERT_TRUE(status.ok()) << status.message();
    std::string image = ReadFile(dir.File("down.ddf"));
    auto check = encoder::CheckDdfImage(reinterpret_cast<const uint8_t*>(image.data()), image.size(), true);
    ASSERT_TRUE(check.valid) << check.fault;
    EXPECT_EQ(check.header.layout, 2);
    EXPECT_EQ(check.header.id, systemId);
    EXPECT_EQ(check.header.idEnd, systemId);
    ASSERT_FALSE(check.records.empty());
    EXPECT_EQ(check.records[0].address, conv::kChannelDataAddress);
    EXPECT_EQ(check.records[0].type, 3u);  // flash
    EXPECT_TRUE(check.records[0].compressed);
    EXPECT_EQ(ImageData(check), ReadFile(dir.File("raw.dat")));
    EXPECT_EQ(FilesIn(dir.Path()), 2);
}

TEST_F(LibraryTest, DownloadImageThatCannotBeWrittenIsReported)
{
    status = library.DnfToDDF(test::SamplePath(), dir.File("no/down.ddf"), kReceiver, 1);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("no/down.ddf"), std::string::npos) << status.message();
}

TEST_F(LibraryTest, DdfcheckAcceptsTheDownloadImage)
{
    std::string ddfcheck = std::string(LUMORA_BIN_DIR) + "/ddfcheck";
    if (!FileExists(ddfcheck))
        GTEST_SKIP() << "ddfcheck is not built";
    WriteFile(dir.File("full.txt"), test::CanonicalText(*test::FullDatabase(4)));
    for (const std::string& text : {test::SamplePath(), dir.File("full.txt")})
        for (uint8_t ant32 : {0, 1}) {
            status = library.DnfToDDF(text, dir.File("down.ddf"), {1, 2, ant32}, 0xABCD);
            ASSERT_TRUE(status.ok()) << status.message();
            std::string command = ddfcheck + " " + dir.File("down.ddf") + " > /dev/null";
            EXPECT_EQ(std::system(command.c_str()), 0) << text << " ant32 " << int(ant32);
        }
}

}  // namespace
}  // namespace lumora
