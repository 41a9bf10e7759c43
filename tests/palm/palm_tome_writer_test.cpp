#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "palm/palm_tome_writer.h"
#include "palm_tome_model.h"
#include "pdb_test_file.h"
#include "tome/file_util.h"
#include "tome/tome_builder.h"
#include "tome/tome_bytes.h"

namespace lv {
namespace {

using palmtest::Be16;
using palmtest::Bytes;

struct Entry {
  std::string subject;
  std::string text;  // stored entry text
};

std::string M(int code) { return std::string("\t") + char(code); }

struct CountingProgress : Progress {
  int64_t high = -1;
  int steps = 0;
  void SetRange(int64_t, int64_t h) override { high = h; }
  void SetPosition(int64_t) override {}
  void SetStep(int64_t) override {}
  void Step() override { ++steps; }
};

struct CollectedMessages : MessageSink {
  std::vector<std::string> texts;
  void ShowMessage(std::string_view text, MessageIcon) override { texts.emplace_back(text); }
};

class PalmTomeWriterTest : public ::testing::Test {
 protected:
  std::string BuildTome(const std::vector<Entry>& entries, const std::string& name = "t.lv") {
    TomeBuilder builder;
    EXPECT_TRUE(builder.BuildStatus().IsOk());
    for (const Entry& e : entries) builder.AddEntry(e.subject, e.text);
    const std::string path = dir.File(name);
    File out = OpenFile(path, "wb");
    EXPECT_TRUE(builder.SaveTome(out.get()).IsOk());
    out.reset();
    return path;
  }

  // Writes the tome in the given format (bitmapBits for 2.8) and returns the result.
  ExportResult Export(const std::string& tome, PalmTomeFormat format, int bitmapBits = 0,
                      const std::string& out = "out.pdb") {
    PalmTomeWriter writer;
    writer.SetClock([] { return 1234567890; });
    writer.SetMessageSink(&messages);
    writer.SetPackingLimits(limits);
    EXPECT_TRUE(writer.OpenSource(tome).status.IsOk());
    const ExportOutcome outcome = format == PalmTomeFormat::kV25
                                      ? writer.WriteFormat25(dir.File(out), "Test Tome", &progress)
                                      : writer.WriteFormat28(dir.File(out), "Test Tome", &progress, bitmapBits);
    EXPECT_EQ(outcome.status.IsOk(), outcome.result == ExportResult::kOk);
    return outcome.result;
  }

  palmtest::PalmTomeModel Read(const std::string& out = "out.pdb") {
    return palmtest::ParsePalmTome(palmtest::ReadAll(dir.File(out)));
  }

  // Every subject's header entry points at its record in the stream: subject, NUL, text, NUL.
  static void ExpectSubjectsInStream(const palmtest::PalmTomeModel& m, const std::vector<Entry>& entries,
                                     const std::vector<std::string>& prepared) {
    ASSERT_EQ(m.subjectCount, entries.size());
    std::string expectedStream;
    for (size_t i = 0; i < entries.size(); ++i) {
      const std::string record = entries[i].subject + '\0' + prepared[i] + '\0';
      EXPECT_EQ(m.SubjectPosition(static_cast<uint32_t>(i)), expectedStream.size()) << "subject " << i;
      expectedStream += record;
    }
    EXPECT_EQ(m.stream, expectedStream);
    const Bytes letters = palmtest::PalmTomeModel::Join(m.firstLetterRecords);
    ASSERT_EQ(letters.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(letters[i], entries[i].subject.empty() ? 0 : uint8_t(entries[i].subject[0]));
    }
  }

  palmtest::TempDir dir;
  CountingProgress progress;
  CollectedMessages messages;
  PackingLimits limits;
};

TEST_F(PalmTomeWriterTest, OneSubjectMakesFourRecordsInTheOldFormat) {
  const std::string tome = BuildTome({{"Solo", "only" + M(1) + "entry" + M(2)}});
  ASSERT_EQ(Export(tome, PalmTomeFormat::kV25), ExportResult::kOk);
  const palmtest::PalmTomeModel m = Read();
  EXPECT_EQ(m.pdb.records.size(), 4u);
  EXPECT_EQ(m.pdb.name, "Test Tome");
  EXPECT_EQ(m.pdb.creationDate, 1234567890u + 2082844800u);
  EXPECT_EQ(m.version, 7);
  EXPECT_EQ(m.blockSize, 4095u);
  EXPECT_EQ(m.compression, 2u);
  EXPECT_EQ(m.sortedFlag, 1u);
  EXPECT_EQ(m.dataRecordCount, 1u);
  ExpectSubjectsInStream(m, {{"Solo", ""}}, {"only" + M(1) + "entry" + M(2)});
  // Range N/100 + 3; steps: the sort, subject 0, the first-letter table.
  EXPECT_EQ(progress.high, 3);
  EXPECT_EQ(progress.steps, 3);
  EXPECT_TRUE(messages.texts.empty());
}

// Entries with every kind of mark and links, long enough to fill several blocks of either format.
std::vector<Entry> MixedEntries(int count) {
  std::vector<Entry> entries;
  for (int i = 0; i < count; ++i) {
    std::string text = "Entry " + std::to_string(i) + M(8) + " line" + M(9) + " para " + M(17) + "subject " +
                       std::to_string((i * 7) % count) + ">see" + M(18) + M(17) + "Nowhere" + M(18) + M(11) + M(10) +
                       "item" + M(12);
    for (int k = 0; k < i % 40; ++k) text += " filler words " + std::to_string(k * i);
    entries.push_back({"Subject " + std::to_string(i), text});
  }
  return entries;
}

std::string PreparedMixed(int i, int count) {
  std::string text = "Entry " + std::to_string(i) + "\nline\n\npara " + M(17) + std::to_string((i * 7) % count) +
                     ">see" + M(18) + "Nowhere" + M(10) + "item";
  for (int k = 0; k < i % 40; ++k) text += " filler words " + std::to_string(k * i);
  return text;
}

TEST_F(PalmTomeWriterTest, BothFormatsHoldEverySubjectWhereItsReferencePoints) {
  const int count = 700;
  const std::vector<Entry> entries = MixedEntries(count);
  std::vector<std::string> prepared;
  for (int i = 0; i < count; ++i) prepared.push_back(PreparedMixed(i, count));
  const std::string tome = BuildTome(entries);
  for (PalmTomeFormat format : {PalmTomeFormat::kV25, PalmTomeFormat::kV28}) {
    SCOPED_TRACE(format == PalmTomeFormat::kV25 ? "2.5" : "2.8");
    ASSERT_EQ(Export(tome, format), ExportResult::kOk);
    const palmtest::PalmTomeModel m = Read();
    ExpectSubjectsInStream(m, entries, prepared);
    EXPECT_EQ(m.sortedFlag, 0u);  // "Subject 10" collates before "Subject 9"
    // Every block but the last holds a whole block of the stream.
    EXPECT_EQ(m.stream.size() / m.blockSize + 1, m.blockStart.size());
  }
}

TEST_F(PalmTomeWriterTest, SmallRecordsAreFilledByTheRuleAndEndWithBitFifteen) {
  // With a record ceiling of 3000 bytes the data spreads over many records; the model checks bit
  // 15 on the last block of each.
  limits.recordBytes = 3000;
  const int count = 400;
  const std::vector<Entry> entries = MixedEntries(count);
  std::vector<std::string> prepared;
  for (int i = 0; i < count; ++i) prepared.push_back(PreparedMixed(i, count));
  const std::string tome = BuildTome(entries);
  ASSERT_EQ(Export(tome, PalmTomeFormat::kV25), ExportResult::kOk);
  const palmtest::PalmTomeModel m = Read();
  EXPECT_GT(m.dataRecordCount, 10u);
  ExpectSubjectsInStream(m, entries, prepared);
  for (size_t d = 0; d + 1 < m.dataRecordCount; ++d) {
    const Bytes& record = m.pdb.records[m.firstDataRecord + d];
    const Bytes& following = m.pdb.records[m.firstDataRecord + d + 1];
    // The next record's first block did not fit: its length plus this record's bytes pass 3000.
    EXPECT_LE(record.size(), 3000u);
    EXPECT_GT(record.size() + (Be16(following, 0) & 0x7FFF), 3000u);
  }
  // Too few records allowed: result 16 and no output file.
  limits.maxRecords = 5;
  EXPECT_EQ(Export(tome, PalmTomeFormat::kV25, 0, "big.pdb"), ExportResult::kTooLarge);
  EXPECT_FALSE(std::filesystem::exists(dir.File("big.pdb")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);  // tome + out.pdb
}

TEST_F(PalmTomeWriterTest, DataHeaderRecordsHoldFifteenThousandThreeHundredFiftyNineEntries) {
  for (int n : {15359, 15360}) {
    std::vector<Entry> entries;
    for (int i = 0; i < n; ++i) entries.push_back({"s" + std::to_string(i), "t"});
    const std::string tome = BuildTome(entries, "n" + std::to_string(n) + ".lv");
    ASSERT_EQ(Export(tome, PalmTomeFormat::kV28), ExportResult::kOk);
    const palmtest::PalmTomeModel m = Read();
    ASSERT_EQ(m.dataHeaderRecords.size(), n == 15359 ? 1u : 2u);
    EXPECT_EQ(m.dataHeaderRecords[0].size(), 61436u);
    if (n == 15360) {
      EXPECT_EQ(m.dataHeaderRecords[1].size(), 4u);
    }
    EXPECT_EQ(m.pdb.records.size(), 2 + 31 + 1 + m.dataHeaderRecords.size() + m.dataRecordCount);
    // The last subject's record: subject, NUL, "t", NUL at the end of the stream.
    EXPECT_EQ(m.SubjectPosition(n - 1), m.stream.size() - (std::to_string(n - 1).size() + 4));
    EXPECT_EQ(progress.high, n / 100 + 3);
  }
}

TEST_F(PalmTomeWriterTest, SubjectCacheAndSearchWordsDecodeAsLaidOut) {
  std::vector<Entry> entries;
  for (int i = 0; i < 150; ++i) {
    entries.push_back({std::string(i % 3 ? "Alpha " : "Beta ") + std::to_string(i) + std::string(i % 50, 'x'),
                       i == 42 ? "Unique zebra" : "common"});
  }
  const std::string tome = BuildTome(entries);
  ASSERT_EQ(Export(tome, PalmTomeFormat::kV28, 200), ExportResult::kOk);
  const palmtest::PalmTomeModel m = Read();
  EXPECT_EQ(m.version, 8);
  EXPECT_EQ(m.blockSize, 16383u);
  EXPECT_EQ(m.compression, 3u);
  ASSERT_TRUE(m.accelerated);
  ASSERT_EQ(m.cacheGroups.size(), 1u);
  Bytes raw;
  ASSERT_TRUE(ZlibDecompress(m.cacheGroups[0].data() + 1004, Be16(m.cacheGroups[0], 1002), 15000, raw));
  for (size_t k = 0; k < entries.size(); ++k) {
    const std::string head(raw.begin() + Be16(m.cacheGroups[0], 2 * k),
                           raw.begin() + Be16(m.cacheGroups[0], 2 * k + 2));
    EXPECT_EQ(head, entries[k].subject.substr(0, 30));
  }
  // 150 subjects at Default: M = 152, one bit per subject.
  EXPECT_EQ(Be16(m.searchHeader, 2), 152u);
  // "zeb" is in the record of "z" and has exactly bit 42.
  const uint32_t zRecord = Be16(m.searchHeader, 6 + 2 * 26);
  ASSERT_LT(zRecord, m.wordRecords.size());
  const Bytes& record = m.wordRecords[zRecord];
  Bytes words;
  ASSERT_TRUE(ZlibDecompress(record.data() + 6, Be16(record, 2), 1 << 16, words));
  const size_t entry = 3 + 19;
  ASSERT_EQ(words.size(), entry * Be16(record, 0));
  bool found = false;
  for (size_t at = 0; at < words.size(); at += entry) {
    if (std::string(words.begin() + at, words.begin() + at + 3) != "zeb") continue;
    found = true;
    for (int bit = 0; bit < 152; ++bit) {
      EXPECT_EQ(bool(words[at + 3 + bit / 8] & (0x80 >> (bit % 8))), bit == 42) << bit;
    }
  }
  EXPECT_TRUE(found);
  // Without acceleration there is no search header.
  ASSERT_EQ(Export(tome, PalmTomeFormat::kV28, 0), ExportResult::kOk);
  EXPECT_FALSE(Read().accelerated);
  EXPECT_EQ(Read().pdb.records.size(), 1 + 2 + 1 + 1 + Read().dataRecordCount);
}

TEST_F(PalmTomeWriterTest, AnEmptyTomeHasOnlyItsFixedRecords) {
  const std::string tome = BuildTome({});
  ASSERT_EQ(Export(tome, PalmTomeFormat::kV25), ExportResult::kOk);
  EXPECT_EQ(Read().pdb.records.size(), 1u);
  // 2.8 with acceleration: header, cache directory, one empty group, a search header without words.
  ASSERT_EQ(Export(tome, PalmTomeFormat::kV28, 800), ExportResult::kOk);
  const palmtest::PalmTomeModel m = Read();
  ASSERT_EQ(m.pdb.records.size(), 4u);
  EXPECT_EQ(Be16(m.cacheGroups[0], 0), 0u);
  EXPECT_EQ(Be16(m.searchHeader, 4), 0u);
  EXPECT_EQ(Be16(m.searchHeader, 6), 0xFFFFu);
}

TEST_F(PalmTomeWriterTest, MissingArgumentsAndUnwritableOutputs) {
  const std::string tome = BuildTome({{"a", "b"}});
  PalmTomeWriter writer;
  EXPECT_EQ(writer.WriteFormat25(dir.File("x.pdb"), "n", nullptr).result, ExportResult::kSourceUnreadable);
  ASSERT_TRUE(writer.OpenSource(tome).status.IsOk());
  EXPECT_EQ(writer.WriteFormat25("", "n", nullptr).result, ExportResult::kMissingArgument);
  EXPECT_EQ(writer.WriteFormat25(dir.File("x.pdb"), "", nullptr).result, ExportResult::kMissingArgument);
  const ExportOutcome cannotCreate = writer.WriteFormat25(dir.File("no/such/dir/x.pdb"), "n", nullptr);
  EXPECT_EQ(cannotCreate.result, ExportResult::kCannotCreate);
  EXPECT_EQ(cannotCreate.status.Code(), StatusCode::kIoError);
  EXPECT_EQ(cannotCreate.status.Message(),
            "cannot write '" + dir.File("no/such/dir/x.pdb") + "': No such file or directory");
  // A name longer than the name field is shortened with its NUL.
  ASSERT_EQ(writer.WriteFormat28(dir.File("x.pdb"), std::string(40, 'N'), nullptr, 80).result, ExportResult::kOk);
  EXPECT_EQ(palmtest::ParsePdb(palmtest::ReadAll(dir.File("x.pdb"))).name, std::string(31, 'N'));
}

TEST_F(PalmTomeWriterTest, SourceChecksGiveTheirCodes) {
  const std::string tome = BuildTome({{"a", "b"}});
  const Bytes good = palmtest::ReadAll(tome);
  auto opened = [&](const Bytes& bytes) {
    palmtest::WriteAll(dir.File("bad.lv"), bytes);
    PalmExportSource source;
    const SourceOpenOutcome outcome = source.Open(dir.File("bad.lv"));
    EXPECT_EQ(outcome.status.IsOk(), outcome.error == SourceError::kNone);
    return outcome.error;
  };
  EXPECT_EQ(opened(good), SourceError::kNone);
  Bytes otherIdentity = good;
  otherIdentity[8] = 0x97;
  otherIdentity[9] = 0x42;  // 0x10004297 is accepted too
  EXPECT_EQ(opened(otherIdentity), SourceError::kNone);
  Bytes badIdentity = good;
  badIdentity[8] ^= 0xFF;
  EXPECT_EQ(opened(badIdentity), SourceError::kBadIdentity);
  Bytes newer = good;
  newer[16] = 0xD2;  // version 2002
  EXPECT_EQ(opened(newer), SourceError::kUnsupported);
  Bytes unskippable = good;
  unskippable[36 + 4] = 0;  // the bookmark chunk's skippable flag
  EXPECT_EQ(opened(unskippable), SourceError::kUnsupported);
  EXPECT_EQ(opened(Bytes(good.begin(), good.begin() + 20)), SourceError::kShortRead);
  EXPECT_EQ(opened(Bytes(good.begin(), good.begin() + 4800)), SourceError::kShortRead);
  PalmExportSource source;
  EXPECT_EQ(source.Open(dir.File("missing.lv")).error, SourceError::kMissing);
}

TEST_F(PalmTomeWriterTest, OverlongEntryTextIsCutWithTheMark) {
  const std::string tome = BuildTome({{"long", std::string(kSourceTextLimit + 5, 'x')}, {"short", "y"}});
  PalmExportSource source;
  ASSERT_TRUE(source.Open(tome).status.IsOk());
  std::string text;
  ASSERT_TRUE(source.ReadEntryText(0, text));
  EXPECT_EQ(text, std::string(kSourceTextCut, 'x') + " <TOO LONG>");
  ASSERT_TRUE(source.ReadEntryText(1, text));
  EXPECT_EQ(text, "y");
  // The mark reaches the handheld.
  ASSERT_EQ(Export(tome, PalmTomeFormat::kV28), ExportResult::kOk);
  const std::string stream = Read().stream;
  EXPECT_EQ(stream.substr(0, 5), std::string("long\0", 5));
  EXPECT_EQ(stream.substr(stream.size() - 20), std::string(" <TOO LONG>\0short\0y\0", 20));
}

TEST_F(PalmTomeWriterTest, VersionOneTomesReadWithNewlinesAndTheirCodingChecked) {
  const std::vector<test::TestEntry> entries = {{"first", "one" + M(8) + "two@three"}, {"second", "plain"}};
  auto written = [&](int32_t versionWord) {
    std::string bytes = test::AssembleVersion1Tome(entries, versionWord);
    bytes.replace(8, 4, std::string("\xD2\x16\x00\x10", 4));  // the third identity word of a tome
    palmtest::WriteAll(dir.File("v1.lv"), Bytes(bytes.begin(), bytes.end()));
    return dir.File("v1.lv");
  };
  for (int32_t word : {1502, 1503}) {
    PalmExportSource source;
    ASSERT_TRUE(source.Open(written(word)).status.IsOk()) << word;
    EXPECT_EQ(source.SortedFlag(), 0);
    std::string text;
    ASSERT_TRUE(source.ReadEntryText(0, text));
    EXPECT_EQ(text, "one\ntwo\nthree");
  }
  // Base version 0 is no coding the export knows.
  PalmExportSource source;
  EXPECT_EQ(source.Open(written(1500)).error, SourceError::kUnsupported);
  // The export decodes packed text with its own nibble rule: a character that would start on the low
  // nibble of the last byte is not decoded (0x25 0x11: "o", "n", "e", and the last "e" is left).
  std::string bytes = test::AssembleVersion1Tome({{"third", ""}}, 1502);
  const size_t textRecord = bytes.size() - 88 - kBookmarkTableSize - 6;  // length 2, 0xC0 0x00
  bytes.replace(textRecord, 6, std::string("\x02\x00\x00\x00\x25\x11", 6));
  bytes.replace(8, 4, std::string("\xD2\x16\x00\x10", 4));
  palmtest::WriteAll(dir.File("odd.lv"), Bytes(bytes.begin(), bytes.end()));
  ASSERT_TRUE(source.Open(dir.File("odd.lv")).status.IsOk());
  std::string text;
  ASSERT_TRUE(source.ReadEntryText(0, text));
  EXPECT_EQ(text, "one");
  // A text record whose length is negative is damaged: the entry cannot be read, so the export fails
  // instead of sending an empty entry.
  bytes.replace(textRecord, 4, std::string("\xFF\xFF\xFF\xFF", 4));
  palmtest::WriteAll(dir.File("odd.lv"), Bytes(bytes.begin(), bytes.end()));
  ASSERT_TRUE(source.Open(dir.File("odd.lv")).status.IsOk());
  EXPECT_FALSE(source.ReadEntryText(0, text));
  // A version-1 tome exports like any other.
  ASSERT_EQ(Export(written(1502), PalmTomeFormat::kV25), ExportResult::kOk);
  ExpectSubjectsInStream(Read(), {{"first", ""}, {"second", ""}}, {"one\ntwo\nthree", "plain"});
}

}  // namespace
}  // namespace lv
