// The one file writer: each row prepares a folder, replaces one file in it
// and checks what a person would find on disk afterwards.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <system_error>

#include "../common/file_size_limit.h"
#include "atomic_file.h"

using namespace lumora;
namespace fs = std::filesystem;

namespace {

constexpr const char* kOld = "old content\n";
constexpr const char* kNew = "new content, longer than the old one\n";

std::string Read(const fs::path& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

void Put(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// `path`, holding the old content.
fs::path WithOld(const fs::path& path)
{
    Put(path, kOld);
    return path;
}

std::set<std::string> Names(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        names.insert(entry.path().lexically_relative(dir).string());
    return names;
}

mode_t Mode(const fs::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// What a write did: the error message, empty when it succeeded.
using Writer = std::function<std::string(const std::string& path)>;

std::string WriteHere(const std::string& path) { return WriteFileAtomically(path, kNew).message(); }

// Writes while files may not grow beyond 16 bytes.
std::string WriteUnderSizeLimit(const std::string& path)
{
    lumora::test::FileSizeLimit limit(16);
    return WriteHere(path);
}

struct Row {
    const char* name;
    // Prepares `dir` and returns the path to write.
    std::function<fs::path(const fs::path& dir)> prepare;
    Writer write;
    // The expected error's reason (strerror), or nullptr for success.
    const char* reason;
    // Checks the folder afterwards.
    std::function<void(const fs::path& dir)> check;
    bool needsPermissionChecks = false;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class AtomicFileWrite : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "atomic-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(dir_ / "ro", fs::perms::owner_all, ec);
        fs::remove_all(dir_);
    }
    fs::path dir_;
};

TEST_P(AtomicFileWrite, ReplacesTheFileOrLeavesTheOldOne)
{
    const Row& row = GetParam();
    if (row.needsPermissionChecks && ::geteuid() == 0)
        GTEST_SKIP() << "running as root: folder permissions do not stop root from writing";
    const fs::path path = row.prepare(dir_);
    const std::string message = row.write(path.string());
    if (row.reason)
        EXPECT_EQ(message, path.string() + ": " + row.reason);
    else
        EXPECT_EQ(message, "");
    row.check(dir_);
}

const Row kRows[] = {
    {"ThroughLinksTheFinalTargetIsReplacedAndTheLinksKept",
     [](const fs::path& dir) {
         fs::create_directory(dir / "real");
         Put(dir / "real" / "data.cfg", kOld);
         fs::create_symlink("real/data.cfg", dir / "inner.cfg");
         fs::create_symlink(dir / "inner.cfg", dir / "outer.cfg");
         return dir / "outer.cfg";
     },
     WriteHere, nullptr,
     [](const fs::path& dir) {
         EXPECT_TRUE(fs::is_symlink(dir / "outer.cfg"));
         EXPECT_TRUE(fs::is_symlink(dir / "inner.cfg"));
         EXPECT_EQ(Read(dir / "real" / "data.cfg"), kNew);
         EXPECT_EQ(Names(dir), (std::set<std::string>{"inner.cfg", "outer.cfg", "real", "real/data.cfg"}));
     }},
    {"ALinkToAMissingFileCreatesTheTarget",
     [](const fs::path& dir) {
         fs::create_symlink("target.cfg", dir / "link.cfg");
         return dir / "link.cfg";
     },
     WriteHere, nullptr,
     [](const fs::path& dir) {
         EXPECT_TRUE(fs::is_symlink(dir / "link.cfg"));
         EXPECT_EQ(Read(dir / "target.cfg"), kNew);
     }},
    {"TheModeOfTheReplacedFileIsKept",
     [](const fs::path& dir) {
         const fs::path file = WithOld(dir / "data.cfg");
         ::chmod(file.c_str(), 0604);
         return file;
     },
     WriteHere, nullptr,
     [](const fs::path& dir) {
         EXPECT_EQ(Mode(dir / "data.cfg"), 0604u);
         EXPECT_EQ(Read(dir / "data.cfg"), kNew);
     }},
    {"ANewFileGetsTheUsualModeUnderTheUmask", [](const fs::path& dir) { return dir / "new.cfg"; },
     [](const std::string& path) {
         mode_t old = ::umask(027);
         std::string message = WriteHere(path);
         ::umask(old);
         return message;
     },
     nullptr,
     [](const fs::path& dir) {
         EXPECT_EQ(Mode(dir / "new.cfg"), 0640u);
         EXPECT_EQ(Names(dir), std::set<std::string>{"new.cfg"});
     }},
    {"ANameOf255BytesWorks", [](const fs::path& dir) { return WithOld(dir / std::string(255, 'n')); }, WriteHere,
     nullptr,
     [](const fs::path& dir) {
         EXPECT_EQ(Read(dir / std::string(255, 'n')), kNew);
         EXPECT_EQ(Names(dir), std::set<std::string>{std::string(255, 'n')});
     }},
    {"AReadOnlyFolderFailsAndKeepsTheOldFile",
     [](const fs::path& dir) {
         fs::create_directory(dir / "ro");
         Put(dir / "ro" / "data.cfg", kOld);
         ::chmod((dir / "ro").c_str(), 0555);
         return dir / "ro" / "data.cfg";
     },
     WriteHere, "Permission denied",
     [](const fs::path& dir) {
         EXPECT_EQ(Read(dir / "ro" / "data.cfg"), kOld);
         EXPECT_EQ(Names(dir), (std::set<std::string>{"ro", "ro/data.cfg"}));
     },
     true},
    {"AFileSizeLimitFailsCleanlyAndKeepsTheOldFile", [](const fs::path& dir) { return WithOld(dir / "data.cfg"); },
     WriteUnderSizeLimit, "File too large",
     [](const fs::path& dir) {
         EXPECT_EQ(Read(dir / "data.cfg"), kOld);
         EXPECT_EQ(Names(dir), std::set<std::string>{"data.cfg"});
     }},
    {"AFolderInThePlaceOfTheFileFailsAndStays",
     [](const fs::path& dir) {
         fs::create_directory(dir / "data.cfg");
         return dir / "data.cfg";
     },
     WriteHere, "Is a directory",
     [](const fs::path& dir) {
         EXPECT_TRUE(fs::is_directory(dir / "data.cfg"));
         EXPECT_EQ(Names(dir), std::set<std::string>{"data.cfg"});
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, AtomicFileWrite, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

}  // namespace
