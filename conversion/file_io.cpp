#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lumora::conv {

namespace {

std::string SystemReason(int error) { return std::strerror(error); }

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    // Closes now, so that a failing close can be reported.
    bool Close()
    {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string DirectoryOf(const std::string& path)
{
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Makes the rename itself durable; a directory that cannot be synced is no
// reason to report the already completed replacement as failed.
void SyncDirectory(const std::string& dir)
{
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::size_t maxSize, Bytes& out, std::string& error)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &st) != 0) {
        error = SystemReason(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return false;
    }
    if (static_cast<uint64_t>(st.st_size) > maxSize) {
        error = "the file is too large (" + std::to_string(st.st_size) + " bytes)";
        return false;
    }
    out.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < out.size()) {
        ssize_t n = ::read(fd.Get(), out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = SystemReason(errno);
            return false;
        }
        if (n == 0)
            break;  // the file shrank while being read
        done += static_cast<std::size_t>(n);
    }
    out.resize(done);
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& error)
{
    std::string dir = DirectoryOf(path);
    std::string base = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    std::string temp = dir + "/." + base + ".XXXXXX";
    FileDescriptor fd(::mkstemp(temp.data()));
    if (fd.Get() < 0) {
        error = SystemReason(errno);
        return false;
    }
    struct stat target {};
    mode_t mode = 0666;
    if (::stat(path.c_str(), &target) == 0)
        mode = target.st_mode & 07777;
    else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    bool written = ::fchmod(fd.Get(), mode) == 0 && WriteAll(fd.Get(), data.data(), data.size()) &&
                   ::fsync(fd.Get()) == 0;
    int reason = errno;
    if (!fd.Close() && written) {
        written = false;
        reason = errno;
    }
    if (written && ::rename(temp.c_str(), path.c_str()) == 0) {
        SyncDirectory(dir);
        return true;
    }
    if (written)
        reason = errno;
    ::unlink(temp.c_str());
    error = SystemReason(reason);
    return false;
}

bool WriteFileAtomically(const std::string& path, const Bytes& data, std::string& error)
{
    return WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(data.data()), data.size()),
                               error);
}

}  // namespace lumora::conv
