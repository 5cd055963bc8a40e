// RegisterBridge.h - the Modbus stack's value callbacks: register address N
// is the Data row whose ModbusOffset is N. Holding and input registers are
// the same rows; registers 0 to 19 are the protected info registers. The
// callbacks carry no context, so start-up hands the bridge its database
// (and the refresh schedule of the background refresher) by installing one.
#pragma once

#include <cstdint>

#include "InfoRows.h"
#include "ModbusStack.h"
#include "RefreshSchedule.h"
#include "SQLiteDatabase.h"

// What a register reads as when its row cannot be read.
constexpr uint16_t kUnreadableRegisterValue = 0x0BAD;
// Registers below this hold the info rows and cannot be written over Modbus.
constexpr uint16_t kFirstWritableRegister = kInfoRowCount;

// What the callbacks work on while it lives: the database, the codes the
// background keeps fresh (null: every stale row is fetched by its read), and
// how a read takes its rows: one lookup (and one statement line in the log)
// per register, or, with readRanges, one statement over the whole range,
// which answers the same words. One at a time; while none is installed,
// reads and writes answer exception 4.
class RegisterBridge {
 public:
  explicit RegisterBridge(CSQLiteDatabase& database, RefreshSchedule* schedule = nullptr, bool readRanges = false);
  ~RegisterBridge();
  RegisterBridge(const RegisterBridge&) = delete;
  RegisterBridge& operator=(const RegisterBridge&) = delete;

  CSQLiteDatabase& Database() const { return m_database; }
  RefreshSchedule* Schedule() const { return m_schedule; }
  bool ReadsRanges() const { return m_readRanges; }

  // For the service loop when it goes quiet: ends the read transaction that
  // register reads keep open while they stream in.
  void EndHeldRead();

 private:
  CSQLiteDatabase& m_database;
  RefreshSchedule* m_schedule;
  bool m_readRanges;
};

// Reads (function 3 or 4) length registers from startingAddress, refreshing
// stale rows of cold codes from the weather service within one weather
// time-out for the whole request; each postal code is fetched at most once
// per request. Exception 4 when a row cannot be read because the database
// fails; exception 1 for other functions.
bool GetModbusValue(uint8_t slaveId, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                    uint16_t dataSize, uint8_t* exceptionCode);

// Writes (function 6 or 16) the values into the rows, all or nothing, in one
// transaction. Exception 2 for a start below 20 or a register without a row,
// 4 when the database fails, 1 for other functions.
bool SetModbusValue(uint8_t slaveId, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                    uint16_t dataSize, uint8_t* exceptionCode);
