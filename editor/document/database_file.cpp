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

TReadResult ReadDatabaseFile(const std::string& path, uint8_t flashType, ConversionLibrary* library,
                             const std::string& exchangeDir, TDatabaseFile& file)
{
    std::string text = path;
    if (library) {
        text = ExchangeFile(exchangeDir, kInterchangeExchangeFile);
        const Status converted = library->V3DnfToDnf(path, text);
        if (!converted)
            return {TReadOutcome::Stopped, converted.message()};
    }
    InitDatabase(*file.db, flashType);
    ReadResult result = ReadInterchangeFile(
        text, *file.db, [&file](const std::string& message) { file.loadErrors.push_back(message); });
    if (library)
        DeleteExchangeFile(text);
    if (result.status == ReadStatus::OpenFailed)
        return {TReadOutcome::NotOpened, result.error};
    if (result.status == ReadStatus::Stopped)
        return {TReadOutcome::Stopped, result.error};
    file.numbering = result.numbering;
    return {TReadOutcome::Read, result.error};
}

}  // namespace lumora
