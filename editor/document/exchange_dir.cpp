#include "exchange_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace lumora {

namespace {

// `what` and the system's reason for `error`.
Status SystemFailure(int error, const std::string& what)
{
    return Status::Failure(what + ": " + std::generic_category().message(error));
}

}  // namespace

Result<std::unique_ptr<ExchangeDirectory>> ExchangeDirectory::Make()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/lumora-XXXXXX";
    // mkdtemp makes the directory with mode 0700.
    if (!::mkdtemp(pattern.data()))
        return SystemFailure(errno, "cannot make the exchange directory " + pattern);
    return std::unique_ptr<ExchangeDirectory>(new ExchangeDirectory(std::move(pattern)));
}

// Opened without following a link: should something else stand in the
// directory's place by now, its files are not this program's to delete.
ExchangeDirectory::~ExchangeDirectory()
{
    const int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    if (DIR* dir = ::fdopendir(fd)) {
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                ::unlinkat(fd, name.c_str(), 0);
        }
        ::closedir(dir);
    } else {
        ::close(fd);
    }
    ::rmdir(path_.c_str());
}

std::string ExchangeFile(const std::string& dir, const char* name) { return dir + "/" + name; }

Status EnsureExchangeDirectory(const std::string& dir)
{
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return SystemFailure(errno, "cannot make the exchange directory " + dir);
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0)
        return SystemFailure(errno, "the exchange directory " + dir);
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0)
        return SystemFailure(EPERM,
                             "the exchange directory " + dir + " was replaced by one not private to this program");
    return {};
}

void DeleteExchangeFile(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace lumora
