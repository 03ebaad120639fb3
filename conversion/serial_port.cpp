#include "serial_port.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace lumora::serial {

namespace {

speed_t TermiosSpeed(unsigned baud)
{
    switch (baud) {
    case 115200: return B115200;
    case 57600: return B57600;
    case 38400: return B38400;
    case 19200: return B19200;
    default: return B9600;
    }
}

std::string SystemReason() { return std::strerror(errno); }

// The directory of the shared object (or program) this code is part of.
std::string OwnDirectory()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&DeviceForPort), &info) == 0 || !info.dli_fname)
        return ".";
    const std::string path = info.dli_fname;
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

unsigned BaudForSpeedCode(unsigned speedCode)
{
    static constexpr unsigned kBauds[] = {115200, 57600, 38400, 19200, 9600};
    return speedCode < 5 ? kBauds[speedCode] : 0;
}

std::string DeviceFromPortsText(const std::string& text, unsigned port)
{
    const std::string key = "PORT" + std::to_string(port) + "=";
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, key.size(), key) == 0 && line.size() > key.size())
            return line.substr(key.size());
    }
    return {};
}

std::string DeviceForPort(unsigned port)
{
    const std::string variable = "LV3DLL_PORT" + std::to_string(port);
    if (const char* value = std::getenv(variable.c_str()); value && *value)
        return value;
    std::ifstream file(OwnDirectory() + "/LV3DLL.ports");
    if (file) {
        std::stringstream text;
        text << file.rdbuf();
        if (std::string device = DeviceFromPortsText(text.str(), port); !device.empty())
            return device;
    }
    return "/dev/ttyS" + std::to_string(port);
}

ByteChannel::~ByteChannel() { Close(); }

void ByteChannel::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

long ByteChannel::Read(uint8_t* data, std::size_t size, int timeoutMs, std::string& error)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            error = SystemReason();
            return -1;
        }
        if (ready == 0)
            return 0;
        const ssize_t n = ::read(fd_, data, size);
        if (n > 0)
            return n;
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n < 0 && errno == EIO) {
            // A pseudo-terminal without its other side: nothing can arrive.
            ::usleep(static_cast<useconds_t>(std::min<long long>(left.count(), 20) * 1000));
            if (std::chrono::steady_clock::now() >= deadline)
                return 0;
            continue;
        }
        error = n == 0 ? "the line was closed" : SystemReason();
        return -1;
    }
}

bool ByteChannel::Write(const Bytes& bytes, std::string& error)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd pfd{fd_, POLLOUT, 0};
            if (::poll(&pfd, 1, 5000) > 0)
                continue;
            error = "the port does not take data";
            return false;
        }
        error = SystemReason();
        return false;
    }
    return true;
}

void ByteChannel::DiscardInput() { ::tcflush(fd_, TCIFLUSH); }

bool SerialPort::Open(const std::string& device, unsigned baud, std::string& error)
{
    Close();
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = SystemReason();
        return false;
    }
    fd_ = fd;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? "the port is in use by another program" : SystemReason();
        Close();
        return false;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        error = "not a serial port (" + SystemReason() + ")";
        Close();
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, TermiosSpeed(baud));
    ::cfsetospeed(&tio, TermiosSpeed(baud));
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        error = "cannot set the line to " + std::to_string(baud) + " bit/s (" + SystemReason() + ")";
        Close();
        return false;
    }
    ::tcflush(fd, TCIOFLUSH);
    return true;
}

}  // namespace lumora::serial
