// ConsoleLog.h - the one printf-style console function through which every
// subsystem but the Modbus stack writes its progress and errors. The level is
// part of each message ("FYI: ", "Error: "); there is no time stamp or filter.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

// Formats the message and writes it to the console sink (standard output
// unless a test installed another). Messages carry their own line ends;
// the SQL error line has none, so the next message continues it.
void ConsoleLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes a message that is ready as it stands, as ConsoleLog would.
void ConsoleWrite(const char* text, size_t length);

// Writes out what the standard output stream has buffered (the server
// buffers its log in blocks and writes it out at the moments that matter).
void ConsoleFlush();

// Replaces where console messages go; an empty function restores standard
// output. Returns nothing; meant for tests and for start-up.
void SetConsoleSink(std::function<void(const std::string&)> sink);
