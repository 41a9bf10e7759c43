// The renderer over real tomes: WriteEntryPage and ExportTaggedText read through TomeReader.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "docview/renderer.h"
#include "test_files.h"
#include "tome/file_util.h"
#include "tome/format.h"
#include "tome/tome_builder.h"
#include "tome/tome_reader.h"

namespace lv {
namespace {

namespace fs = std::filesystem;

std::string M(int code) { return std::string{'\t', static_cast<char>(code)}; }

class RendererTomeTest : public ::testing::Test {
 protected:
  // Builds a tome of the given entries (subject, stored text) and opens it read-only.
  void Open(const std::vector<std::pair<std::string, std::string>>& entries) {
    const std::string path = m_dir.File("t.lv");
    {
      TomeBuilder builder;
      ASSERT_TRUE(builder.BuildStatus().IsOk());
      for (const auto& [subject, text] : entries) builder.AddEntry(subject, text);
      File out = OpenFile(path, "wb");
      ASSERT_NE(out, nullptr);
      ASSERT_TRUE(builder.SaveTome(out.get()).IsOk());
      ASSERT_EQ(std::fclose(out.release()), 0);
    }
    ASSERT_TRUE(m_reader.Open(path, OpenMode::kReadOnly).IsOk());
  }

  test::TempDir m_dir;
  TomeReader m_reader;
};

// An entry long enough to continue through several blocks of the extension stream.
std::string LongText() {
  std::string text;
  for (int i = 0; text.size() < 60000; ++i) {
    text += "Line " + std::to_string(i) + " of a " + M(1) + "long" + M(2) + " entry" + M(8);
  }
  return text;
}

TEST_F(RendererTomeTest, WriteEntryPageWritesTheRenderedPage) {
  const std::string longText = LongText();
  Open({{"Alpha", "short " + M(3) + "text" + M(4)}, {"Beta", longText}});
  PageSettings settings;
  settings.backgroundStyle = 0;
  settings.entryFontSize = 5;
  const fs::path page = m_dir.Path() / "data.htm";
  ASSERT_TRUE(WriteEntryPage(m_reader, 1, settings, FindMark{7, 4}, page.string()).IsOk());
  const std::string expected = RenderEntryPage("Beta", longText, settings, FindMark{7, 4});
  EXPECT_EQ(test::ReadFile(page), expected);
  // The page in memory is the same bytes.
  std::string inMemory;
  ASSERT_TRUE(RenderEntryPageOf(m_reader, 1, settings, FindMark{7, 4}, inMemory).IsOk());
  EXPECT_EQ(inMemory, expected);
  // A shorter page replaces a longer one whole.
  ASSERT_TRUE(WriteEntryPage(m_reader, 0, settings, std::nullopt, page.string()).IsOk());
  EXPECT_EQ(test::ReadFile(page), RenderEntryPage("Alpha", "short " + M(3) + "text" + M(4), settings));
}

TEST_F(RendererTomeTest, WriteEntryPageReportsAPageThatCannotBeCreated) {
  Open({{"Alpha", "text"}});
  const Status unwritable = WriteEntryPage(m_reader, 0, PageSettings{}, std::nullopt, m_dir.File("missing/data.htm"));
  EXPECT_EQ(unwritable.Code(), StatusCode::kIoError);
  EXPECT_EQ(unwritable.Message(), "No such file or directory");
  const Status noEntry = WriteEntryPage(m_reader, 1, PageSettings{}, std::nullopt, m_dir.File("data.htm"));
  EXPECT_EQ(noEntry.Code(), StatusCode::kInvalidArgument);
  std::string page = "old";
  EXPECT_FALSE(RenderEntryPageOf(m_reader, 1, PageSettings{}, std::nullopt, page).IsOk());
  EXPECT_EQ(page, "");
  EXPECT_FALSE(fs::exists(m_dir.Path() / "data.htm"));
}

TEST_F(RendererTomeTest, ExportWritesOneTaggedLinePerSubject) {
  const std::string longText = LongText();
  const std::vector<std::pair<std::string, std::string>> entries = {
      {"apple", M(17) + "word" + M(18) + " and " + M(7)}, {"Banana", longText}, {"cherry", ""}};
  Open(entries);
  std::string expected;
  for (const auto& [subject, text] : entries) AppendTaggedLine(expected, subject, text);
  EXPECT_EQ(expected.substr(0, 40), "apple\t<a:word>word</a> and <hr>\r\nBanana\t");

  const fs::path out = m_dir.Path() / "out.tab";
  File stream = OpenFile(out.string(), "wb");
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(ExportTaggedText(m_reader, stream.get()).IsOk());
  stream.reset();
  EXPECT_EQ(test::ReadFile(out), expected);
}

TEST_F(RendererTomeTest, ExportOfAnEmptyTomeWritesNothing) {
  Open({});
  ASSERT_EQ(m_reader.SubjectCount(), 0);
  const fs::path out = m_dir.Path() / "out.tab";
  File stream = OpenFile(out.string(), "wb");
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(ExportTaggedText(m_reader, stream.get()).IsOk());
  stream.reset();
  EXPECT_EQ(fs::file_size(out), 0u);
}

}  // namespace
}  // namespace lv
