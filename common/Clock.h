// Clock.h - the current calendar time in whole seconds since 1970-01-01 UTC,
// read through one function so that tests can set the time.
#pragma once

#include <cstdint>

int64_t CurrentUnixTime();

// Tests replace the time source; nullptr restores the system clock.
using UnixTimeSource = int64_t (*)();
void SetUnixTimeSourceForTesting(UnixTimeSource source);
