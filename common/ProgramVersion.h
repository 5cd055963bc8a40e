// ProgramVersion.h - the version of the VELD Modbus Weather Server programs,
// as the banner, --version and the info rows carry it.
#pragma once

constexpr int kProgramVersionMajor = 0;
constexpr int kProgramVersionMinor = 0;
constexpr int kProgramVersionPatch = 5;
constexpr int kProgramVersionBuild = 202;
