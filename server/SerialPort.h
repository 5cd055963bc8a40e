// SerialPort.h - a serial device opened for Modbus RTU: raw mode, 8 data
// bits, the baud rate, parity and stop bits asked for, RS-485 direction
// control where the driver has it. The descriptor is closed with the object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The highest rate a standard Bxxxx constant names.
constexpr int64_t kMaxSerialBaudRate = 921600;

// True for the rates the terminal interface names (300 to 921600).
bool IsStandardBaudRate(uint32_t baud);
// The standard rates as a comma-separated list, for a refusal.
std::string StandardBaudRatesText();

struct SerialLineSettings {
  std::string device;
  uint32_t baud = 19200;
  char parity = 'E';  // 'E', 'O' or 'N'
  int stopBits = 1;
};

class SerialPort {
 public:
  // Opens and configures the device, non-blocking. Nothing when a step
  // fails; failure then says which step and the system's reason. RS-485
  // direction control is asked of the driver; rs485Note says how that went
  // (drivers without it, USB adapters and pseudo-terminals among them,
  // refuse, which is no failure).
  static std::optional<SerialPort> Open(const SerialLineSettings& settings, std::string* failure,
                                        std::string* rs485Note);

  SerialPort(SerialPort&& other) noexcept : m_descriptor(other.m_descriptor) { other.m_descriptor = -1; }
  SerialPort& operator=(SerialPort&& other) noexcept;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;
  ~SerialPort();

  int Descriptor() const { return m_descriptor; }

  // Reads what has arrived, up to room bytes: the count, 0 when nothing has,
  // -1 on a failure of the device (errno says which).
  long Read(uint8_t* bytes, size_t room);

  // Writes all bytes and waits until they have left the transmitter, so
  // that an RS-485 driver turns the line round only after the last bit.
  // False (errno says why) when the device fails.
  bool WriteAll(const uint8_t* bytes, size_t length);

  // Throws away what was received and not yet read.
  void DiscardReceived();

 private:
  explicit SerialPort(int descriptor) : m_descriptor(descriptor) {}
  int m_descriptor = -1;
};
