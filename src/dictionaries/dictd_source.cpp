#include "dictionaries/dictd_source.h"

#include <cerrno>
#include <cstring>

#include "dictionaries/compressed_file.h"
#include "dictionaries/dict_data.h"
#include "dictionaries/dictd_text.h"
#include "dictionaries/dictionary_files.h"
#include "tome/source_reader.h"

namespace lv::dict {
namespace {

constexpr std::string_view kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr size_t kMostDigits = 10;  // 60 bits

struct IndexLine {
  std::string_view headword;
  uint64_t offset = 0;
  uint64_t length = 0;
};

// False when the line is not "headword TAB offset TAB length [TAB original headword]".
bool ParseIndexLine(std::string_view line, IndexLine& out) {
  const size_t first = line.find('\t');
  if (first == std::string_view::npos) return false;
  const size_t second = line.find('\t', first + 1);
  if (second == std::string_view::npos) return false;
  const size_t third = line.find('\t', second + 1);
  const std::string_view lengthDigits =
      line.substr(second + 1, third == std::string_view::npos ? line.npos : third - second - 1);
  out.headword = line.substr(0, first);
  if (third != std::string_view::npos) {
    const std::string_view original = line.substr(third + 1);
    if (!original.empty()) out.headword = original;
  }
  return DecodeDictdNumber(line.substr(first + 1, second - first - 1), out.offset) &&
         DecodeDictdNumber(lengthDigits, out.length);
}

bool IsMetaEntry(std::string_view headword) {
  return headword.starts_with("00-database-") || headword.starts_with("00database");
}

bool NamesDatabase(std::string_view headword) {
  return headword == "00-database-short" || headword == "00databaseshort";
}

// The dictionary's name from its "00-database-short" text: the text without a first line repeating
// the headword, on one line.
std::string TitleFrom(std::string_view text, std::string_view headword, EntrySink& sink) {
  std::string_view rest = text;
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\n')) rest.remove_prefix(1);
  if (rest.starts_with(headword)) rest.remove_prefix(headword.size());
  return sink.Subject(rest);
}

}  // namespace

bool DecodeDictdNumber(std::string_view digits, uint64_t& value) {
  if (digits.empty() || digits.size() > kMostDigits) return false;
  value = 0;
  for (char c : digits) {
    const size_t digit = kDigits.find(c);
    if (digit == std::string_view::npos) return false;
    value = value * 64 + digit;
  }
  return true;
}

Status ReadDictd(const std::string& indexPath, EntrySink& sink) {
  UncompressedFile index;
  if (Status opened = OpenUncompressed(indexPath, index); !opened.IsOk()) return opened;
  const std::string base = WithoutEnding(indexPath, ".index");
  const std::string dataPath = FirstExisting(base, {".dict.dz", ".dict"});
  if (dataPath.empty()) return MissingFile(indexPath, "definitions", base, {".dict.dz", ".dict"});
  DictData data;
  if (Status opened = data.Open(dataPath); !opened.IsOk()) return opened;

  const long long indexSize = StreamSize(index.stream.get());
  sink.SetRange(indexSize < 0 ? 1 : indexSize + 1);
  SourceReader in(index.stream.get());
  std::string line;
  std::string text;
  Status lastFailure;
  int64_t stored = 0;
  bool tooLong = false;
  while (sink.Healthy() && ReadIndexLine(in, line, tooLong)) {
    if (line.empty()) continue;
    IndexLine entry;
    if (tooLong || !ParseIndexLine(line, entry) || entry.length > kMaxEntryBytes) {
      ++sink.Counts().unreadableEntries;
      lastFailure = Status::Corruption("'" + indexPath + "' is damaged: a line is not \"headword, offset, length\"");
      continue;
    }
    const bool meta = IsMetaEntry(entry.headword);
    if (meta && !NamesDatabase(entry.headword)) {
      ++sink.Counts().metaEntries;
      continue;
    }
    if (Status read = data.Read(entry.offset, entry.length, text); !read.IsOk()) {
      ++sink.Counts().unreadableEntries;
      lastFailure = read;
      continue;
    }
    if (meta) {
      ++sink.Counts().metaEntries;
      sink.title = TitleFrom(text, entry.headword, sink);
      continue;
    }
    sink.Add(sink.Subject(entry.headword), ConvertDictdText(text, entry.headword, sink.Encoder()));
    ++stored;
    sink.SetPosition(in.Offset());
  }
  if (in.Failed()) return Status::IoError("cannot read '" + indexPath + "': " + std::strerror(in.ErrorNumber()));
  if (index.cutShort) sink.notes.push_back("'" + indexPath + "' is cut short.");
  if (data.CutShort()) sink.notes.push_back("'" + dataPath + "' is cut short.");
  if (stored == 0 && sink.Counts().unreadableEntries > 0) return lastFailure;
  return Status::Ok();
}

}  // namespace lv::dict
