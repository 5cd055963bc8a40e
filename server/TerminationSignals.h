// TerminationSignals.h - SIGTERM and SIGINT stop the server in order: the
// handler just notes the signal, and the service loop returns so that
// start-up can log the stop, write out the log and close the database.
#pragma once

// Notes SIGTERM and SIGINT instead of dying at once.
void InstallTerminationHandlers();

// The termination signal received, or 0.
int PendingTerminationSignal();
