#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <system_error>

#include "full_write.h"

namespace lumora {

namespace {

// Longer link chains than this are taken for a loop, as the kernel does.
constexpr int kMaxLinkDepth = 40;

// Raised inside the writer with the errno of the failed call; turned into a
// std::system_error naming the caller's path.
struct SystemCallFailed {
    int error;
};

void Check(bool ok)
{
    if (!ok)
        throw SystemCallFailed{errno};
}

std::string DirectoryOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a chain of symbolic links ends at; `path` itself when it is no
// link. A link to a missing file gives that file's path, so writing creates it.
std::string FinalTarget(std::string path)
{
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        Check(length >= 0);
        target.resize(static_cast<std::size_t>(length));
        path = target.starts_with('/') ? target : DirectoryOf(path) + '/' + target;
    }
    throw SystemCallFailed{ELOOP};
}

// The permission bits the replaced file keeps, or those open(..., 0666)
// would give a new file under the current umask.
mode_t ModeFor(const std::string& target)
{
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Makes the rename itself durable. The new content is already in place, so
// a folder that cannot be flushed is no reason to report the write as failed.
void SyncDirectory(const std::string& dir)
{
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes `data` into a new file in `dir` and returns its name. The short
// fixed name keeps any legal target name usable, however long.
std::string WriteTemporaryFile(const std::string& dir, std::string_view data, mode_t mode)
{
    std::string temporary = dir + "/.lumora-XXXXXX";
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    Check(fd >= 0);
    try {
        Check(::fchmod(fd, mode) == 0);
        Check(WriteFully(fd, data.data(), data.size()));
        Check(::fsync(fd) == 0);
    } catch (const SystemCallFailed&) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        throw SystemCallFailed{error};
    }
    return temporary;
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view data)
{
    try {
        const std::string target = FinalTarget(path);
        const std::string dir = DirectoryOf(target);
        const std::string temporary = WriteTemporaryFile(dir, data, ModeFor(target));
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            int error = errno;
            ::unlink(temporary.c_str());
            throw SystemCallFailed{error};
        }
        SyncDirectory(dir);
    } catch (const SystemCallFailed& failure) {
        throw std::system_error(failure.error, std::generic_category(), path);
    }
}

}  // namespace lumora
