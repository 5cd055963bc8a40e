// IniConfigFormat.cpp - the line reader behind IniConfigFormat: one
// "key = value" line at a time, refused with its line number.
#include "IniConfigFormat.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

namespace {

constexpr const char kBlanks[] = " \t\r\n\f\v";
constexpr const char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) {
    return std::string();
  }
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A ';' after a blank ends the value, as an INI comment on the same line.
std::string WithoutTrailingComment(const std::string& value) {
  for (size_t i = 1; i < value.size(); ++i) {
    if (value[i] == ';' && std::strchr(kBlanks, value[i - 1]) != nullptr) {
      return Trimmed(value.substr(0, i));
    }
  }
  return value;
}

CLI::ConfigError LineRefused(int line, const std::string& why) {
  return CLI::ConfigError(std::to_string(line) + ": " + why);
}

}  // namespace

std::string IniConfigFormat::RefusalOf(const std::string& key, const std::string& value) const {
  CLI::Option* option = key.empty() ? nullptr : app_.get_option_no_throw("--" + key);
  if (option == nullptr || !option->get_configurable()) {
    return "unknown key '" + key + "'";
  }
  // CLI11 answers an option without a check by throwing, not with null.
  CLI::Validator* check = nullptr;
  try {
    check = option->get_validator();
  } catch (const CLI::OptionNotFound&) {
    return std::string();
  }
  std::string checked = value;
  return (*check)(checked);
}

std::vector<CLI::ConfigItem> IniConfigFormat::from_config(std::istream& input) const {
  std::vector<CLI::ConfigItem> entries;
  std::map<std::string, size_t> itemOfKey;  // a repeated key replaces its value
  std::string text;
  for (int line = 1; std::getline(input, text); ++line) {
    if (line == 1 && text.rfind(kByteOrderMark, 0) == 0) {
      text.erase(0, std::strlen(kByteOrderMark));
    }
    const std::string trimmed = Trimmed(text);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') {
      continue;
    }
    if (trimmed.front() == '[') {
      throw LineRefused(line, "'" + trimmed + "': the file has no sections");
    }
    const size_t delimiter = trimmed.find_first_of("=:");
    if (delimiter == std::string::npos) {
      throw LineRefused(line, "not a 'key = value' line");
    }
    const std::string key = Trimmed(trimmed.substr(0, delimiter));
    const std::string value = WithoutTrailingComment(Trimmed(trimmed.substr(delimiter + 1)));
    const std::string why = RefusalOf(key, value);
    if (!why.empty()) {
      throw LineRefused(line, why);
    }
    const auto known = itemOfKey.find(key);
    if (known != itemOfKey.end()) {
      entries[known->second].inputs = {value};
      continue;
    }
    itemOfKey[key] = entries.size();
    CLI::ConfigItem item;
    item.name = key;
    item.inputs = {value};
    entries.push_back(item);
  }
  return entries;
}

std::string UnreadableConfigFileMessage(const std::string& path) {
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
  const std::string reason = file ? "not a regular file" : std::strerror(errno);
  return path + ": cannot read the configuration file: " + reason;
}
