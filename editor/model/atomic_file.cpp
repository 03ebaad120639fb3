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

std::string DirectoryOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Each step below returns 0, or the errno of the system call that failed.

// Replaces `path` by the file a chain of symbolic links ends at; `path` stays
// when it is no link. A link to a missing file gives that file's path, so
// writing creates it.
int FollowLinks(std::string& path)
{
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            return errno;
        target.resize(static_cast<std::size_t>(length));
        path = target.starts_with('/') ? target : DirectoryOf(path) + '/' + target;
    }
    return ELOOP;
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

// Gives the open file `fd` its mode and content, flushed to the disk.
int FillFile(int fd, std::string_view data, mode_t mode)
{
    if (::fchmod(fd, mode) != 0 || !WriteFully(fd, data.data(), data.size()) || ::fsync(fd) != 0)
        return errno;
    return 0;
}

// Writes `data` into a new file in `dir` and names it in `temporary`; a
// failure leaves no file. The short fixed name keeps any legal target name
// usable, however long.
int WriteTemporaryFile(const std::string& dir, std::string_view data, mode_t mode, std::string& temporary)
{
    temporary = dir + "/.lumora-XXXXXX";
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = FillFile(fd, data, mode);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlink(temporary.c_str());
    return error;
}

int ReplaceFile(const std::string& path, std::string_view data)
{
    std::string target = path;
    if (int error = FollowLinks(target))
        return error;
    const std::string dir = DirectoryOf(target);
    std::string temporary;
    if (int error = WriteTemporaryFile(dir, data, ModeFor(target), temporary))
        return error;
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        return error;
    }
    SyncDirectory(dir);
    return 0;
}

}  // namespace

Status WriteFileAtomically(const std::string& path, std::string_view data)
{
    const int error = ReplaceFile(path, data);
    if (error == 0)
        return {};
    return Status::Failure(path + ": " + std::generic_category().message(error));
}

std::string SystemReasonOf(const Status& written, const std::string& path)
{
    const std::string& message = written.message();
    const std::string prefix = path + ": ";
    return message.starts_with(prefix) ? message.substr(prefix.size()) : message;
}

}  // namespace lumora
