// lumora-cli export FILE.dnf OUT.csv|OUT.html|OUT.channels|OUT.dvbv5|OUT.conf
// and import-order FILE.dnf ORDER.csv OUT.dnf: the editor's File > Export and
// File > Import > "Service Order from CSV" in batch. The .dnf files are opened and saved through a
// document exactly as the editor opens and saves them; the list is the one
// the "All Service" view shows for TV (or RADIO with --radio).
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "app_state.h"
#include "atomic_file.h"
#include "channel_document.h"
#include "conversion_cli.h"
#include "export_formats.h"
#include "position_table.h"
#include "service_export.h"
#include "service_order.h"

namespace lumora::cli {
namespace {

struct ListArguments {
    int flashType = 0;
    bool radio = false;
    std::vector<std::string> paths;
};

bool ParseListArguments(const Arguments& args, std::size_t pathCount, ListArguments& parsed, std::ostream& err)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--flash-type") {
            if (!ParseFlashType(args, i, parsed.flashType, err))
                return false;
        } else if (args[i] == "--radio") {
            parsed.radio = true;
        } else if (args[i].starts_with("--")) {
            return false;
        } else {
            parsed.paths.push_back(args[i]);
        }
    }
    return parsed.paths.size() == pathCount;
}

bool EndsWith(std::string path, std::string_view ending)
{
    for (char& c : path)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return path.ends_with(ending);
}

enum class ExportFormat { None, Csv, Html, Dvbv5, Vdr };

ExportFormat ExportFormatOf(const std::string& path)
{
    if (EndsWith(path, ".csv"))
        return ExportFormat::Csv;
    if (EndsWith(path, ".html") || EndsWith(path, ".htm"))
        return ExportFormat::Html;
    if (EndsWith(path, ".channels") || EndsWith(path, ".dvbv5"))
        return ExportFormat::Dvbv5;
    if (EndsWith(path, ".conf"))
        return ExportFormat::Vdr;
    return ExportFormat::None;
}

// A channel file for Linux DVB programs: every service, positions from the
// user's position table and the editor's satellite names.
std::string ChannelFileText(const TChannelDatabase& db, ExportFormat format, TExportReport& report)
{
    const TSettings settings = EditorSettings();
    const bool cable = IsCableModel(settings.SystemInfo.MODEL);
    const TAntennaPositions positions = AntennaPositions(db, settings, LoadUserPositionTable());
    return format == ExportFormat::Vdr ? WriteVdrChannels(db, cable, positions, report)
                                       : WriteDvbv5Channels(db, cable, positions, report);
}

// A document over the file, showing "All Service" of the chosen type.
class BatchDocument {
public:
    BatchDocument(const ListArguments& parsed, std::ostream& err)
        : ui_([&err](const std::string& message) { err << "lumora-cli: " << message << '\n'; })
    {
        app_.Settings.SystemInfo.FLASHTYPE = static_cast<uint8_t>(parsed.flashType);
        doc_ = std::make_unique<ChannelDocument>(app_, ui_);
        radio_ = parsed.radio;
    }

    bool Open(const std::string& path)
    {
        Result<std::unique_ptr<ExchangeDirectory>> exchange = ExchangeDirectory::Make();
        if (!ReportFailure(ui_, exchange.status()))
            return false;
        exchange_ = std::move(exchange).value();
        app_.ExchangeDir = exchange_->Path();
        if (!ReportRead(ui_, doc_->OpenDataFile(path, false)))
            return false;
        doc_->FR1Click(!radio_);
        return true;
    }

    ChannelDocument& Doc() { return *doc_; }

private:
    TApplicationState app_;
    NonInteractiveUiPort ui_;
    std::unique_ptr<ExchangeDirectory> exchange_;
    std::unique_ptr<ChannelDocument> doc_;
    bool radio_ = false;
};

bool ReadWholeFile(const std::string& path, std::string& text, std::ostream& err)
{
    if (!CheckReadable(path, err))
        return false;
    std::ifstream in(path, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        err << "lumora-cli: \"" << path << "\": cannot be read\n";
        return false;
    }
    return true;
}

}  // namespace

int RunExport(const Arguments& args, std::ostream& out, std::ostream& err)
{
    ListArguments parsed;
    const ExportFormat format = args.size() >= 2 ? ExportFormatOf(args.back()) : ExportFormat::None;
    if (!ParseListArguments(args, 2, parsed, err) || !IsDnfPath(parsed.paths[0]) || format == ExportFormat::None) {
        err << "usage: lumora-cli export [--flash-type N] [--radio] FILE.dnf "
               "OUT.csv|OUT.html|OUT.channels|OUT.dvbv5|OUT.conf\n";
        return kExitUsage;
    }
    if (!CheckReadable(parsed.paths[0], err))
        return kExitUsage;
    BatchDocument batch(parsed, err);
    if (!batch.Open(parsed.paths[0]))
        return kExitStopped;
    std::string text;
    TExportReport report;
    if (format == ExportFormat::Csv || format == ExportFormat::Html) {
        const TServiceList list = ListedServices(batch.Doc());
        text = format == ExportFormat::Csv ? ServiceListCsv(list) : ServiceListHtml(list);
    } else {
        text = ChannelFileText(batch.Doc().Database(), format, report);
    }
    if (const Status written = WriteFileAtomically(parsed.paths[1], text); !written) {
        err << "lumora-cli: " << written.message() << '\n';
        return kExitUsage;
    }
    if (format == ExportFormat::Dvbv5 || format == ExportFormat::Vdr)
        out << report.written << " services written to " << parsed.paths[1] << '\n';
    for (const std::string& note : report.notes)
        err << "lumora-cli: " << note << '\n';
    return kExitOk;
}

int RunImportOrder(const Arguments& args, std::ostream& out, std::ostream& err)
{
    ListArguments parsed;
    if (!ParseListArguments(args, 3, parsed, err) || !IsDnfPath(parsed.paths[0]) || !IsDnfPath(parsed.paths[2])) {
        err << "usage: lumora-cli import-order [--flash-type N] [--radio] FILE.dnf ORDER.csv OUT.dnf\n";
        return kExitUsage;
    }
    std::string csv;
    if (!CheckReadable(parsed.paths[0], err) || !ReadWholeFile(parsed.paths[1], csv, err))
        return kExitUsage;
    BatchDocument batch(parsed, err);
    if (!batch.Open(parsed.paths[0]))
        return kExitStopped;
    const Result<TOrderImportReport> imported = ImportServiceOrder(batch.Doc(), csv);
    if (!imported) {
        err << "lumora-cli: \"" << parsed.paths[1] << "\": " << imported.message() << '\n';
        return kExitStopped;
    }
    const TOrderImportReport& report = imported.value();
    out << report.Matched << " services placed as the file lists them\n";
    for (const std::string& row : report.Unmatched)
        err << "lumora-cli: no service matches " << row << '\n';
    if (!ReportFailure(batch.Doc().Ui(), batch.Doc().SaveDataFile(parsed.paths[2])))
        return kExitStopped;
    return kExitOk;
}

}  // namespace lumora::cli
