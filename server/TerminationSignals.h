// TerminationSignals.h - SIGTERM and SIGINT end the server as before, but
// only after the log buffered for standard output has been written out: the
// handler just notes the signal, and the service loop ends the process.
#pragma once

// Notes SIGTERM and SIGINT instead of dying at once.
void InstallTerminationHandlers();

// The termination signal received, or 0.
int PendingTerminationSignal();

// Writes out the buffered log, then dies by signal as if it had not been
// caught.
[[noreturn]] void TerminateBySignal(int signal);
