// VersionReport.cpp - versions read from the libraries as linked, not as
// compiled against.
#include "VersionReport.h"

#include <civetweb.h>
#include <curl/curl.h>
#include <sqlite3.h>

#include "InfoRows.h"
#include "ModbusStack.h"

namespace {

std::string Dotted(std::initializer_list<unsigned long> parts) {
  std::string text;
  for (const unsigned long part : parts) {
    text += (text.empty() ? "" : ".") + std::to_string(part);
  }
  return text;
}

}  // namespace

std::string VersionReport() {
  const curl_version_info_data* curl = curl_version_info(CURLVERSION_NOW);
  std::string report = "veld-weather-server " + ProgramVersionText() + "\n";
  report += "VELD Modbus Stack " +
            Dotted({ModbusStack_GetAPIMajorVersion(), ModbusStack_GetAPIMinorVersion(),
                    ModbusStack_GetAPIPatchVersion(), ModbusStack_GetAPIBuildVersion()}) +
            "\n";
  report += std::string("SQLite ") + sqlite3_libversion() + "\n";
  report += std::string("libcurl ") + (curl != nullptr && curl->version != nullptr ? curl->version : "unknown") + "\n";
  report += std::string("CivetWeb ") + mg_version() + "\n";
  return report;
}
