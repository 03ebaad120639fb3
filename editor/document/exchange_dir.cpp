#include "exchange_dir.h"

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace lumora {

ExchangeDirectory::ExchangeDirectory()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/lumora-XXXXXX";
    // mkdtemp makes the directory with mode 0700.
    if (!::mkdtemp(pattern.data()))
        throw std::system_error(errno, std::generic_category(), "cannot make the exchange directory " + pattern);
    path_ = pattern;
}

ExchangeDirectory::~ExchangeDirectory()
{
    if (DIR* dir = ::opendir(path_.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                ::unlink((path_ + "/" + name).c_str());
        }
        ::closedir(dir);
    }
    ::rmdir(path_.c_str());
}

std::string ExchangeFile(const std::string& dir, const char* name)
{
    return dir + "/" + name;
}

void DeleteExchangeFile(const std::string& path)
{
    ::unlink(path.c_str());
}

}  // namespace lumora
