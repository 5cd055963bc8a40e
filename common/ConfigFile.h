// ConfigFile.h - reading an INI configuration file: "key = value"
// lines outside any section, ";" or "#" comments, read with libinih.
#pragma once

#include <functional>
#include <string>

// Called for each key in file order with its value and line number; returns
// an empty string to accept the entry, or why it is refused.
using ConfigEntryHandler = std::function<std::string(const std::string& key, const std::string& value, int line)>;

// Reads path and hands every entry to onEntry. Returns an empty string, or
// one message naming the file and, for a bad line, the line number
// ("FILE:LINE: why"); the first fault ends the reading.
std::string ReadConfigFile(const std::string& path, const ConfigEntryHandler& onEntry);
