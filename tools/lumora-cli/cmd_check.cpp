// lumora-cli check FILE: reads a channel-data file (".dnf") as the editor
// opens it and prints its table counts; a damaged file gives exit status 1
// and the reason.
#include <memory>
#include <ostream>

#include "conversion_cli.h"
#include "interchange.h"

namespace lumora::cli {
namespace {

void PrintCounts(const TChannelDatabase& db, std::ostream& out)
{
    out << "antennas: " << db.AntennaList.wAntennaNum << '\n'
        << "transport streams: " << db.TSInfo.wTSNum << '\n'
        << "networks: " << db.NetworkInfo.wNetworkNum << '\n'
        << "providers: " << db.ProviderInfo.wProviderNum << '\n'
        << "TV services: " << db.ServiceInfo.wTVNum << '\n'
        << "radio services: " << db.ServiceInfo.wRadioNum << '\n';
    const char* groups[] = {"TV", "radio"};
    for (int g = 0; g < kFavoriteGroups; ++g) {
        out << groups[g] << " favorites:";
        for (int l = 0; l < kFavoriteLists; ++l)
            out << ' ' << static_cast<char>('A' + l) << '=' << db.FavoriteInfo[g][l].wIndexNum;
        out << '\n';
    }
}

}  // namespace

int RunCheck(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 1) {
        err << "usage: lumora-cli check FILE\n";
        return kExitUsage;
    }
    if (!CheckReadable(args[0], err))
        return kExitUsage;
    auto library = OpenConversionLibrary(err);
    if (!library)
        return kExitUsage;
    ExchangeDirectory exchange;
    std::string text = ExchangeFile(exchange.Path(), kInterchangeExchangeFile), error;
    if (!library->V3DnfToDnf(args[0], text, error)) {
        err << "lumora-cli: " << error << '\n';
        return kExitStopped;
    }
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    ReadResult result = ReadInterchangeFile(text, *db, [&err](const std::string& message) {
        err << message << '\n';
    });
    if (result.status != ReadStatus::Complete) {
        err << "lumora-cli: " << result.error << '\n';
        return kExitStopped;
    }
    PrintCounts(*db, out);
    return kExitOk;
}

}  // namespace lumora::cli
