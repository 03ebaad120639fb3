// Two editors at once: two processes, each with its own exchange directory
// and receiver, save into the same folder, build download images and upload
// at the same time. Neither sees the other's exchange files or saves; and a
// port one of them holds is refused to the other with a clear reason.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "conversion_binding.h"
#include "exchange_dir.h"
#include "transfer_support.h"

namespace transfer_test {
namespace {

const std::string kSample = std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt";
constexpr int kRounds = 4;

std::string Marked(int editor, int round)
{
    std::string text = ReadText(kSample);
    const std::string name = "Harbor Shop";
    text.replace(text.find(name), name.size(), "Ed" + std::to_string(editor) + " Round " + std::to_string(round));
    return text;
}

// One editor's work, in a child process: each round saves a changed document,
// builds its download image and uploads from its own receiver, all through
// its exchange directory. Returns "<exchange directory>\n" or what went wrong.
std::string WorkAsEditor(int editor, const TempDir& dir)
{
    const auto made = lumora::ExchangeDirectory::Make();
    if (!made)
        return made.message();
    const lumora::ExchangeDirectory& exchange = *made.value();
    lumora::ConversionLibrary binding(LV3DLL_PATH);
    Library lib;
    SimProcess sim({"--raw", dir.File("sample.raw")});
    const std::string dnf = dir.File("editor" + std::to_string(editor) + ".dnf");
    const std::string text = lumora::ExchangeFile(exchange.Path(), lumora::kSaveExchangeFile);
    const std::string image = lumora::ExchangeFile(exchange.Path(), lumora::kDownloadImageExchangeFile);
    const std::string raw = lumora::ExchangeFile(exchange.Path(), lumora::kRawImageExchangeFile);
    const Bytes sample = ReadFile(dir.File("sample.raw"));
    for (int round = 0; round < kRounds; ++round) {
        WriteText(text, Marked(editor, round));
        const lumora::Status built = binding.DnfToV3Dnf(text, dnf).AndThen([&] {
            return binding.DnfToDDF(text, image, {0, 0, 1}, 0x2A0010);
        });
        if (!built)
            return "round " + std::to_string(round) + ": " + built.message();
        if (lib.UploadData(0, kSpeed115200, raw.c_str()) != 1)
            return "upload: " + std::string(lib.LastError());
        if (ReadFile(raw) != sample)
            return "the upload differs from the receiver's image";
    }
    return exchange.Path() + "\n";
}

TEST(TwoEditors, SaveBuildAndUploadAtOnceWithoutSharingFiles)
{
    TempDir dir;
    Library lib;
    ASSERT_EQ(lib.DnfToRaw(kSample.c_str(), dir.File("sample.raw").c_str(), 0, 0, 1), 1);
    ChildRun first = StartChild([&dir] { return WorkAsEditor(0, dir); });
    ChildRun second = StartChild([&dir] { return WorkAsEditor(1, dir); });
    ASSERT_GT(first.pid, 0);
    ASSERT_GT(second.pid, 0);
    const std::string firstResult = Finish(first);
    const std::string secondResult = Finish(second);
    ASSERT_EQ(firstResult.back(), '\n') << firstResult;
    ASSERT_EQ(secondResult.back(), '\n') << secondResult;
    EXPECT_NE(firstResult, secondResult);  // distinct exchange directories
    EXPECT_FALSE(FileExists(firstResult.substr(0, firstResult.size() - 1)));
    EXPECT_FALSE(FileExists(secondResult.substr(0, secondResult.size() - 1)));

    // Each saved file holds what its own editor wrote last.
    lumora::ConversionLibrary binding(LV3DLL_PATH);
    lumora::Status status;
    for (int editor = 0; editor < 2; ++editor) {
        const std::string back = dir.File("back" + std::to_string(editor) + ".txt");
        status = binding.V3DnfToDnf(dir.File("editor" + std::to_string(editor) + ".dnf"), back);
        ASSERT_TRUE(status.ok()) << status.message();
        const std::string expected = dir.File("expected" + std::to_string(editor) + ".txt");
        WriteText(dir.File("marked.txt"), Marked(editor, kRounds - 1));
        status = binding.DnfToV3Dnf(dir.File("marked.txt"), dir.File("marked.dnf"));
        ASSERT_TRUE(status.ok()) << status.message();
        status = binding.V3DnfToDnf(dir.File("marked.dnf"), expected);
        ASSERT_TRUE(status.ok()) << status.message();
        EXPECT_EQ(ReadText(back), ReadText(expected)) << "editor " << editor;
    }
}

// Holds the port in the middle of an upload until told to stop.
struct HoldingUpload {
    int tellHeld;
    int waitForStop;
    bool told = false;
    static int Progress(uint32_t, uint32_t, void* context)
    {
        auto* self = static_cast<HoldingUpload*>(context);
        if (!self->told) {
            self->told = true;
            [[maybe_unused]] ssize_t ignored = ::write(self->tellHeld, "held", 4);
            char go;
            ignored = ::read(self->waitForStop, &go, 1);
        }
        return 0;
    }
};

TEST(TwoEditors, PortHeldByOneIsRefusedToTheOther)
{
    TempDir dir;
    Library lib;
    ASSERT_EQ(lib.DnfToRaw(kSample.c_str(), dir.File("sample.raw").c_str(), 0, 0, 1), 1);
    SimProcess sim({"--raw", dir.File("sample.raw")});
    int held[2], stop[2];
    ASSERT_EQ(::pipe(held), 0);
    ASSERT_EQ(::pipe(stop), 0);
    ChildRun holder = StartChild([&] {
        HoldingUpload hold{held[1], stop[0]};
        lib.SetProgress(&HoldingUpload::Progress, &hold);
        lib.UploadData(0, kSpeed115200, dir.File("first.dat").c_str());
        return std::string();
    });
    ASSERT_GT(holder.pid, 0);
    char word[4];
    ASSERT_EQ(::read(held[0], word, sizeof word), 4);

    EXPECT_EQ(lib.UploadData(0, kSpeed115200, dir.File("second.dat").c_str()), 0);
    EXPECT_EQ(std::string(lib.LastError()),
              "Cannot open serial port COM 1 (" + sim.Device() + "): the port is in use by another program");
    EXPECT_FALSE(FileExists(dir.File("second.dat")));

    ASSERT_EQ(::write(stop[1], "g", 1), 1);
    Finish(holder);
    for (int fd : {held[0], held[1], stop[0], stop[1]})
        ::close(fd);
    // Once the first has let go, the port is the second's.
    ASSERT_EQ(lib.UploadData(0, kSpeed115200, dir.File("second.dat").c_str()), 1) << lib.LastError();
    EXPECT_EQ(ReadFile(dir.File("second.dat")), ReadFile(dir.File("sample.raw")));
}

}  // namespace
}  // namespace transfer_test
