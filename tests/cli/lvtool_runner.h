// Running the built lvtool from the tests of tests/cli: a fresh folder per test and the exit status,
// standard output and standard error of one run.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_files.h"

namespace lv::test {

struct LvtoolResult {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ShellQuote(const std::string& s) {
  std::string quoted = "'";
  for (const char c : s) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class LvtoolFixture : public ::testing::Test {
 protected:
  std::filesystem::path Path(const std::string& name) const { return m_dir.Path() / name; }

  // Runs lvtool with args; shellPrefix (shell commands such as "ulimit -f 1;") runs first, and
  // wrapper (such as "timeout 20") is the program that runs lvtool.
  LvtoolResult Run(const std::vector<std::string>& args, const std::string& shellPrefix = "",
                   const std::string& wrapper = "") const {
    std::string command = shellPrefix + " exec " + wrapper + " " + ShellQuote(LVTOOL_PATH);
    for (const std::string& arg : args) command += " " + ShellQuote(arg);
    command += " >" + ShellQuote(Path(".out").string()) + " 2>" + ShellQuote(Path(".err").string()) + " </dev/null";
    const int raw = std::system(command.c_str());
    LvtoolResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadFile(Path(".out"));
    result.err = ReadFile(Path(".err"));
    return result;
  }

  TempDir m_dir;
};

}  // namespace lv::test
