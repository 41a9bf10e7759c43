// The Palm export benchmark's two tools:
//   palm_export_bench make-tome MB OUT.lv   a deterministic synthetic tome of about MB megabytes of
//                                           entry text (words of a Zipf-like vocabulary, marks, links)
//   palm_export_bench import SOURCE OUT.lv  builds a tome from a tagged source (the synthetic sources
//                                           of bench/tome)
//   palm_export_bench export TOME OUT.pdb 2.5|2.8 none|low|default|medium|high
//                                           one export; prints "result seconds bytes"
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "palm/palm_tome_writer.h"
#include "tome/file_util.h"
#include "tome/markup.h"
#include "tome/tome_builder.h"
#include "tome/tome_import.h"

namespace {

class Random {
 public:
  explicit Random(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint64_t Next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 7;
    m_state ^= m_state << 17;
    return m_state;
  }
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

 private:
  uint64_t m_state;
};

class Vocabulary {
 public:
  explicit Vocabulary(Random& random) : m_random(random) {
    static const char* const kSyllables[] = {"ka", "lo", "mi",  "ren", "tor", "sa",  "ve", "dun", "pri", "ol",
                                             "an", "es", "qui", "bra", "th",  "ing", "er", "ma",  "cu",  "lin"};
    for (int i = 0; i < 6000; ++i) {
      std::string word;
      const int parts = 1 + static_cast<int>(random.Below(4));
      for (int p = 0; p < parts; ++p) word += kSyllables[random.Below(20)];
      m_words.push_back(word);
    }
  }
  // Zipf-like: word rank r with weight 1 / (r + 1), with the common short words of prose between.
  const std::string& Word() {
    static const std::vector<std::string> kCommon = {
        "the", "of", "and", "a",   "to", "in",    "is",   "that", "for", "it",   "as",  "was", "with",
        "be",  "by", "on",  "not", "or", "which", "from", "at",   "an",  "this", "are", "also"};
    if (m_random.Below(5) < 2) return kCommon[m_random.Below(static_cast<uint32_t>(kCommon.size()))];
    const double u = m_random.Unit();
    const size_t rank = static_cast<size_t>(std::exp(u * std::log(double(m_words.size())))) - 1;
    return m_words[std::min(rank, m_words.size() - 1)];
  }

 private:
  Random& m_random;
  std::vector<std::string> m_words;
};

std::string Mark(uint8_t code) { return std::string(1, lv::kMarkByte) + char(code); }

std::string EntryText(Random& random, Vocabulary& words, const std::vector<std::string>& subjects, size_t index) {
  std::string text = Mark(lv::kBoldOn) + subjects[index] + Mark(lv::kBoldOff) + " ";
  const int sentences = 1 + static_cast<int>(random.Below(12));
  for (int s = 0; s < sentences; ++s) {
    const int length = 5 + static_cast<int>(random.Below(20));
    for (int w = 0; w < length; ++w) {
      if (w) text += ' ';
      if (random.Below(40) == 0) {
        text +=
            Mark(lv::kLinkStart) + subjects[random.Below(static_cast<uint32_t>(subjects.size()))] + Mark(lv::kLinkEnd);
      } else if (random.Below(30) == 0) {
        text += Mark(lv::kItalicOn) + words.Word() + Mark(lv::kItalicOff);
      } else {
        text += words.Word();
      }
    }
    text += '.';
    if (random.Below(4)) {
      text += ' ';
    } else {
      text += Mark(lv::kParagraph);
    }
  }
  return text;
}

int MakeTome(double megabytes, const char* path) {
  Random random(1);
  Vocabulary words(random);
  // About 420 bytes of text per entry on average.
  const size_t count = static_cast<size_t>(megabytes * 1e6 / 420) + 1;
  std::vector<std::string> subjects;
  subjects.reserve(count);
  for (size_t i = 0; i < count; ++i) subjects.push_back(words.Word() + " " + std::to_string(i));
  std::sort(subjects.begin(), subjects.end());
  lv::TomeBuilder builder;
  if (!builder.BuildStatus().IsOk()) return 2;
  for (size_t i = 0; i < count; ++i) builder.AddEntry(subjects[i], EntryText(random, words, subjects, i));
  lv::File out = lv::OpenFile(path, "wb");
  if (!out) return 2;
  const lv::Status saved = builder.SaveTome(out.get());
  return std::fclose(out.release()) == 0 && saved.IsOk() ? 0 : 3;
}

int Export(const char* tome, const char* out, const std::string& format, const std::string& accel) {
  lv::PalmTomeWriter writer;
  if (!writer.OpenSource(tome).status.IsOk()) return 2;
  const auto start = std::chrono::steady_clock::now();
  const lv::ExportOutcome exported =
      format == "2.5" ? writer.WriteFormat25(out, "Bench", nullptr)
                      : writer.WriteFormat28(out, "Bench", nullptr, lv::AccelerationBitmapBits(accel));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::error_code error;
  const auto size = std::filesystem::file_size(out, error);
  const long long bytes = error ? 0 : static_cast<long long>(size);
  std::printf("%d %.2f %lld\n", static_cast<int>(exported.result), seconds, exported.status.IsOk() ? bytes : 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && !std::strcmp(argv[1], "make-tome")) return MakeTome(std::atof(argv[2]), argv[3]);
  if (argc == 4 && !std::strcmp(argv[1], "import")) {
    const lv::ImportOutcome outcome = lv::ImportSource(argv[2], argv[3], lv::SourceFormat::kTagged, nullptr);
    if (!outcome.status.IsOk()) std::fprintf(stderr, "%s\n", outcome.status.Message().c_str());
    return outcome.status.IsOk() ? 0 : 3;
  }
  if (argc == 6 && !std::strcmp(argv[1], "export")) return Export(argv[2], argv[3], argv[4], argv[5]);
  std::fprintf(stderr, "usage: %s make-tome MB OUT.lv | import SOURCE OUT.lv | export TOME OUT.pdb 2.5|2.8 ACCEL\n",
               argv[0]);
  return 1;
}
