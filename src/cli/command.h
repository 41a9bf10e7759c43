// What every lvtool command shares: its entry in the command table, its parsed arguments, the exit
// statuses and the way errors are printed.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tome/status.h"

namespace lv::cli {

// Exit statuses of lvtool (listed in "lvtool --help").
enum class ExitStatus {
  kOk = 0,
  kUsage = 1,     // unknown command or option, missing or bad argument
  kFile = 2,      // a file cannot be opened, read or written, or is not a tome
  kFailed = 3,    // the import, sort, upgrade or export itself failed
  kNotFound = 4,  // no subject matches (find, show)
};

// An option of a command: its long name ("--output"), an optional short name ("-o") and whether a
// value follows it ("-o FILE", "--output FILE" or "--output=FILE").
struct OptionSpec {
  std::string_view longName;
  std::string_view shortName;
  bool takesValue = false;
};

class Arguments {
 public:
  // Parses the arguments after the command name. "--help" and "-h" are always known. False with
  // Error() set on an unknown option or a missing value.
  bool Parse(const std::vector<std::string>& args, std::span<const OptionSpec> options);

  bool HelpRequested() const { return m_help; }
  bool Has(std::string_view longName) const { return m_values.count(std::string(longName)) > 0; }
  std::optional<std::string> Value(std::string_view longName) const;
  const std::vector<std::string>& Positionals() const { return m_positionals; }
  const std::string& Error() const { return m_error; }

 private:
  bool m_help = false;
  std::map<std::string, std::string> m_values;  // long name -> value ("" for flags)
  std::vector<std::string> m_positionals;
  std::string m_error;
};

struct Command {
  std::string_view name;
  std::string_view usage;    // the arguments, e.g. "TOME [--from N] [--count M]"
  std::string_view summary;  // one line for "lvtool --help"
  std::string_view details;  // the rest of "lvtool NAME --help"
  std::span<const OptionSpec> options;
  ExitStatus (*run)(const Arguments& args);
};

// Every command, defined next to its code; main.cpp lists them in its table.
extern const Command kImportCommand;
extern const Command kInfoCommand;
extern const Command kListCommand;
extern const Command kShowCommand;
extern const Command kFindCommand;
extern const Command kExportTaggedCommand;
extern const Command kSortCommand;
extern const Command kUpgradeCommand;
extern const Command kSearchCommand;

// Prints "lvtool: MESSAGE" to standard error and returns status.
ExitStatus Fail(ExitStatus status, const std::string& message);
// Prints "lvtool COMMAND: MESSAGE" and a pointer to the command's help; returns ExitStatus::kUsage.
ExitStatus UsageError(std::string_view command, const std::string& message);

// Parses a whole decimal number into out; false when text is not one (or does not fit an int).
bool ParseInt(std::string_view text, int& out);

// "'path'" for messages.
std::string Quoted(const std::string& path);
// "cannot open 'path': <reason from errno>"
std::string CannotOpen(const std::string& path, int errorNumber);
// ": message", or "" for an empty message: the cause a failed status adds to an error line.
std::string CauseOf(const Status& status);

// path with its extension replaced by extension (or extension appended when it has none).
std::string WithExtension(const std::string& path, const std::string& extension);

}  // namespace lv::cli
