// TerminationSignals.cpp - noting termination signals.
#include "TerminationSignals.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t g_pendingSignal = 0;

extern "C" void NoteSignal(int signal) { g_pendingSignal = signal; }

}  // namespace

void InstallTerminationHandlers() {
  std::signal(SIGTERM, NoteSignal);
  std::signal(SIGINT, NoteSignal);
}

int PendingTerminationSignal() { return g_pendingSignal; }
