// ProgramVersion.h - the version of the VELD Modbus Weather Server programs,
// as the banner, --version and the info rows carry it.
#pragma once

#include <string>

constexpr int kProgramVersionMajor = 0;
constexpr int kProgramVersionMinor = 0;
constexpr int kProgramVersionPatch = 5;
constexpr int kProgramVersionBuild = 202;

// "0.0.5.202"
inline std::string ProgramVersionText() {
  return std::to_string(kProgramVersionMajor) + "." + std::to_string(kProgramVersionMinor) + "." +
         std::to_string(kProgramVersionPatch) + "." + std::to_string(kProgramVersionBuild);
}
