// Runs the built lvtool's Palm commands on small tomes and PalmDOC databases.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "pdb_test_file.h"
#include "tome/file_util.h"
#include "tome/tome_builder.h"

namespace lv {
namespace {

using palmtest::Bytes;

struct Result {
  int status = -1;
  std::string out;
};

std::string Quote(const std::string& s) {
  std::string quoted = "'";
  for (char c : s) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

Result Lvtool(const std::string& arguments) {
  Result result;
  std::FILE* pipe = ::popen((std::string(LVTOOL_PATH) + " " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.out.append(buffer, n);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

class PalmCommandsTest : public ::testing::Test {
 protected:
  std::string Tome() {
    TomeBuilder builder;
    builder.AddEntry("apple", "a fruit");
    builder.AddEntry("pear", "another\t\x08fruit");
    const std::string path = dir.File("fruit.lv");
    File out = OpenFile(path, "wb");
    EXPECT_TRUE(builder.SaveTome(out.get()).IsOk());
    out.reset();
    return path;
  }
  std::string PalmDoc(const std::string& text) {
    Bytes header;
    palmtest::PutBe16(header, 1);
    palmtest::PutBe16(header, 0);
    palmtest::PutBe32(header, static_cast<uint32_t>(text.size()));
    palmtest::PutBe16(header, 1);
    palmtest::PutBe16(header, 4096);
    palmtest::PutBe32(header, 0);
    const std::string path = dir.File("doc.pdb");
    palmtest::WriteAll(path, palmtest::MakePdb("doc", "TEXt", "REAd", {header, Bytes(text.begin(), text.end())}));
    return path;
  }
  palmtest::TempDir dir;
};

TEST_F(PalmCommandsTest, PdbWritesBothFormatsAndReportsFailures) {
  const std::string tome = Tome();
  Result r = Lvtool("pdb " + Quote(tome));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(palmtest::ParsePdb(palmtest::ReadAll(dir.File("fruit.pdb"))).name, "fruit");
  r = Lvtool("pdb " + Quote(tome) + " --format 2.5 --name Fruits -o " + Quote(dir.File("f25.pdb")));
  EXPECT_EQ(r.status, 0) << r.out;
  r = Lvtool("pdbinfo " + Quote(dir.File("f25.pdb")));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("Name:              Fruits"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Palm tome format:  2.5"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Records:           4"), std::string::npos) << r.out;
  EXPECT_EQ(Lvtool("pdb " + Quote(tome) + " --format 3.0").status, 1);
  EXPECT_EQ(Lvtool("pdb " + Quote(tome) + " --accel fast").status, 1);
  EXPECT_EQ(Lvtool("pdb " + Quote(dir.File("missing.lv"))).status, 2);
  EXPECT_EQ(Lvtool("pdb " + Quote(tome) + " -o " + Quote(dir.File("no/dir/x.pdb"))).status, 2);
}

TEST_F(PalmCommandsTest, PalmDocPrintsAndFindsText) {
  const std::string doc = PalmDoc("first line\nsecond line with cat\nthird cat\n");
  Result r = Lvtool("palmdoc " + Quote(doc));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "first line\nsecond line with cat\nthird cat\n");
  r = Lvtool("palmdoc " + Quote(doc) + " --find cat");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "28: second line with cat\n38: third cat\n");
  EXPECT_EQ(Lvtool("palmdoc " + Quote(doc) + " --find dog").status, 4);
  r = Lvtool("pdbinfo " + Quote(doc));
  EXPECT_NE(r.out.find("Application:       PalmDOC"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Text length:       42"), std::string::npos) << r.out;
  // A Palm tome is not a PalmDOC; a damaged file is refused with the cause.
  ASSERT_EQ(Lvtool("pdb " + Quote(Tome())).status, 0);
  r = Lvtool("palmdoc " + Quote(dir.File("fruit.pdb")));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("is a Palm tome"), std::string::npos) << r.out;
  palmtest::WriteAll(dir.File("bad.pdb"), Bytes(30, 'x'));
  EXPECT_EQ(Lvtool("pdbinfo " + Quote(dir.File("bad.pdb"))).status, 2);
}

}  // namespace
}  // namespace lv
