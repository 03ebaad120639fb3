#include "database_file.h"

#include <cctype>

#include "exchange_dir.h"
#include "interchange.h"

namespace lumora {

bool IsDnfFileName(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string ending = path.substr(path.size() - 4);
    for (char& c : ending)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ending == ".dnf";
}

TReadOutcome ReadDatabaseFile(const std::string& path, uint8_t flashType, ConversionLibrary* library,
                              const std::string& exchangeDir, TDatabaseFile& file, std::string& error)
{
    std::string text = path;
    if (library) {
        text = ExchangeFile(exchangeDir, kInterchangeExchangeFile);
        const Status converted = library->V3DnfToDnf(path, text);
        if (!converted) {
            error = converted.message();
            return TReadOutcome::Stopped;
        }
    }
    InitDatabase(*file.db, flashType);
    ReadResult result = ReadInterchangeFile(
        text, *file.db, [&file](const std::string& message) { file.loadErrors.push_back(message); });
    if (library)
        DeleteExchangeFile(text);
    error = result.error;
    if (result.status == ReadStatus::OpenFailed)
        return TReadOutcome::NotOpened;
    if (result.status == ReadStatus::Stopped)
        return TReadOutcome::Stopped;
    file.numbering = result.numbering;
    return TReadOutcome::Read;
}

}  // namespace lumora
