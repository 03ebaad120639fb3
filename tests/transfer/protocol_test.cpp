// The framing of the transfer protocol and the port settings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "serial_port.h"
#include "serial_protocol.h"

namespace {

using namespace lumora::serial;

std::vector<Packet> ParseAll(FrameParser& parser, int& badFrames)
{
    std::vector<Packet> packets;
    Packet p;
    for (auto r = parser.Take(p); r != FrameParser::Result::NeedMore; r = parser.Take(p)) {
        if (r == FrameParser::Result::BadFrame)
            ++badFrames;
        else
            packets.push_back(p);
    }
    return packets;
}

TEST(FrameTest, CrcIsTheImageCrc)
{
    const std::string check = "123456789";
    EXPECT_EQ(Crc16(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0xBB3D);
}

TEST(FrameTest, FramesSurviveNoiseSplitsAndDamage)
{
    const Packet first{PacketType::Write, 0xFFFE, Bytes(kMaxPayload, 0xA5)};
    const Packet second{PacketType::Ack, 7, {}};
    Bytes damaged = EncodeFrame(Packet{PacketType::Data, 3, Bytes{1, 2, 3, 4}});
    damaged[9] ^= 1;

    Bytes stream{0x00, kSync0, 0x13, kSync0};  // noise, with sync bytes in it
    for (const Bytes& part : {EncodeFrame(first), damaged, EncodeFrame(second)})
        stream.insert(stream.end(), part.begin(), part.end());

    FrameParser parser;
    int badFrames = 0;
    std::vector<Packet> packets;
    // Byte by byte, the way a slow line delivers them.
    for (uint8_t byte : stream) {
        parser.Feed(&byte, 1);
        for (Packet& p : ParseAll(parser, badFrames))
            packets.push_back(p);
    }
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[0].type, PacketType::Write);
    EXPECT_EQ(packets[0].seq, 0xFFFE);
    EXPECT_EQ(packets[0].payload, first.payload);
    EXPECT_EQ(packets[1].type, PacketType::Ack);
    EXPECT_EQ(packets[1].seq, 7);
    EXPECT_EQ(badFrames, 1);
}

TEST(FrameTest, ImpossibleLengthIsSkippedNotAwaited)
{
    // A damaged length must not make the parser wait for 64 KB that never come.
    Bytes stream{kSync0, kSync1, 0x10, 0, 1, 0xFF, 0xFF};
    const Bytes good = EncodeFrame(Packet{PacketType::Ack, 1, {9}});
    stream.insert(stream.end(), good.begin(), good.end());
    FrameParser parser;
    parser.Feed(stream.data(), stream.size());
    int badFrames = 0;
    const auto packets = ParseAll(parser, badFrames);
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(packets[0].payload, Bytes{9});
    EXPECT_EQ(badFrames, 1);
}

TEST(PortSettingTest, SpeedCodesAndDevices)
{
    EXPECT_EQ(BaudForSpeedCode(0), 115200u);
    EXPECT_EQ(BaudForSpeedCode(2), 38400u);
    EXPECT_EQ(BaudForSpeedCode(4), 9600u);
    EXPECT_EQ(BaudForSpeedCode(5), 0u);

    const std::string ports = "# adapters\r\nPORT1=/dev/ttyUSB0\r\nPORT10=/dev/other\nPORT2=\n";
    EXPECT_EQ(DeviceFromPortsText(ports, 1), "/dev/ttyUSB0");
    EXPECT_EQ(DeviceFromPortsText(ports, 10), "/dev/other");
    EXPECT_EQ(DeviceFromPortsText(ports, 2), "");
    EXPECT_EQ(DeviceFromPortsText(ports, 0), "");

    ::unsetenv("LV3DLL_PORT3");
    EXPECT_EQ(DeviceForPort(3), "/dev/ttyS3");
    ::setenv("LV3DLL_PORT3", "/dev/pts/77", 1);
    EXPECT_EQ(DeviceForPort(3), "/dev/pts/77");
    ::unsetenv("LV3DLL_PORT3");
}

}  // namespace
