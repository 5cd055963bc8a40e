// TerminationSignals.cpp - noting termination signals and dying by them.
#include "TerminationSignals.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

volatile std::sig_atomic_t g_pendingSignal = 0;

extern "C" void NoteSignal(int signal) { g_pendingSignal = signal; }

}  // namespace

void InstallTerminationHandlers() {
  std::signal(SIGTERM, NoteSignal);
  std::signal(SIGINT, NoteSignal);
}

int PendingTerminationSignal() { return g_pendingSignal; }

void TerminateBySignal(int signal) {
  std::fflush(stdout);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  std::_Exit(128 + signal);  // not reached: the default action ends the process
}
