// Runs the built lvtool's Palm commands on small tomes and PalmDOC databases.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
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
  std::string PalmDoc(const std::string& text, uint16_t compression = 1) {
    Bytes header;
    palmtest::PutBe16(header, compression);
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
  // Dates counted from 1904 and dates other writers store as seconds since 1970 read the same.
  for (const uint32_t created : {1234567890u + 2082844800u, 1234567890u}) {
    Bytes pdb = palmtest::ReadAll(dir.File("f25.pdb"));
    for (int shift = 24, i = 36; shift >= 0; shift -= 8, ++i) pdb[size_t(i)] = uint8_t(created >> shift);
    palmtest::WriteAll(dir.File("dated.pdb"), pdb);
    r = Lvtool("pdbinfo " + Quote(dir.File("dated.pdb")));
    EXPECT_NE(r.out.find("Created:           2009-02-13 23:31:30 UTC"), std::string::npos) << r.out;
  }
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

TEST_F(PalmCommandsTest, PalmDocPrintsATextWithNulBytesWholeAndRefusesAnUnknownCompression) {
  const std::string text("\0starts with a NUL\0and holds another\n", 37);
  Result r = Lvtool("palmdoc " + Quote(PalmDoc(text)));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, text);
  r = Lvtool("palmdoc " + Quote(PalmDoc("abc", 7)));
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.out.find("compression of the text is unknown (7)"), std::string::npos) << r.out;
  EXPECT_EQ(Lvtool("palmdoc " + Quote(PalmDoc("abc", 7)) + " --find abc").status, 3);
}

TEST_F(PalmCommandsTest, UsersAndQueueWorkOnTheHotSyncFolder) {
  const std::string root = dir.File("HotSync");
  const std::string hotsync = " --hotsync " + Quote(root);
  Result r = Lvtool("users" + hotsync);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  std::filesystem::create_directories(root + "/bob");
  std::filesystem::create_directories(root + "/anna/Card2");
  std::filesystem::create_directories(root + "/anna/Card1");
  r = Lvtool("users" + hotsync);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "anna\tCard1, Card2\nbob\n");

  const std::string doc = PalmDoc("text");
  r = Lvtool("queue " + Quote(doc) + " --user anna --card" + hotsync);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(palmtest::ReadAll(root + "/anna/Card1/Install/doc.pdb"), palmtest::ReadAll(doc));
  r = Lvtool("queue " + Quote(doc) + " --user bob --card" + hotsync);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(palmtest::ReadAll(root + "/bob/Install/doc.pdb"), palmtest::ReadAll(doc));
  r = Lvtool("queue " + Quote(doc) + " --user carol" + hotsync);
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.out.find("carol"), std::string::npos) << r.out;
  EXPECT_EQ(Lvtool("queue " + Quote(dir.File("missing.pdb")) + " --user bob" + hotsync).status, 2);
  EXPECT_EQ(Lvtool("queue " + Quote(doc) + hotsync).status, 1);
}

}  // namespace
}  // namespace lv
