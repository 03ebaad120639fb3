// The serial port of a transfer: which device a port index means, the speed
// codes, and a raw 8N1 port with timed reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "serial_protocol.h"

namespace lumora::serial {

// Bit rate of speed code 0..4 (115200, 57600, 38400, 19200, 9600); 0 for
// any other code.
unsigned BaudForSpeedCode(unsigned speedCode);

// The device of port index n: the environment variable LV3DLL_PORT<n> when
// set and not empty, else the line "PORT<n>=<device>" of the file
// "LV3DLL.ports" beside the library (or beside the program linking this code),
// else "/dev/ttyS<n>".
std::string DeviceForPort(unsigned port);

// Reads "PORT<n>=<device>" from the text of a ports file; empty when absent.
std::string DeviceFromPortsText(const std::string& text, unsigned port);

// A file descriptor for byte traffic: reads that wait at most a given time,
// writes that send everything. Owns the descriptor. Read and Write are virtual
// so that the protocol code can also run over bytes held in memory.
class ByteChannel {
public:
    ByteChannel() = default;
    explicit ByteChannel(int fd) : fd_(fd) {}
    virtual ~ByteChannel();
    ByteChannel(const ByteChannel&) = delete;
    ByteChannel& operator=(const ByteChannel&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Close();

    // Reads what arrives within `timeoutMs` (at most `size` bytes). Returns
    // the count, 0 on timeout, -1 on a failure (reason in `error`).
    virtual long Read(uint8_t* data, std::size_t size, int timeoutMs, std::string& error);
    // Sends all bytes; false with the reason on failure.
    virtual bool Write(const Bytes& bytes, std::string& error);
    // Drops received bytes not read yet.
    void DiscardInput();

protected:
    int fd_ = -1;
};

// A serial device set to raw 8 data bits, no parity, 1 stop bit, no flow
// control, at `baud`, and locked against a second user.
class SerialPort : public ByteChannel {
public:
    bool Open(const std::string& device, unsigned baud, std::string& error);
};

}  // namespace lumora::serial
