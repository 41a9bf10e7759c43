#include <gtest/gtest.h>

#include <string>

#include "palm/handheld_export.h"
#include "pdb_test_file.h"
#include "test_files.h"
#include "tome/file_util.h"
#include "tome/tome_builder.h"
#include "tome/tome_reader.h"

namespace lv {
namespace {

class HandheldExportTest : public ::testing::Test {
 protected:
  HandheldExportRequest TextRequest(const std::string& text) {
    test::WriteFile(dir.File("notes.txt"), text);
    HandheldExportRequest request;
    request.sourcePath = dir.File("notes.txt");
    request.sourceIsText = true;
    request.workFolder = dir.Path().string();
    request.outputPath = dir.File("notes.pdb");
    request.palmName = "My Notes";
    return request;
  }
  test::TempDir dir;
};

TEST_F(HandheldExportTest, ATextFileBecomesOneEntryNamedForThePalmTome) {
  for (const PalmTomeFormat format : {PalmTomeFormat::kV25, PalmTomeFormat::kV28}) {
    HandheldExportRequest request = TextRequest("first line\r\nsecond line\nlast line, no end");
    request.format = format;
    request.bitmapBits = format == PalmTomeFormat::kV28 ? 200 : 0;
    const HandheldExportOutcome outcome = ExportForHandheld(request, nullptr, nullptr);
    ASSERT_TRUE(outcome.status.IsOk()) << outcome.status.Message();
    EXPECT_EQ(test::ReadFile(dir.File("tmp.txt")), "<new>\nMy Notes\nfirst line\rsecond line\rlast line, no end\r");
    TomeReader reader;
    ASSERT_TRUE(reader.Open(dir.File("tmp.lv"), OpenMode::kReadOnly).IsOk());
    ASSERT_EQ(reader.SubjectCount(), 1);
    EXPECT_EQ(reader.Subject(0), "My Notes");
    const palmtest::ParsedPdb pdb = palmtest::ParsePdb(palmtest::ReadAll(request.outputPath));
    EXPECT_EQ(pdb.name, "My Notes");
    EXPECT_EQ(palmtest::Be16(pdb.records.at(0), 0), format == PalmTomeFormat::kV25 ? 7u : 8u);
  }
}

TEST_F(HandheldExportTest, FailuresNameTheirCause) {
  HandheldExportRequest request = TextRequest("text");
  request.outputPath = dir.File("no/such/folder/notes.pdb");
  HandheldExportOutcome outcome = ExportForHandheld(request, nullptr, nullptr);
  EXPECT_EQ(outcome.result, ExportResult::kCannotCreate);
  EXPECT_FALSE(outcome.conversionFailed);
  EXPECT_FALSE(outcome.status.Message().empty());

  request = TextRequest("text");
  request.workFolder = dir.File("missing");
  outcome = ExportForHandheld(request, nullptr, nullptr);
  EXPECT_TRUE(outcome.conversionFailed);
  EXPECT_NE(outcome.status.Message().find("tmp.txt"), std::string::npos) << outcome.status.Message();

  request = TextRequest("text");
  request.sourceIsText = false;
  request.sourcePath = dir.File("missing.lv");
  outcome = ExportForHandheld(request, nullptr, nullptr);
  EXPECT_EQ(outcome.result, ExportResult::kSourceUnreadable);
  EXPECT_FALSE(outcome.status.IsOk());
}

}  // namespace
}  // namespace lv
