// What every lvtool command does with troublesome inputs and outputs: an output that is its own
// input, inputs that are not regular files, outputs that cannot be written, symbolic links,
// temporary files left behind, and the file sort's backup and final line end.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "lvtool_runner.h"
#include "test_files.h"
#include "tome/tome_bytes.h"

namespace {

namespace fs = std::filesystem;
using lv::test::LvtoolResult;
using lv::test::ReadFile;
using lv::test::WriteFile;
using Args = std::vector<std::string>;

// Replaces every argument that is a key of values ("{tome}") by its value.
Args Expand(const Args& args, const std::map<std::string, std::string>& values) {
  Args expanded;
  for (const std::string& arg : args) {
    const auto it = values.find(arg);
    expanded.push_back(it == values.end() ? arg : it->second);
  }
  return expanded;
}

// The commands that write an output other than their input; {in} is the input, {out} the output.
struct OutputCommand {
  const char* name;
  Args args;
  const char* input;  // "{source}" or "{tome}"
};

const OutputCommand kOutputCommands[] = {
    {"import", {"import", "{source}", "-o", "{out}"}, "{source}"},
    {"show --html", {"show", "{tome}", "--index", "0", "--html", "{out}"}, "{tome}"},
    {"export-tagged", {"export-tagged", "{tome}", "-o", "{out}"}, "{tome}"},
    {"pdb", {"pdb", "{tome}", "-o", "{out}"}, "{tome}"},
};

class LvtoolOutputsTest : public lv::test::LvtoolFixture {
 protected:
  void SetUp() override {
    // Every output of these files is larger than the 512 bytes a "ulimit -f 1" allows.
    WriteFile(Path("book.txt"), "<new>Apple\r\n" + std::string(3000, 'a') + "\r\n<new>Banana\r\nyellow\r\n");
    ASSERT_EQ(Run({"import", Path("book.txt").string()}).status, 0);
  }

  std::map<std::string, std::string> Files(const std::string& out = "") const {
    return {{"{source}", Path("book.txt").string()}, {"{tome}", Path("book.lv").string()}, {"{out}", out}};
  }

  // The names in the test's folder (and its subfolders) of temporary files of outputs.
  std::vector<std::string> TempFilesLeft() const {
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(m_dir.Path())) {
      if (entry.path().filename().string().find(".tmp-") != std::string::npos) left.push_back(entry.path());
    }
    return left;
  }
};

TEST_F(LvtoolOutputsTest, AnOutputThatIsItsOwnInputIsRefused) {
  fs::create_directory(Path("sub"));
  for (const OutputCommand& command : kOutputCommands) {
    const std::string input = Files().at(command.input);
    const std::string name = fs::path(input).filename();
    fs::remove(Path("link"));
    fs::remove(Path("hard"));
    fs::create_symlink(input, Path("link"));
    fs::create_hard_link(input, Path("hard"));
    const std::string before = ReadFile(input);
    for (const std::string& out :
         {input, Path("link").string(), Path("hard").string(), Path("sub/../" + name).string()}) {
      const LvtoolResult r = Run(Expand(command.args, Files(out)));
      EXPECT_EQ(r.status, 1) << command.name << " -> " << out;
      EXPECT_NE(r.err.find("'" + out + "' is the input '" + input + "' itself; writing it would destroy the input"),
                std::string::npos)
          << command.name << ": " << r.err;
      EXPECT_EQ(ReadFile(input), before) << command.name << " -> " << out;
    }
  }
}

TEST_F(LvtoolOutputsTest, InputsThatAreNotRegularFilesAreRefusedAtOnce) {
  ::mkfifo(Path("pipe").c_str(), 0644);
  fs::create_directory(Path("folder"));
  const Args commands[] = {
      {"import", "{in}", "-o", "{out}"},
      {"info", "{in}"},
      {"list", "{in}"},
      {"show", "{in}", "--index", "0"},
      {"find", "{in}", "a"},
      {"export-tagged", "{in}"},
      {"sort", "{in}"},
      {"upgrade", "{in}"},
      {"pdb", "{in}", "-o", "{out}"},
      {"pdbinfo", "{in}"},
      {"palmdoc", "{in}"},
  };
  const struct {
    const char* name;
    const char* kind;
  } inputs[] = {{"pipe", "a named pipe"}, {"folder", "a folder"}};
  for (const Args& command : commands) {
    for (const auto& input : inputs) {
      const std::string in = Path(input.name).string();
      const LvtoolResult r = Run(Expand(command, {{"{in}", in}, {"{out}", Path("out").string()}}), "", "timeout 20");
      EXPECT_EQ(r.status, 2) << command[0] << " " << input.name << ": " << r.err;
      EXPECT_NE(r.err.find("cannot open '" + in + "': it is " + input.kind + ", not a regular file"), std::string::npos)
          << command[0] << ": " << r.err;
    }
  }
  EXPECT_FALSE(fs::exists(Path("out")));
}

TEST_F(LvtoolOutputsTest, OutputsThatCannotBeWrittenNameTheFileAndTheReason) {
  fs::create_directory(Path("folder"));
  ::mkfifo(Path("pipe").c_str(), 0644);
  fs::create_directory(Path("read-only"));
  const struct {
    std::string out;
    std::string prefix;  // shell commands run before lvtool
    std::string reason;
    bool namesTheOutput;  // false when a temporary file of the import is the first to fail
  } cases[] = {
      {Path("missing/out").string(), "", "No such file or directory", true},
      {Path("folder").string(), "", "it is a folder, not a regular file", true},
      {Path("pipe").string(), "", "it is a named pipe, not a regular file", true},
      {Path("out").string(), "trap '' XFSZ; ulimit -f 1;", "File too large", false},
      {Path("read-only/out").string(), "", "Permission denied", true},
  };
  for (const OutputCommand& command : kOutputCommands) {
    for (const auto& c : cases) {
      if (c.out == Path("read-only/out").string()) {
        if (::geteuid() == 0) continue;  // permissions do not hold back root
        fs::permissions(Path("read-only"), fs::perms::owner_all);
        WriteFile(c.out, "old");
        fs::permissions(Path("read-only"), fs::perms::owner_read | fs::perms::owner_exec);
      } else if (c.out == Path("out").string()) {
        WriteFile(c.out, "old");
      }
      const LvtoolResult r = Run(Expand(command.args, Files(c.out)), c.prefix);
      EXPECT_EQ(r.status, 2) << command.name << " -> " << c.out << ": " << r.err;
      EXPECT_NE(r.err.find(c.reason), std::string::npos) << command.name << ": " << r.err;
      if (c.namesTheOutput || command.input == std::string("{tome}")) {
        EXPECT_NE(r.err.find("'" + c.out + "'"), std::string::npos) << command.name << ": " << r.err;
      }
      if (fs::is_regular_file(c.out)) {
        EXPECT_EQ(ReadFile(c.out), "old") << command.name << " -> " << c.out;
      }
      EXPECT_EQ(TempFilesLeft(), std::vector<std::string>()) << command.name << " -> " << c.out;
    }
  }
  EXPECT_TRUE(fs::is_fifo(Path("pipe")));
  fs::permissions(Path("read-only"), fs::perms::owner_all);
}

TEST_F(LvtoolOutputsTest, InPlaceCommandsThatCannotWriteLeaveTheFileAsItWas) {
  const std::string unsorted = "pear\t" + std::string(600, 'p') + "\r\napple\tred\r\n";
  const struct {
    const char* name;
    std::string file;
    std::string contents;
  } cases[] = {
      {"sort", Path("words.tab").string(), unsorted},
      {"upgrade", Path("old.lv").string(), lv::test::AssembleVersion1Tome({{"alpha", std::string(600, 'x')}}, 1)},
  };
  for (const auto& c : cases) {
    WriteFile(c.file, c.contents);
    const LvtoolResult r = Run({c.name, c.file}, "trap '' XFSZ; ulimit -f 1;");
    EXPECT_EQ(r.status, 2) << c.name << ": " << r.err;
    EXPECT_NE(r.err.find("File too large"), std::string::npos) << c.name << ": " << r.err;
    EXPECT_EQ(ReadFile(c.file), c.contents) << c.name;
    EXPECT_EQ(TempFilesLeft(), std::vector<std::string>()) << c.name;
  }
  EXPECT_FALSE(fs::exists(Path("words.tab.bak")));
}

TEST_F(LvtoolOutputsTest, ALinkIsWrittenThroughAndKept) {
  fs::create_directory(Path("real"));
  const auto linkTo = [&](const std::string& name, const std::string& contents) {
    WriteFile(Path("real/" + name), contents);
    fs::create_symlink("real/" + name, Path(name));
    return Path(name).string();
  };
  // In place: the file the link points to is sorted or upgraded.
  const std::string words = linkTo("words.tab", "pear\tgreen\napple\tred\n");
  ASSERT_EQ(Run({"sort", words}).status, 0);
  EXPECT_EQ(ReadFile(Path("real/words.tab")), "apple\tred\npear\tgreen\n");
  EXPECT_EQ(ReadFile(words + ".bak"), "pear\tgreen\napple\tred\n");
  const std::string old = linkTo("old.lv", lv::test::AssembleVersion1Tome({{"alpha", "first"}}, 1));
  ASSERT_EQ(Run({"upgrade", old}).status, 0);
  EXPECT_NE(Run({"info", Path("real/old.lv").string()}).out.find("current (version 2001)"), std::string::npos);
  EXPECT_TRUE(fs::is_symlink(words));
  EXPECT_TRUE(fs::is_symlink(old));
  // Outputs: every command writes through the link the same way.
  for (const OutputCommand& command : kOutputCommands) {
    fs::remove(Path("out"));
    const std::string out = linkTo("out", "old");
    const LvtoolResult r = Run(Expand(command.args, Files(out)));
    EXPECT_EQ(r.status, 0) << command.name << ": " << r.err;
    EXPECT_TRUE(fs::is_symlink(out)) << command.name;
    EXPECT_GT(ReadFile(Path("real/out")).size(), 3u) << command.name;
    fs::remove(Path("real/out"));
  }
  EXPECT_EQ(TempFilesLeft(), std::vector<std::string>());
}

TEST_F(LvtoolOutputsTest, TemporaryFilesOfGoneProcessesAreRemovedByTheNextOutput) {
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string dead = ".x.lv.tmp-" + std::to_string(gone) + "-abcdef";
  const std::string alive = ".x.lv.tmp-" + std::to_string(::getpid()) + "-abcdef";
  const std::string unlike = ".x.lv.tmp-" + std::to_string(gone) + "-abc";
  for (const OutputCommand& command : kOutputCommands) {
    for (const std::string& name : {dead, alive, unlike}) WriteFile(Path(name), "");
    const LvtoolResult r = Run(Expand(command.args, Files(Path("out").string())));
    EXPECT_EQ(r.status, 0) << command.name << ": " << r.err;
    EXPECT_FALSE(fs::exists(Path(dead))) << command.name;
    EXPECT_TRUE(fs::exists(Path(alive))) << command.name;
    EXPECT_TRUE(fs::exists(Path(unlike))) << command.name;
  }
}

TEST_F(LvtoolOutputsTest, SortReplacesTheBackupAndKeepsTheFinalLineEnd) {
  const struct {
    std::string input;
    std::string sorted;
  } cases[] = {
      {"b\tx\r\na\ty\r\n", "a\ty\r\nb\tx\r\n"},
      {"b\tx\r\na\ty", "a\ty\r\nb\tx"},
      {"b\tx\na\ty\n\n", "a\ty\nb\tx\n"},
      {"b\tx\ra\ty\r", "a\ty\rb\tx\r"},
  };
  const std::string path = Path("d.tab").string();
  for (const auto& c : cases) {
    WriteFile(path, c.input);
    WriteFile(path + ".bak", "an older backup");
    const LvtoolResult r = Run({"sort", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Sorted '" + path + "'; the unsorted file is '" + path + ".bak'\n");
    EXPECT_EQ(ReadFile(path), c.sorted) << ::testing::PrintToString(c.input);
    EXPECT_EQ(ReadFile(path + ".bak"), c.input);
  }
}

}  // namespace
