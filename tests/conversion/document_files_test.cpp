// Opening and saving documents through the conversion library, and the
// private exchange directory.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstring>
#include <stdexcept>

#include "conversion_binding.h"
#include "crc32.h"
#include "exchange_dir.h"
#include "interchange.h"
#include "scripted_ui.h"
#include "test_support.h"

namespace lumora {
namespace {

using test::FileExists;
using test::FilesIn;
using test::ReadFile;
using test::WriteFile;

// An exchange directory for a test, which cannot go on without one.
std::unique_ptr<ExchangeDirectory> MakeExchange()
{
    Result<std::unique_ptr<ExchangeDirectory>> made = ExchangeDirectory::Make();
    if (!made)
        throw std::runtime_error(made.message());
    return std::move(made).value();
}

TEST(ExchangeDirectory, IsPrivateAndRemovedWithItsFiles)
{
    std::string path;
    {
        const auto dir = MakeExchange();
        const auto other = MakeExchange();
        path = dir->Path();
        EXPECT_NE(path, other->Path());
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        WriteFile(ExchangeFile(path, kInterchangeExchangeFile), "x");
        WriteFile(ExchangeFile(path, kDownloadImageExchangeFile), "y");
    }
    EXPECT_FALSE(FileExists(path));
}

TEST(ExchangeDirectory, RemakingFailsWithThePathAndTheReason)
{
    test::TempDir dir;
    const std::string open = dir.File("open");
    ASSERT_EQ(::mkdir(open.c_str(), 0755), 0);
    ::chmod(open.c_str(), 0755);  // whatever the umask left
    EXPECT_EQ(EnsureExchangeDirectory(open).message(),
              "the exchange directory " + open +
                  " was replaced by one not private to this program: " + std::strerror(EPERM));
    EXPECT_TRUE(EnsureExchangeDirectory(dir.File("made")));
    EXPECT_EQ(EnsureExchangeDirectory(dir.File("missing/made")).message(),
              "cannot make the exchange directory " + dir.File("missing/made") + ": " + std::strerror(ENOENT));
}

class DocumentFilesTest : public ::testing::Test {
protected:
    DocumentFilesTest()
    {
        fixture.app->ExchangeDir = exchange.Path();
        fixture.app->ConversionLibraryPath = LV3DLL_PATH;
    }

    ChannelDocument& doc() { return *fixture.doc; }
    const std::vector<test::RecordedMessage>& messages() { return fixture.ui.messages; }

    // A ".dnf" file made from the sample.
    std::string SampleDnf()
    {
        ConversionLibrary library(LV3DLL_PATH);
        const std::string path = files.File("sample.dnf");
        const Status written = library.DnfToV3Dnf(test::SamplePath(), path);
        EXPECT_TRUE(written.ok()) << written.message();
        return path;
    }

    const std::unique_ptr<ExchangeDirectory> exchangeOwner = MakeExchange();
    const ExchangeDirectory& exchange = *exchangeOwner;
    test::TempDir files;
    test::DocumentFixture fixture;
};

TEST_F(DocumentFilesTest, OpenReadsTheFileAndLeavesNoExchangeFile)
{
    std::string dnf = SampleDnf();
    ASSERT_TRUE(doc().OpenDataFile(dnf, false));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(doc().Caption, dnf);
    EXPECT_FALSE(doc().pState);
    EXPECT_FALSE(doc().pModifiedFlag());
    auto sample = test::ReadText(ReadFile(test::SamplePath()));
    EXPECT_EQ(WriteInterchange(doc().Database()), WriteInterchange(*sample));
    EXPECT_GT(doc().Database().ServiceInfo.Count(), 0);
    EXPECT_EQ(FilesIn(exchange.Path()), 0);
}

TEST_F(DocumentFilesTest, NewDocumentIsEmptyAndUnnamed)
{
    ASSERT_TRUE(doc().OpenDataFile("untitle0.dnf", true));
    EXPECT_TRUE(doc().pState);
    EXPECT_FALSE(doc().pModifiedFlag());
    EXPECT_EQ(doc().Caption, "untitle0.dnf");
    EXPECT_EQ(doc().Database().ServiceInfo.Count(), 0);
}

TEST_F(DocumentFilesTest, FailedOpenShowsFileAndReasonAndLeavesNothing)
{
    std::string dnf = SampleDnf();
    std::string content = ReadFile(dnf);
    content[content.size() / 2] ^= 0x55;
    WriteFile(dnf, content);
    const TDocumentRead opened = doc().OpenDataFile(dnf, false);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(messages().empty());  // the command shows the failure
    EXPECT_NE(opened.message().find("\"" + dnf + "\": the checksum does not match"), std::string::npos);
    EXPECT_EQ(doc().Database().ServiceInfo.Count(), 0);
    EXPECT_EQ(doc().Database().TSInfo.wTSNum, 0);
    EXPECT_EQ(FilesIn(exchange.Path()), 0);
}

TEST_F(DocumentFilesTest, MissingLibraryIsShownWithItsPath)
{
    fixture.app->ConversionLibraryPath = files.File("LV3DLL.so");
    const TDocumentRead loaded = doc().LoadDataFile(SampleDnf());
    EXPECT_FALSE(loaded);
    EXPECT_NE(loaded.message().find(files.File("LV3DLL.so")), std::string::npos);
}

TEST_F(DocumentFilesTest, SaveWritesTheFileClearsTheFlagsAndLeavesNoExchangeFile)
{
    ASSERT_TRUE(doc().OpenDataFile(SampleDnf(), false));
    doc().Edit("Change PIN", [&] { ++doc().Database().MenuConfigItem.nPINCode; });
    doc().Database().NetworkInfo.Info[0].szNetworkName = "Renamed";
    std::string target = files.File("saved.dnf");
    ASSERT_TRUE(doc().SaveDataFile(target));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(doc().Caption, target);
    EXPECT_FALSE(doc().pState);
    EXPECT_FALSE(doc().pModifiedFlag());
    EXPECT_EQ(FilesIn(exchange.Path()), 0);

    test::DocumentFixture second;
    second.app->ExchangeDir = exchange.Path();
    second.app->ConversionLibraryPath = LV3DLL_PATH;
    ASSERT_TRUE(second.doc->OpenDataFile(target, false));
    EXPECT_EQ(second.doc->Database().NetworkInfo.Info[0].szNetworkName, "Renamed");
    EXPECT_EQ(WriteInterchange(second.doc->Database()), WriteInterchange(doc().Database()));
}

TEST_F(DocumentFilesTest, SavingANewDocumentNamesIt)
{
    ASSERT_TRUE(doc().OpenDataFile("untitle0.dnf", true));
    ASSERT_TRUE(doc().SaveDataFile(files.File("new.dnf")));
    EXPECT_EQ(doc().Caption, files.File("new.dnf"));
    EXPECT_FALSE(doc().pState);
}

TEST_F(DocumentFilesTest, FailedSaveKeepsTheDocumentStateAndTheOldFile)
{
    ASSERT_TRUE(doc().OpenDataFile("untitle3.dnf", true));
    // Empty networks: two bytes each in the interchange text, a record each
    // in the channel-data file, so that only the second write hits the limit.
    doc().Database().NetworkInfo.wNetworkNum = kNetworkCapacity;
    doc().Edit("Change PIN", [&] { ++doc().Database().MenuConfigItem.nPINCode; });
    std::string target = files.File("user.dnf");
    WriteFile(target, "the user's old file");
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const Status saved_ok = doc().SaveDataFile(target);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_TRUE(messages().empty());
    EXPECT_NE(saved_ok.message().find("\"" + target + "\": File too large"), std::string::npos) << saved_ok.message();
    EXPECT_EQ(doc().Caption, "untitle3.dnf");
    EXPECT_TRUE(doc().pState);
    EXPECT_TRUE(doc().pModifiedFlag());
    EXPECT_EQ(ReadFile(target), "the user's old file");
    EXPECT_EQ(FilesIn(files.Path()), 1);
    EXPECT_EQ(FilesIn(exchange.Path()), 0);
}

TEST_F(DocumentFilesTest, SaveIntoAMissingDirectoryIsReported)
{
    ASSERT_TRUE(doc().OpenDataFile(SampleDnf(), false));
    std::string caption = doc().Caption;
    const Status saved = doc().SaveDataFile(files.File("gone/x.dnf"));
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.message().find("x.dnf\": No such file or directory"), std::string::npos);
    EXPECT_EQ(doc().Caption, caption);
    EXPECT_FALSE(doc().pState);
}

// The names shown in favorite list `list` of TV (group 0) or radio (group 1).
std::vector<std::string> FavoriteNames(test::DocumentFixture& f, int group, int list)
{
    f.doc->FR1Click(group == 0);
    f.Select(MakeTag(kKindFavorite, uint32_t(list)));
    return f.Column(kColName);
}

TEST_F(DocumentFilesTest, FavoritesNameTheSameServicesAfterAChangeOfFlashType)
{
    using Names = std::vector<std::string>;
    // Saved with ordinary numbering: favorites hold ordinals.
    fixture.AddTS(0, -1);
    fixture.AddService(kServiceTypeTV, "T-A");
    fixture.AddService(kServiceTypeRadio, "R-A");
    fixture.AddService(kServiceTypeTV, "T-B", 0, -1, 7);
    fixture.AddService(kServiceTypeTV, "T-C");
    fixture.AddService(kServiceTypeRadio, "R-B", 0, -1, 42);
    fixture.AddService(kServiceTypeTV, "T-D");
    for (int32_t ordinal : {3, 1, 0})
        fixture.AddFavorite(0, 0, ordinal);
    fixture.AddFavorite(0, 2, 2);
    fixture.AddFavorite(1, 1, 1);
    std::string path = files.File("favorites.dnf");
    ASSERT_TRUE(doc().SaveDataFile(path));

    // Opened under each other numbering in turn, and saved again under it.
    const std::string renumbered = "The favorite lists of this file were numbered for another flash type; they "
                                   "were renumbered to name the same services.";
    for (uint8_t flashType : {4, 3, 0}) {
        test::DocumentFixture next(flashType);
        next.app->ExchangeDir = exchange.Path();
        next.app->ConversionLibraryPath = LV3DLL_PATH;
        const TDocumentRead opened = next.doc->OpenDataFile(path, false);
        ASSERT_TRUE(opened) << int(flashType);
        EXPECT_EQ(opened.notices, (std::vector<TNotice>{{MsgKind::Information, renumbered}})) << int(flashType);
        EXPECT_EQ(FavoriteNames(next, 0, 0), (Names{"T-D", "T-B", "T-A"})) << int(flashType);
        EXPECT_EQ(FavoriteNames(next, 0, 2), (Names{"T-C"})) << int(flashType);
        EXPECT_EQ(FavoriteNames(next, 1, 1), (Names{"R-B"})) << int(flashType);
        EXPECT_TRUE(next.ui.messages.empty());  // the document itself shows nothing
        ASSERT_TRUE(next.doc->SaveDataFile(path));
    }

    // A version 1 file records no numbering: its entries are read as stored,
    // without a message.
    std::string file = ReadFile(path);
    file[8] = 1;
    file[72] = 0;
    const std::size_t body = file.size() - 4;
    const uint32_t crc = conv::Crc32(reinterpret_cast<const uint8_t*>(file.data()), body);
    for (int i = 0; i < 4; ++i)
        file[body + std::size_t(i)] = char(crc >> (8 * i));
    WriteFile(path, file);
    test::DocumentFixture old(4);
    old.app->ExchangeDir = exchange.Path();
    old.app->ConversionLibraryPath = LV3DLL_PATH;
    const TDocumentRead opened = old.doc->OpenDataFile(path, false);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(opened.notices.empty());
    const TFavoriteItem& list = old.db().FavoriteInfo[0][0];
    EXPECT_EQ(std::vector<int32_t>(list.Index.begin(), list.Index.begin() + list.wIndexNum),
              (std::vector<int32_t>{3, 1, 0}));
}

TEST_F(DocumentFilesTest, UploadReadsTheExchangeFileAndMarksTheDocumentModified)
{
    WriteFile(ExchangeFile(exchange.Path(), kInterchangeExchangeFile), ReadFile(test::SamplePath()));
    ASSERT_TRUE(doc().OpenFileFromUpload("upload0.dnf", true));
    EXPECT_EQ(doc().Caption, "upload0.dnf");
    EXPECT_TRUE(doc().pState);
    EXPECT_TRUE(doc().pModifiedFlag());
    EXPECT_GT(doc().Database().ServiceInfo.Count(), 0);
    EXPECT_EQ(FilesIn(exchange.Path()), 0);
}

TEST_F(DocumentFilesTest, UploadWithoutExchangeFileIsReported)
{
    const TDocumentRead opened = doc().OpenFileFromUpload("upload0.dnf", true);
    EXPECT_FALSE(opened);
    EXPECT_NE(opened.message().find(kInterchangeExchangeFile), std::string::npos);
}

TEST_F(DocumentFilesTest, WithoutExchangeDirectoryNothingIsWritten)
{
    fixture.app->ExchangeDir.clear();
    const Status saved = doc().SaveDataFile(files.File("x.dnf"));
    EXPECT_FALSE(saved);
    EXPECT_EQ(saved.message(), "the exchange directory of the program has not been made");
    EXPECT_FALSE(FileExists(files.File("x.dnf")));
}

}  // namespace
}  // namespace lumora
