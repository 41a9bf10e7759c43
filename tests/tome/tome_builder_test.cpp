// The tome file as written by SaveTome: exact bytes of a tiny tome, the record split at 150 bytes,
// block boundaries of the main stream and the empty tome.
#include <gtest/gtest.h>

#include <string>

#include "builder_test_support.h"
#include "tome/coding.h"
#include "tome/file_util.h"
#include "tome/format.h"
#include "tome/tome_builder.h"

namespace lv {
namespace {

using builder_test::ModelEntry;
using builder_test::TempDir;

std::string Save(TomeBuilder& builder) {
  TempDir dir;
  File out = OpenFile(dir.File("t.lv"), "wb");
  EXPECT_TRUE(builder.SaveTome(out.get()).IsOk());
  out.reset();
  return builder_test::ReadFile(dir.File("t.lv"));
}

std::string LE(std::initializer_list<uint32_t> words) {
  std::string s;
  for (uint32_t w : words) AppendLE32(s, w);
  return s;
}

TEST(TomeBuilderTest, TinyTomeByteForByte) {
  TomeBuilder builder;
  builder.AddEntry("a", "hi");
  std::string expected = LE({0x10000037, 0x1000006D, 0x100016D2, 0xFCDDF4DC, 2001, 1, 1, 1, 4755, 1, 1, 4743});
  expected += std::string(4743, '\0');
  expected += LE({0});                          // subject offset table
  expected += LE({8 + 8 + 7, 1, 25000, 0, 7});  // main section: one block of 7 compressed bytes
  expected += std::string(
      "\x01\x60"
      "a\0hi\0",
      7);                         // six literals in a short group
  expected += LE({8, 0, 25000});  // empty extension section
  EXPECT_EQ(Save(builder), expected);
}

TEST(TomeBuilderTest, TextsSplitAfter150Bytes) {
  TomeBuilder builder;
  builder.AddEntry("whole", std::string(150, 'x'));
  builder.AddEntry("long", std::string(150, 'y') + "z");
  builder.AddEntry("longer", std::string(149, 'w') +
                                 "\t\x01"
                                 "rest");  // the split falls inside a mark
  const builder_test::ModelTome tome = builder_test::UnpackTome(Save(builder));
  const std::string& main = tome.main.stream;
  EXPECT_EQ(uint8_t(main[tome.offsets[0]]), kRecordFlagsWhole);
  EXPECT_EQ(tome.offsets[1], 1 + 6 + 151u);
  EXPECT_EQ(uint8_t(main[tome.offsets[1]]), kRecordFlagsExtended);
  EXPECT_EQ(DecodeLE32(builder_test::Bytes(main, tome.offsets[1] + 1)), 0u);
  EXPECT_EQ(DecodeLE32(builder_test::Bytes(main, tome.offsets[2] + 1)), 2u);
  EXPECT_EQ(tome.extension.stream, std::string("z\0\x01rest\0", 8));
  EXPECT_EQ(tome.entries[2].text, std::string(149, 'w') + "\t\x01rest");
}

TEST(TomeBuilderTest, MainStreamBlocks) {
  // 125 records of 47 + 150 + 3 bytes fill exactly one block; one more subject byte makes a second.
  for (int extra : {0, 1}) {
    TomeBuilder builder;
    for (int i = 0; i < 125; ++i) {
      std::string subject = std::string(44, 's') + char('0' + i / 100) + char('0' + i / 10 % 10) + char('0' + i % 10);
      if (i == 124 && extra) subject += "+";
      builder.AddEntry(subject, std::string(150, char('a' + i % 26)));
    }
    const builder_test::ModelTome tome = builder_test::UnpackTome(Save(builder));
    EXPECT_EQ(tome.main.stream.size(), 25000u + extra);
    EXPECT_EQ(tome.main.blockCount, 1 + extra);
    EXPECT_EQ(tome.main.decodedBlockSizes.back(), extra ? 1u : 25000u);
    EXPECT_EQ(tome.entries.back().text, std::string(150, char('a' + 124 % 26)));
  }
}

TEST(TomeBuilderTest, EmptyTome) {
  TomeBuilder builder;
  const std::string file = Save(builder);
  ASSERT_EQ(file.size(), size_t(kWrittenSubjectTableOffset) + 24);
  EXPECT_EQ(DecodeLE32(builder_test::Bytes(file, kSubjectCountOffset)), 0u);
  EXPECT_EQ(file.substr(kWrittenSubjectTableOffset), LE({8, 0, 25000, 8, 0, 25000}));
}

TEST(TomeBuilderTest, AddEntryKeepsEmptyTextsAndChecksOrder) {
  TomeBuilder builder;
  builder.AddEntry("beta", "");
  builder.AddEntry("alpha", std::string("a\0b", 3));
  builder.AddEntry("gamma", "\t\x08");
  EXPECT_EQ(builder.SortedFlag(), 0);
  EXPECT_EQ(builder.PreviousSubject(), "alpha");
  const builder_test::ModelTome tome = builder_test::UnpackTome(Save(builder));
  EXPECT_EQ(tome.entries, (std::vector<ModelEntry>{{"beta", ""}, {"alpha", "ab"}, {"gamma", "\t\x08"}}));
  EXPECT_EQ(tome.sortedFlag, 0);
}

TEST(TomeBuilderTest, StreamsBeyondTheirLimitEndTheBuild) {
  TomeBuilder main;
  main.SetMaxStreamLength(100);
  for (int i = 0; i < 21; ++i) main.AddEntry("a", "x");  // records of 5 bytes: 20 fit
  EXPECT_EQ(main.EntryCount(), 20);
  EXPECT_FALSE(main.BuildStatus().IsOk());
  EXPECT_NE(main.BuildStatus().Message().find("more than 100 bytes in the main stream"), std::string::npos);
  EXPECT_FALSE(main.ParseTabEntry(stdin));
  TempDir dir;
  File out = OpenFile(dir.File("t.lv"), "wb");
  // Saving gives the build's failure.
  EXPECT_EQ(main.SaveTome(out.get()).Code(), StatusCode::kNotSupported);
  out.reset();

  TomeBuilder extension;
  extension.SetMaxStreamLength(200);
  extension.AddEntry("a", std::string(349, 'x'));  // a piece of 199 bytes and its 0x00
  EXPECT_TRUE(extension.BuildStatus().IsOk());
  extension.AddEntry("b", std::string(151, 'x'));
  EXPECT_FALSE(extension.BuildStatus().IsOk());
  EXPECT_NE(extension.BuildStatus().Message().find("extension stream"), std::string::npos);
  EXPECT_EQ(extension.EntryCount(), 1);
}

TEST(TomeBuilderTest, UnwritableOutputIsReported) {
  TomeBuilder builder;
  builder.AddEntry("a", "x");
  TempDir dir;
  builder_test::WriteFile(dir.File("t.lv"), "");
  File readOnly = OpenFile(dir.File("t.lv"), "rb");
  EXPECT_EQ(builder.SaveTome(readOnly.get()).Code(), StatusCode::kIoError);
  readOnly.reset();
  EXPECT_FALSE(builder.BuildStatus().IsOk());
}

TEST(TomeBuilderTest, TempFilesMissingEndTheBuild) {
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  ::setenv("TMPDIR", "/nonexistent-lv-dir", 1);
  TomeBuilder builder;
  if (old) {
    ::setenv("TMPDIR", saved.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
  EXPECT_EQ(builder.BuildStatus().Code(), StatusCode::kIoError);
  EXPECT_NE(builder.BuildStatus().Message().find("cannot create a temporary file"), std::string::npos);
  EXPECT_FALSE(builder.ParseTaggedEntry(stdin));
  TempDir dir;
  File out = OpenFile(dir.File("t.lv"), "wb");
  EXPECT_EQ(builder.SaveTome(out.get()).Code(), StatusCode::kIoError);
  out.reset();
  EXPECT_EQ(builder_test::ReadFile(dir.File("t.lv")), "");
}

}  // namespace
}  // namespace lv
