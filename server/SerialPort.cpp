// SerialPort.cpp - termios set-up of a serial device, and reading and
// writing it.
#include "SerialPort.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

struct BaudConstant {
  uint32_t baud;
  speed_t constant;
};

constexpr BaudConstant kStandardRates[] = {
    {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},   {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600}, {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};

// How long a write waits for the transmitter to take more bytes.
constexpr int kWriteWaitMs = 1000;

std::optional<speed_t> SpeedConstant(uint32_t baud) {
  for (const BaudConstant& rate : kStandardRates) {
    if (rate.baud == baud) {
      return rate.constant;
    }
  }
  return std::nullopt;
}

std::string Failure(const char* step, const std::string& device) {
  return std::string(step) + " [" + device + "]: " + std::strerror(errno);
}

// Raw mode, 8 data bits, the receiver on, modem lines ignored, and the
// settings' rate, parity and stop bits.
bool Configure(int descriptor, const SerialLineSettings& settings, std::string* failure) {
  termios terminal{};
  if (tcgetattr(descriptor, &terminal) != 0) {
    *failure = Failure("Can not read the settings of the serial device", settings.device);
    return false;
  }
  cfmakeraw(&terminal);
  terminal.c_cflag |= CLOCAL | CREAD;
  terminal.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  terminal.c_cflag |= CS8;
  if (settings.parity != 'N') {
    terminal.c_cflag |= PARENB;
    terminal.c_iflag |= INPCK;
  }
  if (settings.parity == 'O') {
    terminal.c_cflag |= PARODD;
  }
  if (settings.stopBits == 2) {
    terminal.c_cflag |= CSTOPB;
  }
  terminal.c_cc[VMIN] = 0;
  terminal.c_cc[VTIME] = 0;
  const std::optional<speed_t> speed = SpeedConstant(settings.baud);
  if (!speed || cfsetspeed(&terminal, *speed) != 0) {
    errno = EINVAL;
    *failure = Failure("Can not set the baud rate of the serial device", settings.device);
    return false;
  }
  if (tcsetattr(descriptor, TCSANOW, &terminal) != 0) {
    *failure = Failure("Can not configure the serial device", settings.device);
    return false;
  }
  tcflush(descriptor, TCIOFLUSH);
  return true;
}

// RTS high while sending, low after: the usual wiring of a transceiver's
// driver-enable pin.
std::string EnableRs485(int descriptor) {
  serial_rs485 rs485{};
  rs485.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
  if (ioctl(descriptor, TIOCSRS485, &rs485) == 0) {
    return "RS-485 direction control by RTS is on";
  }
  if (errno == ENOTTY || errno == EINVAL) {
    return "the driver has no RS-485 mode (as USB adapters and pseudo-terminals); the line is used as it is";
  }
  return std::string("RS-485 direction control could not be set: ") + std::strerror(errno);
}

}  // namespace

bool IsStandardBaudRate(uint32_t baud) { return SpeedConstant(baud).has_value(); }

std::string StandardBaudRatesText() {
  std::string text;
  for (const BaudConstant& rate : kStandardRates) {
    text += (text.empty() ? "" : ", ") + std::to_string(rate.baud);
  }
  return text;
}

std::optional<SerialPort> SerialPort::Open(const SerialLineSettings& settings, std::string* failure,
                                           std::string* rs485Note) {
  const int descriptor = open(settings.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) {
    *failure = Failure("Can not open the serial device", settings.device);
    return std::nullopt;
  }
  SerialPort port(descriptor);
  if (!Configure(descriptor, settings, failure)) {
    return std::nullopt;
  }
  *rs485Note = EnableRs485(descriptor);
  return port;
}

SerialPort& SerialPort::operator=(SerialPort&& other) noexcept {
  if (this != &other) {
    std::swap(m_descriptor, other.m_descriptor);
  }
  return *this;
}

SerialPort::~SerialPort() {
  if (m_descriptor >= 0) {
    close(m_descriptor);
  }
}

long SerialPort::Read(uint8_t* bytes, size_t room) {
  const ssize_t received = read(m_descriptor, bytes, room);
  if (received < 0 && (errno == EAGAIN || errno == EINTR)) {
    return 0;
  }
  return static_cast<long>(received);
}

bool SerialPort::WriteAll(const uint8_t* bytes, size_t length) {
  size_t written = 0;
  while (written < length) {
    const ssize_t count = write(m_descriptor, bytes + written, length - written);
    if (count > 0) {
      written += static_cast<size_t>(count);
      continue;
    }
    if (count < 0 && errno != EAGAIN && errno != EINTR) {
      return false;
    }
    pollfd device{m_descriptor, POLLOUT, 0};
    const int ready = poll(&device, 1, kWriteWaitMs);
    if (ready == 0) {
      errno = ETIMEDOUT;
    }
    if (ready <= 0) {
      return false;
    }
  }
  return tcdrain(m_descriptor) == 0;
}

void SerialPort::DiscardReceived() { tcflush(m_descriptor, TCIFLUSH); }
