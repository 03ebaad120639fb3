// A receiver that falls silent at every tenth packet of an upload and of a
// download: each transfer ends with the no-answer reason naming the port,
// within the protocol's retries, and an upload leaves no file. The cases run
// side by side in child processes (each with its own stbsim), since each
// waits out the protocol's timeout.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "transfer_support.h"

namespace transfer_test {
namespace {

const std::string kSample = std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt";
constexpr std::size_t kChunk = 1024;  // image bytes in one packet
constexpr int kCasesAtOnce = 20;
constexpr int kSecondsAllowed = 15;  // 6 attempts of well under a second each, and the packets before

enum class Direction { Upload, Download };

struct Case {
    Direction direction;
    unsigned stopAfter;
    ChildRun run;
};

// Runs in the child: the transfer against a receiver that stops after
// `stopAfter` packets. Returns what went wrong, or "" when all is as it should be.
std::string RunSilentCase(Library& lib, const TempDir& dir, const Case& c, const std::string& image)
{
    const std::string raw = dir.File("sample.raw");
    SimProcess sim({"--raw", raw, "--stop-after", std::to_string(c.stopAfter)});
    const std::string up = dir.File("up" + std::to_string(c.stopAfter) + ".dat");
    const auto start = std::chrono::steady_clock::now();
    const int result = c.direction == Direction::Upload ? lib.UploadData(0, kSpeed115200, up.c_str())
                                                        : lib.DownloadData(0, kSpeed115200, image.c_str());
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    const std::string error = lib.LastError();
    if (result != 0)
        return "the transfer succeeded";
    if (error.rfind("No answer from the receiver", 0) != 0 || error.find(sim.Device()) == std::string::npos)
        return "reason: " + error;
    if (seconds >= kSecondsAllowed)
        return "took " + std::to_string(seconds) + " s";
    if (FileExists(up) || FileExists(up + ".part"))
        return "an upload file was left";
    if (c.direction == Direction::Download && sim.NextLine(200).find("download accepted") != std::string::npos)
        return "the receiver took the download";
    return {};
}

void StartCase(Library& lib, const TempDir& dir, Case& c, const std::string& image)
{
    c.run = StartChild([&] {
        const std::string problem = RunSilentCase(lib, dir, c, image);
        return problem.empty() ? std::string("ok") : problem;
    });
    ASSERT_GT(c.run.pid, 0);
}

TEST(FaultSilence, ReceiverSilentAtEveryTenthPacketOfUploadAndDownload)
{
    TempDir dir;
    Library lib;
    ASSERT_EQ(lib.DnfToRaw(kSample.c_str(), dir.File("sample.raw").c_str(), 0, 0, 1), 1);
    const std::string image = dir.File("down.ddf");
    ASSERT_EQ(lib.DnfToDDF(kSample.c_str(), image.c_str(), 0, 0, 1, 0x2A0010), 1);
    const Bytes imageBefore = ReadFile(image);

    // Packets: the begin request, one per chunk, the end.
    const auto packets = [](std::size_t bytes) { return static_cast<unsigned>(2 + (bytes + kChunk - 1) / kChunk); };
    std::vector<Case> cases;
    for (unsigned n = 10; n < packets(kRawSize); n += 10)
        cases.push_back({Direction::Upload, n, {}});
    for (unsigned n = 10; n < packets(imageBefore.size()); n += 10)
        cases.push_back({Direction::Download, n, {}});

    for (std::size_t first = 0; first < cases.size(); first += kCasesAtOnce) {
        const std::size_t last = std::min(cases.size(), first + kCasesAtOnce);
        for (std::size_t i = first; i < last; ++i)
            StartCase(lib, dir, cases[i], image);
        for (std::size_t i = first; i < last; ++i) {
            const char* what = cases[i].direction == Direction::Upload ? "upload" : "download";
            EXPECT_EQ(Finish(cases[i].run), "ok") << what << " silent after " << cases[i].stopAfter << " packets";
        }
    }
    EXPECT_EQ(ReadFile(image), imageBefore);
}

}  // namespace
}  // namespace transfer_test
