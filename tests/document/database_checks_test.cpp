// The database checks: one fault per row on an otherwise sound database, the
// exact findings, the data after the safe fixes, and one undo back to the fault.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "database_checks.h"
#include "scripted_ui.h"
#include "service_numbering.h"

namespace lumora {
namespace {

using test::DocumentFixture;

std::vector<std::string> Lines(const std::vector<TFinding>& findings)
{
    std::vector<std::string> lines;
    for (const TFinding& f : findings)
        lines.push_back(FindingLine(f));
    return lines;
}

// Two streams of one network, each with a TV and a radio service of the one
// provider; TV favorite list A holds "Alpha News", radio list B "Wave FM".
void BuildSoundDatabase(DocumentFixture& f)
{
    f.AddNetwork("Orbit Net");
    f.AddProvider("Orbit Media");
    f.AddTS(0, 0, 11778);
    f.AddTS(1, 0, 12000);
    f.AddService(kServiceTypeTV, "Nova Kids", 0, 0);
    f.AddService(kServiceTypeTV, "Alpha News", 1, 0);
    f.AddService(kServiceTypeRadio, "Wave FM", 0, 0);
    f.AddService(kServiceTypeRadio, "Echo Radio", 1, 0);
    TServiceNumbering numbering(f.db(), NumberingOf(f.db(), f.doc->FlashType()));
    f.AddFavorite(0, 0, numbering.KeyOf(1));
    f.AddFavorite(1, 1, numbering.KeyOf(2));
}

struct CheckCase {
    const char* name;
    uint8_t flashType;
    std::function<void(DocumentFixture&)> fault;
    std::vector<std::string> findings;
    std::vector<std::string> afterFix;  // the findings once the safe fixes are applied
    std::function<void(const TChannelDatabase&)> fixed = [](const TChannelDatabase&) {};
};

TServiceItem& Service(DocumentFixture& f, int r) { return f.db().ServiceInfo.pServiceInfo[std::size_t(r)]; }

const std::vector<CheckCase> kCases = {
    {"stream index",
     0,
     [](DocumentFixture& f) { Service(f, 1).pTSIndex = 5; },
     {"error: TV service 2 \"Alpha News\": stream index 5 is beyond the 2 streams"},
     {},
     [](const TChannelDatabase& db) { EXPECT_EQ(db.ServiceInfo.pServiceInfo[1].pTSIndex, -1); }},
    {"provider index",
     0,
     [](DocumentFixture& f) { Service(f, 0).pProviderIndex = 3; },
     {"error: TV service 1 \"Nova Kids\": provider index 3 is beyond the 1 provider"},
     {},
     [](const TChannelDatabase& db) { EXPECT_EQ(db.ServiceInfo.pServiceInfo[0].pProviderIndex, -1); }},
    {"genre",
     0,
     [](DocumentFixture& f) { Service(f, 2).ServiceKind = 17; },
     {"error: radio service 1 \"Wave FM\": genre 17 is beyond the 16 genres"},
     {},
     [](const TChannelDatabase& db) { EXPECT_EQ(db.ServiceInfo.pServiceInfo[2].ServiceKind, 0); }},
    {"stream network",
     0,
     [](DocumentFixture& f) { f.db().TSInfo.Info[1].pNetworkIndex = 4; },
     {"error: stream 2: network index 4 is beyond the 1 network"},
     {},
     [](const TChannelDatabase& db) { EXPECT_EQ(db.TSInfo.Info[1].pNetworkIndex, -1); }},
    {"stream antenna",
     0,
     [](DocumentFixture& f) { f.db().TSInfo.Info[0].wAntennaIndex = 40; },
     {"error: stream 1: antenna index 40 is beyond the 32 antennas"},
     {"error: stream 1: antenna index 40 is beyond the 32 antennas"}},
    {"dangling favorite",
     4,
     [](DocumentFixture& f) { f.AddFavorite(0, 1, 7); },
     {"error: TV favorite list B entry 1: value 7 names no TV service"},
     {},
     [](const TChannelDatabase& db) {
         EXPECT_EQ(db.FavoriteInfo[0][1].wIndexNum, 0);
         EXPECT_EQ(db.FavoriteInfo[0][0].wIndexNum, 1);
     }},
    {"repeated favorite entry",
     0,
     [](DocumentFixture& f) {
         TServiceNumbering numbering(f.db(), NumberingOf(f.db(), f.doc->FlashType()));
         f.AddFavorite(0, 0, numbering.KeyOf(0));
         f.AddFavorite(0, 0, numbering.KeyOf(1));  // "Alpha News" a second time
     },
     {"error: TV favorite list A entry 3: names TV service 2 \"Alpha News\" again, as entry 1 does"},
     {},
     [](const TChannelDatabase& db) {
         const TFavoriteItem& list = db.FavoriteInfo[0][0];
         ASSERT_EQ(list.wIndexNum, 2);  // the first entry stays where the person put it
         EXPECT_EQ(list.Index[0], 1);
         EXPECT_EQ(list.Index[1], 0);
     }},
    {"duplicate service id",
     0,
     [](DocumentFixture& f) {
         int r = f.AddService(kServiceTypeTV, "Nova Kids+", 0, 0);
         Service(f, r).wServiceId = Service(f, 0).wServiceId;
         f.AddFavorite(0, 2, 2);  // the duplicate's ordinal
     },
     {"error: TV service 3 \"Nova Kids+\": service id 400 on stream 1 repeats TV service 1 \"Nova Kids\""},
     {},
     [](const TChannelDatabase& db) {
         EXPECT_EQ(db.ServiceInfo.wTVNum, 2);
         EXPECT_EQ(db.FavoriteInfo[0][2].wIndexNum, 0);  // its entry went with it
         EXPECT_EQ(db.FavoriteInfo[0][0].Index[0], 1);  // the others stay on their services
     }},
    {"program number",
     4,
     [](DocumentFixture& f) {
         Service(f, 0).wServiceNumber = 5;
         Service(f, 1).wServiceNumber = 5;
         f.db().FavoriteInfo[0][0].Index[0] = 4;
     },
     {"error: TV service 5 \"Alpha News\": program number 5 repeats TV service 5 \"Nova Kids\""},
     {"error: TV service 5 \"Alpha News\": program number 5 repeats TV service 5 \"Nova Kids\""}},
    {"PID above 8191",
     0,
     [](DocumentFixture& f) { Service(f, 0).wVideoPID = 9000; },
     {"error: TV service 1 \"Nova Kids\": video PID 9000 is above 8191"},
     {"error: TV service 1 \"Nova Kids\": video PID 9000 is above 8191"}},
    {"shared PID pair",
     0,
     [](DocumentFixture& f) {
         Service(f, 2).wVideoPID = Service(f, 0).wVideoPID;
         Service(f, 2).wAudioPID = Service(f, 0).wAudioPID;
     },
     {"warning: radio service 1 \"Wave FM\": video PID 100 and audio PID 200 on stream 1 repeat TV service 1 "
      "\"Nova Kids\""},
     {"warning: radio service 1 \"Wave FM\": video PID 100 and audio PID 200 on stream 1 repeat TV service 1 "
      "\"Nova Kids\""}},
    {"empty names",
     0,
     [](DocumentFixture& f) {
         Service(f, 3).szServiceName.clear();
         f.db().NetworkInfo.Info[0].szNetworkName.clear();
         f.db().ProviderInfo.Info[0].szProviderName.clear();
     },
     {"warning: network 1 \"\": name is empty", "warning: provider 1 \"\": name is empty",
      "warning: radio service 2 \"\": name is empty"},
     {"warning: network 1 \"\": name is empty", "warning: provider 1 \"\": name is empty",
      "warning: radio service 2 \"\": name is empty"}},
    {"unshowable bytes",
     0,
     [](DocumentFixture& f) { Service(f, 0).szServiceName = "\x86Nova\x87\x01Kids\x9A"; },
     {"warning: TV service 1 \"Nova?Kids\": name holds bytes the receiver cannot show: 0x01 0x9A"},
     {"warning: TV service 1 \"Nova?Kids\": name holds bytes the receiver cannot show: 0x01 0x9A"}},
    {"stream without service",
     0,
     [](DocumentFixture& f) { f.AddTS(0, 0, 12500); },
     {"warning: stream 3: carries no service"},
     {"warning: stream 3: carries no service"}},
    {"count above capacity",
     0,
     [](DocumentFixture& f) { f.db().FavoriteInfo[1][3].wIndexNum = 101; },
     {"error: radio favorite list D: 101 entries are above the capacity of 100"},
     {"error: radio favorite list D: 101 entries are above the capacity of 100"}},
};

TEST(DatabaseChecks, EachFaultGivesItsFindingsAndTheSafeFixIsOneUndoableEdit)
{
    for (const CheckCase& c : kCases) {
        SCOPED_TRACE(c.name);
        DocumentFixture f(c.flashType);
        BuildSoundDatabase(f);
        ASSERT_EQ(Lines(f.doc->CheckDocument()), std::vector<std::string>{});
        c.fault(f);
        f.doc->LoadTreeValue();
        auto faulty = std::make_unique<TChannelDatabase>(f.db());

        const std::vector<TFinding> findings = f.doc->CheckDocument();
        EXPECT_EQ(Lines(findings), c.findings);
        const bool fixable = c.afterFix != c.findings;
        EXPECT_EQ(f.doc->FixFindings(findings), fixable ? 1 : 0);
        EXPECT_EQ(Lines(f.doc->CheckDocument()), c.afterFix);
        c.fixed(f.db());
        ASSERT_EQ(f.doc->CanUndo(), fixable);
        if (!fixable)
            continue;
        f.doc->Undo();
        EXPECT_TRUE(SameStoredData(f.db(), *faulty));
        EXPECT_EQ(Lines(f.doc->CheckDocument()), c.findings);
    }
}

}  // namespace
}  // namespace lumora
