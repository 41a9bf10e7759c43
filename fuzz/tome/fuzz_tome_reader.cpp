// Opens arbitrary bytes as a tome, read-only and then writable, and reads everything through the
// reader. The first byte chooses the bytes: as they come, or a well-formed tome of either layout
// (made from the input) with some of its bytes overwritten, so that damage reaches past the header.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../../tests/tome/tome_bytes.h"
#include "tome/tome_reader.h"

namespace {

std::string TempPath() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lv-fuzz-tome-XXXXXX").string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) std::abort();
  ::close(fd);
  return pattern;
}

std::string MakeTome(FuzzedDataProvider& input) {
  const int kind = input.ConsumeIntegralInRange(0, 2);
  if (kind == 0) return input.ConsumeRemainingBytesAsString();
  std::vector<lv::test::TestEntry> entries(input.ConsumeIntegralInRange(0, 12));
  for (auto& entry : entries) {
    entry.subject = input.ConsumeRandomLengthString(40);
    entry.text = input.ConsumeRandomLengthString(400);
    // The formats never hold 0x00 inside a subject or text.
    for (char& c : entry.subject) c = c ? c : 'z';
    for (char& c : entry.text) c = c ? c : '\t';
  }
  std::string bytes;
  if (kind == 1) {
    lv::test::TomeShape shape;
    shape.mainBlockSize = input.ConsumeIntegralInRange(1, 300);
    shape.extensionBlockSize = input.ConsumeIntegralInRange(1, 300);
    shape.sortedFlag = input.ConsumeIntegralInRange(0, 1);
    // A UTF-8 tome (its subjects and texts as they come, well-formed or not), or a text-encoding
    // chunk naming something else.
    const int encoding = input.ConsumeIntegralInRange(0, 2);
    if (encoding == 1) shape.chunksAfter = {lv::test::Chunk(lv::kChunkTypeTextEncoding, 0, {"UTF-8\0\0\0", 8})};
    if (encoding == 2) shape.chunksAfter = {lv::test::Chunk(lv::kChunkTypeTextEncoding, 0, "UTF-16")};
    bytes = lv::test::AssembleTome(entries, shape).bytes;
  } else {
    const int32_t words[] = {0, 1, 2, 3, 1002, 1501, 1503};
    bytes = lv::test::AssembleVersion1Tome(entries, input.PickValueInArray(words));
  }
  // A few bytes overwritten anywhere, or the file cut short.
  for (int n = input.ConsumeIntegralInRange(0, 4); n > 0 && !bytes.empty(); --n) {
    bytes[input.ConsumeIntegralInRange<size_t>(0, bytes.size() - 1)] = char(input.ConsumeIntegral<uint8_t>());
  }
  if (input.ConsumeBool() && !bytes.empty()) bytes.resize(input.ConsumeIntegralInRange<size_t>(0, bytes.size()));
  return bytes;
}

// Whatever the bytes, a subject is never longer than a record can be (a version-1 subject is cut at
// the end of the header, which the file holds), and an entry text never longer
// than its head plus what the file's compressed bytes can decode to (a two-byte match gives at most
// 17 bytes): a file must not make the reader take far more memory or time than it is worth.
void ReadEverything(lv::TomeReader& reader, size_t fileSize) {
  const int count = std::min(reader.SubjectCount(), 300);
  const size_t longestText = size_t(lv::kEntryHeadLength) + 9 * fileSize;
  std::string last;
  for (int i = 0; i < count; ++i) {
    last = reader.Subject(i);
    if (reader.IsCurrentLayout() && last.size() >= size_t(lv::kLongestReadableRecord)) std::abort();
    reader.Preview(i, true);
    reader.Preview(i, false);
    reader.ExtensionPosition(i);
    if (reader.LoadEntryText(i) && (reader.CurrentEntryText().size() != size_t(reader.CurrentEntryLength()) ||
                                    reader.CurrentEntryText().size() > longestText)) {
      std::abort();
    }
  }
  for (lv::SubjectMatch match : {lv::SubjectMatch::kExact, lv::SubjectMatch::kPrefix}) {
    reader.FindSubject(match, last);
    reader.FindSubject(match, last.substr(0, last.size() / 2));
    reader.FindSubject(match, "~");
    reader.FindSubject(match, "\xCE\xA8\xF0\x9F");  // a Greek capital, then a cut four-byte character
  }
  for (int r = 0; r <= 50; ++r) reader.Bookmark(r);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = TempPath();
  FuzzedDataProvider input(data, size);
  const std::string bytes = MakeTome(input);
  lv::test::WriteFileBytes(path, bytes);
  // A writable open of a version-1 tome appends the reserved tail and the bookmark table.
  const size_t grown = bytes.size() + lv::kV1ReservedTailSize + lv::kBookmarkTableSize;
  lv::TomeReader reader;
  if (reader.Open(path, lv::OpenMode::kReadOnly).IsOk()) ReadEverything(reader, bytes.size());
  if (reader.Open(path, lv::OpenMode::kReadWrite).IsOk()) {
    ReadEverything(reader, grown);
    reader.SetBookmark(1, 200, 0, 0, std::string(100, 'b'));
    reader.Close();
    if (reader.Open(path, lv::OpenMode::kReadWrite).IsOk()) ReadEverything(reader, grown);
  }
  return 0;
}
