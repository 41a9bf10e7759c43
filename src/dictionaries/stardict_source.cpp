#include "dictionaries/stardict_source.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "dictionaries/compressed_file.h"
#include "dictionaries/dict_data.h"
#include "dictionaries/dictionary_files.h"
#include "dictionaries/stardict_entry.h"
#include "dictionaries/stardict_ifo.h"
#include "dictionaries/stored_text_writer.h"
#include "tome/coding.h"
#include "tome/collation.h"
#include "tome/source_reader.h"

namespace lv::dict {
namespace {

constexpr size_t kMaxInfoBytes = 1 << 20;

struct IndexEntry {
  std::string word;
  uint64_t offset = 0;
  uint64_t size = 0;
  bool tooLong = false;
};

struct SynonymEntry {
  std::string word;
  uint32_t mainIndex = 0;
  bool tooLong = false;
};

Status ReadInfoText(const std::string& path, std::string& text) {
  const File file = OpenFile(path, "rb");
  if (!file) {
    const std::string message = "cannot open '" + path + "': " + std::strerror(errno);
    return errno == ENOENT ? Status::NotFound(message) : Status::IoError(message);
  }
  text.resize(kMaxInfoBytes + 1);
  text.resize(std::fread(text.data(), 1, text.size(), file.get()));
  if (std::ferror(file.get())) return Status::IoError("cannot read '" + path + "': " + std::strerror(errno));
  if (text.size() > kMaxInfoBytes) return Status::Corruption("'" + path + "' is damaged: it is far too long");
  return Status::Ok();
}

// The next word of the index; false at its end (or where it is cut short).
bool ReadIndexEntry(SourceReader& in, int offsetBits, IndexEntry& entry) {
  if (!ReadZeroEnded(in, entry.word, entry.tooLong)) return false;
  uint8_t numbers[12];
  const size_t offsetBytes = offsetBits == 64 ? 8 : 4;
  if (!ReadExactly(in, numbers, offsetBytes + 4)) return false;
  entry.offset = offsetBytes == 8 ? uint64_t(DecodeBE32(numbers)) << 32 | DecodeBE32(numbers + 4) : DecodeBE32(numbers);
  entry.size = DecodeBE32(numbers + offsetBytes);
  return true;
}

bool ReadSynonymEntry(SourceReader& in, SynonymEntry& entry) {
  if (!ReadZeroEnded(in, entry.word, entry.tooLong)) return false;
  uint8_t number[4];
  if (!ReadExactly(in, number, 4)) return false;
  entry.mainIndex = DecodeBE32(number);
  return true;
}

// The headword of the index entry that starts at offset in the index file.
bool HeadwordAt(std::FILE* index, uint64_t offset, std::string& word) {
  word.resize(kMaxHeadwordBytes + 1);
  const ssize_t got = ::pread(fileno(index), word.data(), word.size(), off_t(offset));
  if (got <= 0) return false;
  word.resize(size_t(got));
  const size_t end = word.find('\0');
  if (end == std::string::npos) return false;
  word.resize(end);
  return true;
}

class StarDictReader {
 public:
  StarDictReader(const std::string& ifoPath, EntrySink& sink) : m_ifoPath(ifoPath), m_sink(sink) {}

  Status Run() {
    std::string infoText;
    if (Status read = ReadInfoText(m_ifoPath, infoText); !read.IsOk()) return read;
    if (Status parsed = ParseStarDictInfo(infoText, m_ifoPath, m_info); !parsed.IsOk()) return parsed;
    m_sink.title = m_sink.Subject(m_info.bookName);

    const std::string base = WithoutEnding(m_ifoPath, ".ifo");
    m_indexPath = FirstExisting(base, {".idx", ".idx.gz"});
    if (m_indexPath.empty()) return MissingFile(m_ifoPath, "index", base, {".idx", ".idx.gz"});
    const std::string dataPath = FirstExisting(base, {".dict.dz", ".dict"});
    if (dataPath.empty()) return MissingFile(m_ifoPath, "definitions", base, {".dict.dz", ".dict"});
    m_synonymPath = FirstExisting(base, {".syn", ".syn.gz"});

    if (Status opened = OpenUncompressed(m_indexPath, m_index); !opened.IsOk()) return opened;
    if (Status opened = m_data.Open(dataPath); !opened.IsOk()) return opened;
    if (!m_synonymPath.empty()) {
      if (Status opened = OpenUncompressed(m_synonymPath, m_synonyms); !opened.IsOk()) return opened;
    }
    CheckIndexSize();
    if (m_synonyms.stream && !ListIndexOffsets()) return IndexUnreadable();

    const long long synonymSize = m_synonyms.stream ? StreamSize(m_synonyms.stream.get()) : 0;
    m_sink.SetRange(StreamSize(m_index.stream.get()) + std::max(synonymSize, 0LL) + 1);
    const Status merged = MergeEntries();
    if (!merged.IsOk()) return merged;
    CheckCounts();
    if (m_stored == 0 && m_sink.Counts().unreadableEntries > 0) return m_lastFailure;
    return Status::Ok();
  }

 private:
  Status IndexUnreadable() const {
    return Status::IoError("cannot read '" + m_indexPath + "': " + std::strerror(errno != 0 ? errno : EIO));
  }

  void Note(const std::string& text) { m_sink.notes.push_back(text); }

  void CheckIndexSize() {
    const long long size = StreamSize(m_index.stream.get());
    if (m_index.cutShort) Note("'" + m_indexPath + "' is cut short.");
    if (size >= 0 && size != m_info.indexFileSize) {
      Note("'" + m_ifoPath + "' gives the index " + std::to_string(m_info.indexFileSize) + " bytes; it has " +
           std::to_string(size) + ".");
    }
  }

  // Where each word of the index starts, for the synonyms that name their main word by number.
  bool ListIndexOffsets() {
    SourceReader in(m_index.stream.get());
    IndexEntry entry;
    for (int64_t at = in.Offset(); ReadIndexEntry(in, m_info.offsetBits, entry); at = in.Offset()) {
      m_indexOffsets.push_back(uint64_t(at));
    }
    const bool ok = !in.Failed();
    in.Release();
    std::rewind(m_index.stream.get());
    return ok;
  }

  void AddMainEntry(const IndexEntry& entry) {
    ++m_mainEntries;
    if (entry.tooLong || entry.size > kMaxEntryBytes) {
      Unreadable(Status::Corruption("'" + m_indexPath + "' is damaged: an entry is too long"));
      return;
    }
    if (Status read = m_data.Read(entry.offset, entry.size, m_text); !read.IsOk()) {
      Unreadable(read);
      return;
    }
    const std::string subject = m_sink.Subject(entry.word);
    m_sink.Add(subject, ConvertStarDictEntry(m_text, m_info.sameTypeSequence, m_sink));
    ++m_stored;
  }

  void AddSynonym(const SynonymEntry& entry) {
    ++m_synonymEntries;
    std::string mainWord;
    if (entry.tooLong || entry.mainIndex >= m_indexOffsets.size() ||
        !HeadwordAt(m_index.stream.get(), m_indexOffsets[entry.mainIndex], mainWord)) {
      Unreadable(Status::Corruption("'" + m_synonymPath + "' is damaged: a synonym names no word of the index"));
      return;
    }
    StoredTextWriter writer(m_sink.Encoder());
    writer.Text("See ");
    writer.Link(mainWord);
    m_sink.Add(m_sink.Subject(entry.word), writer.Finish());
    ++m_sink.Counts().synonyms;
    ++m_stored;
  }

  void Unreadable(Status failure) {
    ++m_sink.Counts().unreadableEntries;
    m_lastFailure = std::move(failure);
  }

  // Both lists are sorted by headword; they are merged so that the tome keeps that order.
  Status MergeEntries() {
    SourceReader index(m_index.stream.get());
    std::unique_ptr<SourceReader> synonyms;
    if (m_synonyms.stream) synonyms = std::make_unique<SourceReader>(m_synonyms.stream.get());
    IndexEntry main;
    SynonymEntry synonym;
    bool haveMain = ReadIndexEntry(index, m_info.offsetBits, main);
    int64_t indexRead = haveMain ? index.Offset() : 0;  // the end of the last whole entry of the index
    bool haveSynonym = synonyms && ReadSynonymEntry(*synonyms, synonym);
    while ((haveMain || haveSynonym) && m_sink.Healthy()) {
      if (haveMain && (!haveSynonym || Collate(main.word, synonym.word) <= 0)) {
        AddMainEntry(main);
        haveMain = ReadIndexEntry(index, m_info.offsetBits, main);
        if (haveMain) indexRead = index.Offset();
      } else {
        AddSynonym(synonym);
        haveSynonym = ReadSynonymEntry(*synonyms, synonym);
      }
      m_sink.SetPosition(index.Offset() + (synonyms ? synonyms->Offset() : 0));
    }
    if (index.Failed()) return IndexUnreadable();
    if (synonyms && synonyms->Failed()) {
      return Status::IoError("cannot read '" + m_synonymPath + "': " + std::strerror(synonyms->ErrorNumber()));
    }
    if (m_sink.Healthy() && (index.Offset() > indexRead || index.Fill(1) > 0)) {
      Note("'" + m_indexPath + "' ends in the middle of an entry.");
    }
    return Status::Ok();
  }

  void CheckCounts() {
    if (m_mainEntries < m_info.wordCount) {
      m_sink.Counts().unreadableEntries += m_info.wordCount - m_mainEntries;
      m_lastFailure = Status::Corruption("'" + m_indexPath + "' is damaged: it holds " + std::to_string(m_mainEntries) +
                                         " of the " + std::to_string(m_info.wordCount) + " words the dictionary has");
    }
    if (m_mainEntries != m_info.wordCount) {
      Note("'" + m_ifoPath + "' gives " + std::to_string(m_info.wordCount) + " words; the index has " +
           std::to_string(m_mainEntries) + ".");
    }
    if (m_synonyms.stream && m_info.synonymWordCount >= 0 && m_synonymEntries != m_info.synonymWordCount) {
      Note("'" + m_ifoPath + "' gives " + std::to_string(m_info.synonymWordCount) + " synonyms; '" + m_synonymPath +
           "' has " + std::to_string(m_synonymEntries) + ".");
    }
  }

  const std::string m_ifoPath;
  EntrySink& m_sink;
  StarDictInfo m_info;
  std::string m_indexPath;
  std::string m_synonymPath;
  UncompressedFile m_index;
  UncompressedFile m_synonyms;
  DictData m_data;
  std::vector<uint64_t> m_indexOffsets;
  std::string m_text;
  int64_t m_mainEntries = 0;
  int64_t m_synonymEntries = 0;
  int64_t m_stored = 0;
  Status m_lastFailure;
};

}  // namespace

Status ReadStarDict(const std::string& ifoPath, EntrySink& sink) { return StarDictReader(ifoPath, sink).Run(); }

}  // namespace lv::dict
