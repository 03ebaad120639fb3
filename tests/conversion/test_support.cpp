#include "test_support.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "interchange.h"

namespace lumora::test {

namespace {

// Bytes that the interchange file can carry inside a name: no TAB, CR, LF,
// end-of-file mark or NUL.
std::string RandomName(std::mt19937& rng, std::size_t maxLength)
{
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<int> byte(0x20, 0xFF);
    std::string name(length(rng), ' ');
    for (char& c : name)
        c = static_cast<char>(byte(rng));
    return name;
}

template <typename T>
T Random(std::mt19937& rng)
{
    return static_cast<T>(rng());
}

void FillMenu(std::mt19937& rng, TMenuConfigItem& m)
{
    m.nMenuLang = Random<uint8_t>(rng);
    m.nMainAudioLang = Random<uint8_t>(rng);
    m.n2ndAudioLang = 1;
    m.nSubtitleLang = Random<uint8_t>(rng);
    m.nTimeOffset = static_cast<uint32_t>(-930);
    m.nTimerIndex = Random<uint32_t>(rng);
    m.nVideoOutput = 2;
    m.nScreenMode = 1;
    m.nDisplayFormat = 0x30;
    m.nInfoboxType = 4;
    m.nInfoboxTime = 20;
    m.nUserYear = 99;
    m.nUserMonth = 12;
    m.nUserDay = 31;
    m.nUHFChannel = 36;
    m.nUHFPAL = 4;
    m.nUHFOffset = -4;
    m.nCensorShip = 5;
    m.nPINCode = 1234;
    m.nAutoScanMode = Random<uint32_t>(rng);
    m.nFrequency = Random<uint32_t>(rng);
    m.nSymbolRate = Random<uint32_t>(rng);
    m.nAddSymbolRate = {255, 0, 17, 200};
    m.nAntennaId = 31;
    m.nLNBPower = 1;
    m.wVideoPID = Random<uint16_t>(rng);
    m.wAudioPID = Random<uint16_t>(rng);
    m.wPCRPID = Random<uint16_t>(rng);
    m.wFakeServiceId = Random<uint16_t>(rng);
}

}  // namespace

std::unique_ptr<TChannelDatabase> FullDatabase(uint32_t seed)
{
    std::mt19937 rng(seed);
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    for (auto& a : db->AntennaList.AntennaInfo)
        a = {Random<uint32_t>(rng), Random<uint16_t>(rng), Random<uint16_t>(rng), Random<uint8_t>(rng),
             Random<uint8_t>(rng),  Random<uint8_t>(rng),  Random<uint8_t>(rng),  RandomName(rng, 40)};
    db->AntennaList.AntennaInfo[0].dwLNBFreq = kUniversalLNB;
    db->TSInfo.wTSNum = kTSCapacity;
    for (auto& ts : db->TSInfo.Info) {
        ts = TTSItem{};
        ts.wOrgNetworkId = Random<uint16_t>(rng);
        ts.wTsId = Random<uint16_t>(rng);
        ts.wAntennaIndex = static_cast<uint16_t>(rng() % 32);
        ts.pNetworkIndex = static_cast<int32_t>(rng() % 501) - 1;
        ts.SATTSInfo.dwFrequency = Random<uint32_t>(rng);
        ts.SATTSInfo.dwSymbolRate = Random<uint32_t>(rng);
        ts.SATTSInfo.ucPolarization = Random<uint8_t>(rng);
        ts.SATTSInfo.ucFEC = Random<uint8_t>(rng);
    }
    db->NetworkInfo.wNetworkNum = kNetworkCapacity;
    for (auto& n : db->NetworkInfo.Info)
        n = {0, 0, RandomName(rng, 50)};
    db->ProviderInfo.wProviderNum = kProviderCapacity;
    for (auto& p : db->ProviderInfo.Info)
        p = {0, RandomName(rng, 50)};
    for (auto& group : db->FavoriteInfo)
        for (auto& list : group) {
            list.wIndexNum = kFavoriteCapacity;
            for (auto& v : list.Index)
                v = static_cast<int32_t>(rng() % 4000);
        }
    for (auto& s : db->ServiceInfo.pServiceInfo) {
        s = TServiceItem{};
        s.wServiceId = Random<uint16_t>(rng);
        s.wPmtPID = Random<uint16_t>(rng);
        s.wVideoPID = Random<uint16_t>(rng);
        s.wAudioPID = Random<uint16_t>(rng);
        s.wPCRPID = Random<uint16_t>(rng);
        s.ServiceType = static_cast<uint8_t>(rng() % 2);
        s.ServiceKind = static_cast<uint8_t>(rng() % 16);
        s.bParentLock = rng() % 2;
        s.bSkipService = rng() % 2;
        s.bScrambled = rng() % 2;
        s.wServiceNumber = Random<uint16_t>(rng);
        s.pTSIndex = static_cast<int32_t>(rng() % 1001) - 1;
        s.pProviderIndex = static_cast<int32_t>(rng() % 501) - 1;
        s.szServiceName = RandomName(rng, 34);
        ++(s.ServiceType == kServiceTypeTV ? db->ServiceInfo.wTVNum : db->ServiceInfo.wRadioNum);
    }
    FillMenu(rng, db->MenuConfigItem);
    return db;
}

std::unique_ptr<TChannelDatabase> SmallDatabase()
{
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    db->AntennaList.AntennaInfo[1] = {9750, 1, 2, 3, 0xCA, 4, 5, "ASTRA"};
    db->TSInfo.wTSNum = 2;
    db->TSInfo.Info[0].SATTSInfo.dwFrequency = 11778;
    db->TSInfo.Info[0].pNetworkIndex = 0;
    db->TSInfo.Info[1].wAntennaIndex = 1;
    db->NetworkInfo.wNetworkNum = 1;
    db->NetworkInfo.Info[0].szNetworkName = "Net";
    db->ProviderInfo.wProviderNum = 1;
    db->ProviderInfo.Info[0].szProviderName = "Prov";
    db->FavoriteInfo[1][2].wIndexNum = 1;
    db->FavoriteInfo[1][2].Index[0] = 7;
    db->ServiceInfo.wTVNum = 1;
    db->ServiceInfo.wRadioNum = 1;
    db->ServiceInfo.pServiceInfo[0] = TServiceItem{};
    db->ServiceInfo.pServiceInfo[0].szServiceName = "One";
    db->ServiceInfo.pServiceInfo[0].pTSIndex = 0;
    db->ServiceInfo.pServiceInfo[1] = TServiceItem{};
    db->ServiceInfo.pServiceInfo[1].ServiceType = kServiceTypeRadio;
    db->ServiceInfo.pServiceInfo[1].szServiceName = "Two";
    db->ServiceInfo.pServiceInfo[1].pTSIndex = 1;
    return db;
}

std::unique_ptr<TChannelDatabase> ReadText(const std::string& text)
{
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    ReadResult result = ReadInterchangeText(text, *db, [](const std::string& message) { ADD_FAILURE() << message; });
    EXPECT_EQ(result.status, ReadStatus::Complete) << result.error;
    return db;
}

std::string CanonicalText(const TChannelDatabase& db)
{
    WriteOptions keep{.substituteUserDateAndPin = false};
    return WriteInterchange(*ReadText(WriteInterchange(db, keep)), keep);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    ASSERT_TRUE(out.good()) << path;
}

conv::Bytes ToBytes(const std::string& text) { return conv::Bytes(text.begin(), text.end()); }

bool FileExists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

int FilesIn(const std::string& dir)
{
    int count = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(dir))
        ++count;
    return count;
}

std::string SamplePath() { return std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt"; }

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lv3test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace lumora::test
