// The renderer over real tomes: WriteEntryPage and ExportTaggedText read through TomeReader.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "docview/renderer.h"
#include "test_files.h"
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
      ASSERT_TRUE(builder.IsReady());
      for (const auto& [subject, text] : entries) builder.AddEntry(subject, text);
      std::FILE* out = std::fopen(path.c_str(), "wb");
      ASSERT_NE(out, nullptr);
      ASSERT_EQ(builder.SaveTome(out), kSaveOk);
      ASSERT_EQ(std::fclose(out), 0);
    }
    ASSERT_EQ(m_reader.Open(path, kOpenReadOnly), kOpenOk);
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
  m_reader.SetEntryPageFontSize(5);
  PageSettings settings;
  settings.backgroundStyle = 0;
  const fs::path page = m_dir.Path() / "data.htm";
  ASSERT_TRUE(WriteEntryPage(m_reader, settings, page.string(), 1, 7, 4));
  EXPECT_EQ(test::ReadFile(page), RenderEntryPage("Beta", longText, settings, 5, 7, 4));
  // A shorter page replaces a longer one whole.
  ASSERT_TRUE(WriteEntryPage(m_reader, settings, page.string(), 0, -1, 0));
  EXPECT_EQ(test::ReadFile(page), RenderEntryPage("Alpha", "short " + M(3) + "text" + M(4), settings, 5, -1, 0));
}

TEST_F(RendererTomeTest, WriteEntryPageReportsAPageThatCannotBeCreated) {
  Open({{"Alpha", "text"}});
  EXPECT_FALSE(WriteEntryPage(m_reader, PageSettings{}, m_dir.File("missing/data.htm"), 0, -1, 0));
  EXPECT_FALSE(WriteEntryPage(m_reader, PageSettings{}, m_dir.File("data.htm"), 1, -1, 0));
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
  std::FILE* stream = std::fopen(out.string().c_str(), "wb");
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(ExportTaggedText(m_reader, stream));
  std::fclose(stream);
  EXPECT_EQ(test::ReadFile(out), expected);
}

TEST_F(RendererTomeTest, ExportOfAnEmptyTomeWritesNothing) {
  Open({});
  ASSERT_EQ(m_reader.GetSubjectCount(), 0);
  const fs::path out = m_dir.Path() / "out.tab";
  std::FILE* stream = std::fopen(out.string().c_str(), "wb");
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(ExportTaggedText(m_reader, stream));
  std::fclose(stream);
  EXPECT_EQ(fs::file_size(out), 0u);
}

}  // namespace
}  // namespace lv
