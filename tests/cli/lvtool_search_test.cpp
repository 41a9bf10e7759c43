// lvtool search on a small tagged source imported in the test: output lines, operators and options,
// the wrap from --from, UTF-8 terms and subjects, and the exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "test_files.h"

namespace {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ShellQuote(const std::string& s) {
  std::string quoted = "'";
  for (const char c : s) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class LvtoolSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Windows-1252 source: "Caf\xE9" is Café. Entry 1 holds "cat" only inside a link.
    const std::string source = m_dir.File("animals.txt");
    lv::test::WriteFile(source,
                        "<new>Cat\r\nA small animal that hunts mice.\r\n"
                        "<new>Caf\xE9\r\nServes tea; the owner's <a:Cat>cat</a> sleeps.\r\n"
                        "<new>Dog\r\nChases the cat and the mice.\r\n"
                        "<new>Mouse\r\nFeared by a cat; a mouse has mice.\r\n");
    ASSERT_EQ(Run({"import", source, "-o", m_tome}).status, 0);
  }

  Result Run(std::vector<std::string> args) const {
    std::string command = ShellQuote(LVTOOL_PATH);
    for (const std::string& arg : args) command += " " + ShellQuote(arg);
    command += " >" + ShellQuote(m_dir.File(".out")) + " 2>" + ShellQuote(m_dir.File(".err")) + " </dev/null";
    const int raw = std::system(command.c_str());
    Result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = lv::test::ReadFile(m_dir.File(".out"));
    result.err = lv::test::ReadFile(m_dir.File(".err"));
    return result;
  }

  Result Search(std::vector<std::string> args) const {
    args.insert(args.begin(), {"search", m_tome});
    return Run(args);
  }

  lv::test::TempDir m_dir;
  std::string m_tome = m_dir.File("animals.lv");
};

TEST_F(LvtoolSearchTest, PrintsEveryMatchInPassOrder) {
  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  const Case cases[] = {
      {{"cat"}, "0\t-1\tCat\n2\t11\tDog\n3\t12\tMouse\n"},
      {{"CAT", "--from", "2"}, "2\t11\tDog\n3\t12\tMouse\n0\t-1\tCat\n"},
      {{"cat", "--from", "3", "--first"}, "3\t12\tMouse\n"},
      {{"mice", "AND", "cat"}, "0\t26\tCat\n2\t23\tDog\n3\t29\tMouse\n"},
      {{"mice", "NOT", "dog"}, "0\t26\tCat\n3\t29\tMouse\n"},
      {{"tea", "OR", "mouse"}, "1\t7\tCaf\xC3\xA9\n3\t-1\tMouse\n"},
      {{"mice", "AND", "dog", "OR", "mouse"}, "2\t23\tDog\n3\t29\tMouse\n"},
      {{"caf\xC3\x89"}, "1\t-1\tCaf\xC3\xA9\n"},
      {{"cat", "--subjects-only"}, "0\t-1\tCat\n"},
      {{"mous", "--any-position"}, "3\t-1\tMouse\n"},
  };
  for (const Case& c : cases) {
    const Result r = Search(c.args);
    EXPECT_EQ(r.status, 0) << c.args[0] << r.err;
    EXPECT_EQ(r.out, c.out) << c.args[0];
  }
}

TEST_F(LvtoolSearchTest, NothingMatchingExitsWithFour) {
  const Result r = Search({"mous"});
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("no subject"), std::string::npos) << r.err;
}

TEST_F(LvtoolSearchTest, BadArgumentsAndFiles) {
  EXPECT_EQ(Search({}).status, 1);
  EXPECT_EQ(Search({"cat", "AND"}).status, 1);
  EXPECT_EQ(Search({"cat", "and", "dog"}).status, 1);
  EXPECT_EQ(Search({"cat", "--from", "-1"}).status, 1);
  EXPECT_EQ(Search({"cat", "--from", "4"}).status, 4);
  EXPECT_EQ(Run({"search", m_dir.File("missing.lv"), "cat"}).status, 2);
  const Result help = Run({"search", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: lvtool search TOME TERM1"), std::string::npos);
}

}  // namespace
