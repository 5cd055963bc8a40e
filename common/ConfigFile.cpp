// ConfigFile.cpp - libinih's stream parser with a reader that counts lines,
// so that a refused entry can be named by its line.
#include "ConfigFile.h"

#include <ini.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct ReadState {
  std::FILE* file = nullptr;
  int line = 0;  // the line libinih read last
  const ConfigEntryHandler* onEntry = nullptr;
  std::string refusal;  // the first entry refused, with its line
};

// libinih reads the stream one line at a time through this.
char* ReadLine(char* buffer, int size, void* stream) {
  auto* state = static_cast<ReadState*>(stream);
  char* const read = std::fgets(buffer, size, state->file);
  if (read != nullptr) {
    ++state->line;
  }
  return read;
}

int TakeEntry(void* user, const char* section, const char* key, const char* value) {
  auto* state = static_cast<ReadState*>(user);
  std::string why;
  if (section != nullptr && section[0] != '\0') {
    why = std::string("key '") + key + "' in section [" + section + "]: the file has no sections";
  } else {
    why = (*state->onEntry)(key, value, state->line);
  }
  if (why.empty()) {
    return 1;
  }
  if (state->refusal.empty()) {
    state->refusal = std::to_string(state->line) + ": " + why;
  }
  return 0;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::string ReadConfigFile(const std::string& path, const ConfigEntryHandler& onEntry) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
  if (!file) {
    return path + ": cannot read the configuration file: " + std::strerror(errno);
  }
  ReadState state;
  state.file = file.get();
  state.onEntry = &onEntry;
  // libinih stops at the first fault only when built to; it reports the
  // first faulty line either way, so a later refusal is not taken for it.
  const int firstFault = ini_parse_stream(ReadLine, &state, TakeEntry, &state);
  if (firstFault == 0) {
    return std::string();
  }
  if (firstFault < 0) {
    return path + ": cannot read the configuration file";
  }
  const std::string refusedLine = state.refusal.substr(0, state.refusal.find(':'));
  if (!state.refusal.empty() && refusedLine == std::to_string(firstFault)) {
    return path + ":" + state.refusal;
  }
  return path + ":" + std::to_string(firstFault) + ": not a 'key = value' line";
}
