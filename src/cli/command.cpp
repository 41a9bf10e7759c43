#include "cli/command.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "tome/file_util.h"

namespace lv::cli {

bool Arguments::Parse(const std::vector<std::string>& args, std::span<const OptionSpec> options) {
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      m_positionals.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      m_help = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> inlineValue;
    if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = arg.substr(0, eq);
      inlineValue = arg.substr(eq + 1);
    }
    const OptionSpec* match = nullptr;
    for (const OptionSpec& option : options) {
      if (name == option.longName || (!option.shortName.empty() && name == option.shortName)) match = &option;
    }
    if (!match) {
      m_error = "unknown option '" + name + "'";
      return false;
    }
    const std::string key(match->longName);
    if (!match->takesValue) {
      if (inlineValue) {
        m_error = "option '" + key + "' takes no value";
        return false;
      }
      m_values[key] = "";
    } else if (inlineValue) {
      m_values[key] = *inlineValue;
    } else if (i + 1 < args.size()) {
      m_values[key] = args[++i];
    } else {
      m_error = "option '" + name + "' needs a value";
      return false;
    }
  }
  return true;
}

std::optional<std::string> Arguments::Value(std::string_view longName) const {
  const auto it = m_values.find(std::string(longName));
  if (it == m_values.end()) return std::nullopt;
  return it->second;
}

ExitStatus Fail(ExitStatus status, const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "lvtool: %s\n", message.c_str());
  return status;
}

ExitStatus ExitStatusOf(const Status& status) {
  return status.Code() == StatusCode::kIoError ? ExitStatus::kFile : ExitStatus::kFailed;
}

ExitStatus Fail(const Status& failure) { return Fail(ExitStatusOf(failure), failure.Message()); }

ExitStatus CheckInputFile(const std::string& path) {
  File file;
  if (const Status opened = OpenForReading(path, file); !opened.IsOk())
    return Fail(ExitStatus::kFile, opened.Message());
  return ExitStatus::kOk;
}

ExitStatus CheckOutputIsNotInput(const std::string& output, const std::string& input) {
  if (!IsSameFile(output, input)) return ExitStatus::kOk;
  return Fail(ExitStatus::kUsage, "the output " + Quoted(output) + " is the input " + Quoted(input) +
                                      " itself; writing it would destroy the input");
}

ExitStatus UsageError(std::string_view command, const std::string& message) {
  std::fflush(stdout);
  const std::string name(command);
  std::fprintf(stderr, "lvtool %s: %s\nTry 'lvtool %s --help'.\n", name.c_str(), message.c_str(), name.c_str());
  return ExitStatus::kUsage;
}

bool ParseInt(std::string_view text, int& out) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, out);
  return result.ec == std::errc() && result.ptr == end;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string CannotOpen(const std::string& path, int errorNumber) {
  return "cannot open " + Quoted(path) + ": " + std::strerror(errorNumber);
}

std::string CauseOf(const Status& status) { return status.Message().empty() ? "" : ": " + status.Message(); }

std::string WithExtension(const std::string& path, const std::string& extension) {
  return std::filesystem::path(path).replace_extension(extension).string();
}

}  // namespace lv::cli
