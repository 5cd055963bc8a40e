// IniConfigFormat.h - the configuration file's format, read by CLI11's own
// config support (App::set_config): "key = value" lines outside any section,
// ";" or "#" comments, the keys being the long options without the dashes.
#pragma once

#include <CLI/CLI.hpp>
#include <istream>
#include <string>
#include <vector>

// Installed with app.config_formatter(std::make_shared<IniConfigFormat>(app)).
// CLI11's own INI reader accepts lines and values we do not mean (a bare
// word as a flag, sections as subcommands, values split at blanks and
// commas, quotes removed) and cannot name a line, so this reader checks
// each line where it reads it:
// - blank lines and lines starting with ';' or '#' are skipped, as is a
//   UTF-8 byte order mark; a " ;" after a value starts a comment;
// - a line is "key = value" (or "key : value"); key and value are trimmed
//   and the value is kept as written, quotes included;
// - a section header, a line without "=", a key that is not a configurable
//   option of app, or a value the option's check refuses ends the reading
//   with CLI::ConfigError("LINE: why"), LINE counting from 1;
// - a key given twice takes its last value, each one checked.
// The command line still wins: CLI11 skips the file's value of an option
// the command line set, after this reader has checked it.
class IniConfigFormat : public CLI::ConfigINI {
 public:
  // app must outlive this formatter (it owns it once installed).
  explicit IniConfigFormat(CLI::App& app) : app_(app) {}

  std::vector<CLI::ConfigItem> from_config(std::istream& input) const override;

 private:
  // Why key and value cannot be taken, or an empty string.
  std::string RefusalOf(const std::string& key, const std::string& value) const;

  CLI::App& app_;
};

// The one-line message for a configuration file CLI11 could not open: the
// path and the system's reason.
std::string UnreadableConfigFileMessage(const std::string& path);
