// lumora-cli's conversion subcommands, run as a program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>

#include "csv_table.h"
#include "test_support.h"

namespace lumora {
namespace {

using test::ReadFile;

struct RunResult {
    int status = -1;
    std::string output;  // standard output and standard error together
};

RunResult RunCli(const std::string& arguments, const std::string& environment = {})
{
    RunResult result;
    std::string command = environment + std::string(LUMORA_CLI_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class CliTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string Q(const std::string& name) { return "'" + dir.File(name) + "'"; }
};

TEST_F(CliTest, ConvertGoesToDnfAndBackExactly)
{
    EXPECT_EQ(RunCli("convert '" + test::SamplePath() + "' " + Q("s.dnf")).status, 0);
    EXPECT_EQ(RunCli("convert " + Q("s.dnf") + " " + Q("s.txt")).status, 0);
    EXPECT_EQ(ReadFile(dir.File("s.txt")), ReadFile(test::SamplePath()));
}

TEST_F(CliTest, ConvertWantsExactlyOneDnfName)
{
    RunResult both = RunCli("convert " + Q("a.txt") + " " + Q("b.txt"));
    EXPECT_EQ(both.status, 2);
    EXPECT_NE(both.output.find("usage"), std::string::npos);
    EXPECT_EQ(RunCli("convert " + Q("a.DNF") + " " + Q("b.dnf")).status, 2);
}

TEST_F(CliTest, CheckPrintsTheCounts)
{
    ASSERT_EQ(RunCli("convert '" + test::SamplePath() + "' " + Q("s.dnf")).status, 0);
    RunResult check = RunCli("check " + Q("s.dnf"));
    EXPECT_EQ(check.status, 0);
    EXPECT_NE(check.output.find("transport streams: 38\n"), std::string::npos) << check.output;
    EXPECT_NE(check.output.find("TV services: 235\n"), std::string::npos) << check.output;
    EXPECT_NE(check.output.find("radio services: 118\n"), std::string::npos) << check.output;
}

TEST_F(CliTest, CheckOfADamagedFileGivesStatusOneAndTheReason)
{
    ASSERT_EQ(RunCli("convert '" + test::SamplePath() + "' " + Q("s.dnf")).status, 0);
    std::string file = ReadFile(dir.File("s.dnf"));
    file[200] ^= 0x10;
    test::WriteFile(dir.File("bad.dnf"), file);
    RunResult check = RunCli("check " + Q("bad.dnf"));
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.output.find("bad.dnf\": the checksum does not match"), std::string::npos) << check.output;
    EXPECT_EQ(RunCli("check " + Q("missing.dnf")).status, 2);
}

// The finding lines of a check's output.
std::vector<std::string> FindingLines(const std::string& output)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = output.substr(start, end - start);
        if (line.rfind("error: ", 0) == 0 || line.rfind("warning: ", 0) == 0)
            lines.push_back(line);
    }
    return lines;
}

// The sample with a service on a stream that does not exist, a favorite entry
// naming no service and, when `overfull`, one favorite line more than a list
// holds (which only interchange text can carry).
std::string DamagedSample(bool overfull)
{
    std::string text = ReadFile(test::SamplePath());
    auto replace = [&text](const std::string& from, const std::string& to) {
        std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            text.replace(at, from.size(), to);
    };
    replace("\tFALSE\t0\t1\tNova Shows\t", "\tFALSE\t40\t1\tNova Shows\t");
    std::string favorites = "[FAVORITE]\r\n0\t1\t999\r\n";
    for (int i = 0; overfull && i <= 100; ++i)  // 101 different services: too many, none twice
        favorites += "1\t3\t" + std::to_string(i) + "\r\n";
    replace("[FAVORITE]\r\n", favorites);
    return text;
}

TEST_F(CliTest, CheckPrintsTheFindingsAndWritesTheSafeFixesToANewFile)
{
    RunResult sample = RunCli("check '" + test::SamplePath() + "'");
    EXPECT_EQ(sample.status, 0) << sample.output;
    EXPECT_EQ(FindingLines(sample.output), std::vector<std::string>{});

    std::vector<std::string> damaged = {"error: TV service 2 \"Nova Shows\": stream index 40 is beyond the 38 streams",
                                        "error: TV favorite list B entry 1: value 999 names no TV service"};
    test::WriteFile(dir.File("bad.txt"), DamagedSample(false));
    ASSERT_EQ(RunCli("convert " + Q("bad.txt") + " " + Q("bad.dnf")).status, 0);
    test::WriteFile(dir.File("bad.txt"), DamagedSample(true));
    RunResult dnf = RunCli("check " + Q("bad.dnf"));
    EXPECT_EQ(dnf.status, 1) << dnf.output;
    EXPECT_EQ(FindingLines(dnf.output), damaged);
    damaged.insert(damaged.begin(), "error: file: The size of favorite list is over. some data is excluded!");
    RunResult text = RunCli("check " + Q("bad.txt"));
    EXPECT_EQ(text.status, 1) << text.output;
    EXPECT_EQ(FindingLines(text.output), damaged);

    // The fixes never go over the input, and only in the input's format.
    const std::string input = ReadFile(dir.File("bad.txt"));
    EXPECT_EQ(RunCli("check " + Q("bad.txt") + " --fix " + Q("bad.txt")).status, 2);
    EXPECT_EQ(RunCli("check " + Q("bad.txt") + " --fix " + Q("fixed.dnf")).status, 2);
    EXPECT_EQ(ReadFile(dir.File("bad.txt")), input);
    EXPECT_FALSE(test::FileExists(dir.File("fixed.dnf")));

    for (const char* name : {"bad.txt", "bad.dnf"}) {
        const std::string out = std::string("fixed") + (name[4] == 't' ? ".txt" : ".dnf");
        RunResult fix = RunCli("check " + Q(name) + " --fix " + Q(out));
        EXPECT_EQ(fix.status, 1) << fix.output;  // the input had errors
        EXPECT_NE(fix.output.find("2 fixes written to"), std::string::npos) << fix.output;
        RunResult again = RunCli("check " + Q(out));
        EXPECT_EQ(again.status, 0) << again.output;
        EXPECT_EQ(FindingLines(again.output), std::vector<std::string>{}) << again.output;
        EXPECT_NE(again.output.find("TV favorites: A=12 B=8 C=6 D=4\n"), std::string::npos) << again.output;
    }
}

TEST_F(CliTest, DdfRefusesBadOptions)
{
    std::string in = "'" + test::SamplePath() + "' " + Q("out.ddf");
    EXPECT_EQ(RunCli("ddf " + in).status, 2);  // no system id
    EXPECT_EQ(RunCli("ddf " + in + " --system-id 123456789").status, 2);
    EXPECT_EQ(RunCli("ddf " + in + " --system-id 12G4").status, 2);
    EXPECT_EQ(RunCli("ddf " + in + " --system-id 1 --ant32 2").status, 2);
    EXPECT_FALSE(test::FileExists(dir.File("out.ddf")));
}

TEST_F(CliTest, DdfBuildsTheSameImageFromTextAndFromDnf)
{
    std::string ids = " --system-id 2A0010 --menu-type 2 --flash-type 3 --ant32 0";
    ASSERT_EQ(RunCli("convert '" + test::SamplePath() + "' " + Q("s.dnf")).status, 0);
    EXPECT_EQ(RunCli("ddf '" + test::SamplePath() + "' " + Q("a.ddf") + ids).status, 0);
    EXPECT_EQ(RunCli("ddf " + Q("s.dnf") + " " + Q("b.ddf") + ids).status, 0);
    std::string image = ReadFile(dir.File("a.ddf"));
    ASSERT_GT(image.size(), 20u);
    EXPECT_EQ(image, ReadFile(dir.File("b.ddf")));
    // Header layout 2: ID and ID end at offsets 8 and 12, big-endian.
    EXPECT_EQ(image.substr(8, 8), std::string("\x00\x2A\x00\x10\x00\x2A\x00\x10", 8));
}

TEST_F(CliTest, DdfReportsAnImageThatCannotBeWritten)
{
    RunResult ddf = RunCli("ddf '" + test::SamplePath() + "' " + Q("no/out.ddf") + " --system-id 2A0010");
    EXPECT_EQ(ddf.status, 1);
    EXPECT_NE(ddf.output.find("no/out.ddf\": Creating error"), std::string::npos) << ddf.output;
}

// The names of an exported CSV, top to bottom.
std::vector<std::string> ExportedNames(const std::string& csv)
{
    std::vector<std::string> names;
    const Result<std::vector<TCsvRow>> rows = ParseCsv(csv);
    EXPECT_TRUE(rows) << rows.message();
    for (const TCsvRow& row : rows ? rows.value() : std::vector<TCsvRow>{})
        names.push_back(row.at(1));
    names.erase(names.begin());  // the header row
    return names;
}

TEST_F(CliTest, ImportOrderFollowsAnExportedListReversedAndReportsUnmatchedRows)
{
    ASSERT_EQ(RunCli("convert '" + test::SamplePath() + "' " + Q("s.dnf")).status, 0);
    ASSERT_EQ(RunCli("export " + Q("s.dnf") + " " + Q("s.csv")).status, 0);
    const Result<std::vector<TCsvRow>> parsed = ParseCsv(ReadFile(dir.File("s.csv")));
    ASSERT_TRUE(parsed) << parsed.message();
    const std::vector<TCsvRow>& rows = parsed.value();
    ASSERT_GT(rows.size(), 3u);
    std::string reversed = CsvRecord(rows[0]);
    for (std::size_t i = rows.size() - 1; i >= 1; --i)
        reversed += CsvRecord(rows[i]);
    reversed += "7,Nobody,1,1,1,9999,1,,FALSE,FALSE,,,1\r\n";
    test::WriteFile(dir.File("r.csv"), reversed);

    const RunResult imported = RunCli("import-order " + Q("s.dnf") + " " + Q("r.csv") + " " + Q("out.dnf"));
    EXPECT_EQ(imported.status, 0) << imported.output;
    EXPECT_NE(imported.output.find("no service matches line " + std::to_string(rows.size() + 1) + ": Nobody"),
              std::string::npos)
        << imported.output;

    ASSERT_EQ(RunCli("export " + Q("out.dnf") + " " + Q("o.csv")).status, 0);
    std::vector<std::string> expected = ExportedNames(ReadFile(dir.File("s.csv")));
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(ExportedNames(ReadFile(dir.File("o.csv"))), expected);

    const RunResult html = RunCli("export " + Q("out.dnf") + " " + Q("o.html"));
    EXPECT_EQ(html.status, 0) << html.output;
    EXPECT_NE(ReadFile(dir.File("o.html")).find(">" + expected.front() + "</td>"), std::string::npos);
    EXPECT_EQ(RunCli("export " + Q("out.dnf") + " " + Q("o.txt")).status, 2);
}

// The channel files of Linux DVB programs, chosen by extension. The first
// antenna is named as an import names a free antenna, with its position.
TEST_F(CliTest, ExportWritesDvbv5AndVdrChannelFilesByExtension)
{
    std::string sample = ReadFile(test::SamplePath());
    const std::string first = "0\t4294967295\t0\t0\t3\t0\t0\t0\t";
    ASSERT_NE(sample.find(first), std::string::npos);
    sample.replace(sample.find(first), first.size(), "0\t4294967295\t0\t0\t0\t0\t0\t0\t19.2E ASTRA 1");
    test::WriteFile(dir.File("a.txt"), sample);
    ASSERT_EQ(RunCli("convert " + Q("a.txt") + " " + Q("a.dnf")).status, 0);

    const RunResult vdr = RunCli("export " + Q("a.dnf") + " " + Q("a.conf"));
    EXPECT_EQ(vdr.status, 0) << vdr.output;
    EXPECT_NE(vdr.output.find("not part of VDR's channels.conf"), std::string::npos) << vdr.output;
    const std::string conf = ReadFile(dir.File("a.conf"));
    EXPECT_EQ(conf.rfind("Harbor Shop;", 0), 0u) << conf.substr(0, 80);
    EXPECT_NE(conf.find(":10804:VC78M2S0:S19.2E:22000:"), std::string::npos);
    for (const char* name : {"a.channels", "a.dvbv5"}) {
        const RunResult dvbv5 = RunCli("export " + Q("a.dnf") + " " + Q(name));
        EXPECT_EQ(dvbv5.status, 0) << dvbv5.output;
        EXPECT_EQ(ReadFile(dir.File(name)).find("[Harbor Shop]\n\tSERVICE_ID = 101\n"), 21u) << name;
    }
}

// diff and merge on the sample and on a copy with one audio PID changed and
// the last service gone.
TEST_F(CliTest, DiffAndMergeOnTheSampleAndAChangedCopy)
{
    ASSERT_EQ(RunCli("convert '" + test::SamplePath() + "' " + Q("s.dnf")).status, 0);
    std::string changed = ReadFile(test::SamplePath());
    const std::string nova = "532\t533\t532\t3\tFALSE\tFALSE\tFALSE\t0\t1\tNova Shows";
    ASSERT_NE(changed.find(nova), std::string::npos);
    changed.replace(changed.find(nova), nova.size(), "532\t534\t532\t3\tFALSE\tFALSE\tFALSE\t0\t1\tNova Shows");
    const std::size_t last = changed.find("V\t3808\t");
    ASSERT_NE(last, std::string::npos);
    changed.erase(last, changed.find('\n', last) + 1 - last);
    test::WriteFile(dir.File("c.txt"), changed);

    const RunResult same = RunCli("diff " + Q("s.dnf") + " '" + test::SamplePath() + "'");
    EXPECT_EQ(same.status, 0) << same.output;
    EXPECT_EQ(same.output, "");
    const RunResult diff = RunCli("diff " + Q("s.dnf") + " " + Q("c.txt"));
    EXPECT_EQ(diff.status, 1);
    EXPECT_EQ(diff.output, "service changed: \"Nova Shows\" wAudioPID 533 -> 534\n"
                           "service removed: \"Nova Music 2\" (TV 3808 on 12469 V (2/1038) on antenna 2)\n");
    const RunResult json = RunCli("diff --json " + Q("s.dnf") + " " + Q("c.txt"));
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.output.find("{\"equal\": false, \"counts\": {\"antenna\": {\"added\": 0, \"removed\": 0, "
                               "\"changed\": 0, \"unchanged\": 2}"),
              std::string::npos)
        << json.output;
    EXPECT_NE(json.output.find("\"service\": {\"added\": 0, \"removed\": 1, \"changed\": 1"), std::string::npos);

    const RunResult dry = RunCli("merge " + Q("c.txt") + " " + Q("s.dnf") + " " + Q("m.txt") + " --dry-run");
    EXPECT_EQ(dry.status, 0) << dry.output;
    EXPECT_NE(dry.output.find("services: 1 added, 0 updated, "), std::string::npos) << dry.output;
    EXPECT_FALSE(test::FileExists(dir.File("m.txt")));
    const RunResult merged = RunCli("merge " + Q("c.txt") + " " + Q("s.dnf") + " " + Q("m.txt") + " --policy theirs");
    EXPECT_EQ(merged.status, 0) << merged.output;
    EXPECT_EQ(RunCli("diff " + Q("m.txt") + " " + Q("s.dnf")).output, "");

    // One antenna's radio services into a .dnf: nothing is new there.
    const RunResult radio =
        RunCli("merge " + Q("s.dnf") + " " + Q("c.txt") + " " + Q("o.dnf") + " --antenna 2 --radio");
    EXPECT_EQ(radio.status, 0) << radio.output;
    EXPECT_EQ(RunCli("diff " + Q("o.dnf") + " " + Q("s.dnf")).status, 0);
    EXPECT_EQ(test::FilesIn(dir.Path()), 4);  // no temporary file is left

    EXPECT_EQ(RunCli("merge " + Q("none.txt") + " " + Q("s.dnf") + " " + Q("x.txt")).status, 2);
    EXPECT_EQ(RunCli("merge " + Q("s.dnf") + " " + Q("c.txt") + " " + Q("x.txt") + " --policy any").status, 2);
    EXPECT_FALSE(test::FileExists(dir.File("x.txt")));
}

}  // namespace

// import on real tuning tables: one satellite onto a chosen antenna, a dry run
// over every satellite table (refused whole), and files it cannot read.
TEST_F(CliTest, ImportTuningTablesIntoTheSample)
{
    const std::string tables = "/usr/share/dvb/dvb-s";
    if (!test::FileExists(tables + "/Hotbird-13.0E"))
        GTEST_SKIP() << "dtv-scan-tables is not installed (apt-get install dtv-scan-tables)";
    const std::string env = "XDG_CONFIG_HOME=" + Q("config") + " ";  // the built-in position table
    const std::string sample = "'" + test::SamplePath() + "' ";
    const RunResult one =
        RunCli("import " + sample + Q("one.txt") + " " + tables + "/Hotbird-13.0E --position 13.0E=3", env);
    EXPECT_EQ(one.status, 0) << one.output;
    EXPECT_NE(one.output.find("13.0E HOTBIRD: 91 streams to antenna 3\n"), std::string::npos) << one.output;
    EXPECT_NE(one.output.find("transport streams: 91 added"), std::string::npos) << one.output;
    EXPECT_NE(one.output.find("Hotbird-13.0E: DVB-S2 skipped: 4\n"), std::string::npos) << one.output;
    EXPECT_TRUE(test::FileExists(dir.File("one.txt")));

    const RunResult all = RunCli("import " + sample + Q("all.txt") + " " + tables + " --dry-run", env);
    EXPECT_EQ(all.status, 1);
    for (const char* line :
         {"entries read: 9498\n", "frequencies in the wrong unit: 2\n", "Hispasat-30.0W:182: frequency 12207 is MHz",
          "SES3_C-103.0W:96: frequency 4090 is MHz", "the import does not fit: 181 orbital positions"})
        EXPECT_NE(all.output.find(line), std::string::npos) << line;
    EXPECT_EQ(
        RunCli("import " + sample + Q("x.txt") + " " + tables + " --only 13.0E --only 19.2E --dry-run", env).status, 0);

    test::WriteFile(dir.File("junk.conf"), "this is no channel list\n");
    const RunResult junk = RunCli("import " + sample + Q("x.txt") + " " + Q("junk.conf"), env);
    EXPECT_EQ(junk.status, 1);
    EXPECT_NE(junk.output.find("junk.conf: not a channel file"), std::string::npos) << junk.output;
    EXPECT_EQ(RunCli("import " + sample + Q("x.txt") + " " + Q("junk.conf") + " --position 13E").status, 2);
    EXPECT_FALSE(test::FileExists(dir.File("x.txt")));
    EXPECT_FALSE(test::FileExists(dir.File("all.txt")));
}

}  // namespace lumora
