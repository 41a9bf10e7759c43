// Deterministic synthetic sources for the tome benchmarks: sorted subjects and entry texts with a
// realistic mix of words, marks, links and long entries. The same seed always gives the same bytes.
#pragma once

#include <cstdint>
#include <string>

namespace lv::bench {

enum class SyntheticFormat { kTagged, kTab };

class SyntheticSource {
 public:
  explicit SyntheticSource(uint64_t seed = 1);

  // The subject of entry i of entryCount (at most 100^4): increasing with i under the tome collation,
  // spread over the alphabet.
  static std::string Subject(int64_t i, int64_t entryCount);

  // The source text of the next entry (tags as in a source file; tagged text may hold line ends).
  std::string NextEntryText(int64_t entryCount, SyntheticFormat format);

  // One whole source entry: "<new>Subject\r\ntext\r\n" or "Subject\ttext\r\n".
  void AppendEntry(std::string& out, int64_t index, int64_t entryCount, SyntheticFormat format);

  // About size bytes of stored-like entry text (marks as TAB + code), for compressor benchmarks.
  std::string StoredTextSample(size_t size);

 private:
  uint64_t Next();
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }
  const std::string& Word();
  void AppendSentence(std::string& out, int64_t entryCount, SyntheticFormat format);

  uint64_t m_state;
};

}  // namespace lv::bench
