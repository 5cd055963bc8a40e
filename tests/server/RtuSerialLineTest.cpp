// RtuSerialLineTest.cpp - the serial line's framing by silence, on a real
// pseudo-terminal, with the loop's observations given at chosen times: the
// frame ends after 3.5 character times of silence, a gap of more than 1.5
// inside it drops it, a pause the loop did not watch (it was busy) does not,
// and the answer goes out as RTU with its CRC.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "RtuSerialLine.h"

namespace {

using std::chrono::microseconds;
using Bytes = std::vector<uint8_t>;

// 01 03 00 14 00 02 with its CRC.
const Bytes kReadTwoRegisters = {0x01, 0x03, 0x00, 0x14, 0x00, 0x02, 0x84, 0x0F};

class SerialLine : public ::testing::Test {
 protected:
  void SetUp() override {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    // Above 19200 baud the silences are the fixed 750 us and 1750 us.
    const SerialLineSettings settings{ptsname(master_), 38400, 'E', 1};
    std::string failure;
    std::string rs485Note;
    std::optional<SerialPort> port = SerialPort::Open(settings, &failure, &rs485Note);
    ASSERT_TRUE(port) << failure;
    line_.emplace(std::move(*port), settings, UnitIdSet::Only(1), &metrics_);
  }
  void TearDown() override {
    line_.reset();
    close(master_);
  }

  // Sends bytes from the master's side and lets the line read them at
  // start + at.
  void Arrive(const Bytes& bytes, microseconds at) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    pollfd device{line_->Descriptor(), POLLIN, 0};
    ASSERT_EQ(poll(&device, 1, 1000), 1);
    line_->Observe(true, false, start_ + at);
  }
  void Quiet(microseconds at) { line_->Observe(false, false, start_ + at); }

  ServerMetrics metrics_;
  int master_ = -1;
  std::optional<RtuSerialLine> line_;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

TEST_F(SerialLine, EndsAFrameAfterThreeAndAHalfCharacterTimesAndAnswersInRtu) {
  Arrive(Bytes(kReadTwoRegisters.begin(), kReadTwoRegisters.begin() + 3), microseconds(0));
  Quiet(microseconds(500));  // shorter than 1.5 character times: the frame goes on
  Arrive(Bytes(kReadTwoRegisters.begin() + 3, kReadTwoRegisters.end()), microseconds(600));
  Quiet(microseconds(2000));
  EXPECT_FALSE(line_->HasFrame());  // 1.4 ms of silence so far
  EXPECT_EQ(line_->UntilFrameEnd(start_ + microseconds(2000)), microseconds(350));
  Quiet(microseconds(2400));
  ASSERT_TRUE(line_->HasFrame());
  uint8_t mbap[300] = {};
  const uint16_t length = line_->GetMessage(mbap, sizeof mbap);
  EXPECT_EQ(Bytes(mbap + 6, mbap + length), (Bytes{0xFF, 0x03, 0x00, 0x14, 0x00, 0x02}));
  EXPECT_EQ(Read(metrics_.modbusRequestsByFunction[3]), 1u);

  const Bytes answer = {mbap[0], mbap[1], 0, 0, 0, 7, 0xFF, 0x03, 0x04, 0x00, 0x0B, 0x00, 0x0C};
  ASSERT_TRUE(line_->SendMessage(answer.data(), static_cast<uint16_t>(answer.size())));
  uint8_t wire[64] = {};
  const ssize_t received = read(master_, wire, sizeof wire);
  // CRC of 01 03 04 00 0B 00 0C by the polynomial: 8B F4 on the wire.
  EXPECT_EQ(Bytes(wire, wire + std::max<ssize_t>(received, 0)),
            (Bytes{0x01, 0x03, 0x04, 0x00, 0x0B, 0x00, 0x0C, 0x8B, 0xF4}));
}

TEST_F(SerialLine, DropsAFrameWithAGapInsideOrAWrongCrcAndCountsEach) {
  Arrive(Bytes(kReadTwoRegisters.begin(), kReadTwoRegisters.begin() + 3), microseconds(0));
  Quiet(microseconds(1000));  // 2 character times: too long inside a frame
  Arrive(Bytes(kReadTwoRegisters.begin() + 3, kReadTwoRegisters.end()), microseconds(1100));
  Quiet(microseconds(3000));
  EXPECT_FALSE(line_->HasFrame());
  EXPECT_EQ(Read(metrics_.rtuFramesDropped), 1u);

  Bytes corrupt = kReadTwoRegisters;
  corrupt.back() ^= 0xFF;
  Arrive(corrupt, microseconds(10000));
  Quiet(microseconds(12000));
  EXPECT_FALSE(line_->HasFrame());
  EXPECT_EQ(Read(metrics_.rtuCrcErrors), 1u);
}

TEST_F(SerialLine, ClosesADeviceThatHungUpWithNothingToRead) {
  line_->Observe(true, true, start_);
  EXPECT_FALSE(line_->IsOpen());
  EXPECT_FALSE(metrics_.rtuLineOpen.load());
}

TEST_F(SerialLine, TakesAPauseTheLoopDidNotWatchAsPartOfTheFrame) {
  // The loop was busy for 5 ms between the two reads and saw no silence:
  // the bytes may well have come back to back.
  Arrive(Bytes(kReadTwoRegisters.begin(), kReadTwoRegisters.begin() + 3), microseconds(0));
  Arrive(Bytes(kReadTwoRegisters.begin() + 3, kReadTwoRegisters.end()), microseconds(5000));
  Quiet(microseconds(7000));
  EXPECT_TRUE(line_->HasFrame());
  EXPECT_EQ(Read(metrics_.rtuFramesDropped), 0u);
}

}  // namespace
