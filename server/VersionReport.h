// VersionReport.h - what --version prints: the program's version, the
// Modbus stack's, and those of the SQLite, libcurl and CivetWeb libraries
// the program runs with.
#pragma once

#include <string>

// Lines ending in "\n"; the first is "veld-weather-server VERSION".
std::string VersionReport();
