#include "synthetic_source.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace lv::bench {
namespace {

// 100 two-letter syllables in collating order: consonant then vowel.
std::array<std::string, 100> MakeSyllables() {
  const char consonants[] = "bcdfghjklmnprstvwxyz";
  const char vowels[] = "aeiou";
  std::array<std::string, 100> syllables;
  int k = 0;
  for (int c = 0; c < 20; ++c) {
    for (int v = 0; v < 5; ++v) syllables[k++] = std::string{consonants[c], vowels[v]};
  }
  return syllables;
}

const std::array<std::string, 100>& Syllables() {
  static const auto syllables = MakeSyllables();
  return syllables;
}

// A vocabulary of short common words and longer rare ones, most frequent first.
std::vector<std::string> MakeVocabulary() {
  std::vector<std::string> words = {"the", "of",   "and",  "a",     "to", "in", "is",  "that", "for",
                                    "it",  "as",   "was",  "with",  "be", "by", "on",  "not",  "are",
                                    "or",  "from", "this", "which", "at", "an", "but", "have", "one"};
  uint64_t x = 0x9E3779B97F4A7C15ull;
  const auto& syllables = Syllables();
  while (words.size() < 4000) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    const int count = 1 + static_cast<int>(x % 4);
    std::string word;
    for (int i = 0; i < count; ++i) word += syllables[(x >> (8 * i + 8)) % 100];
    if ((x >> 60) == 0) word += "ing";
    words.push_back(word);
  }
  return words;
}

const std::vector<std::string>& Vocabulary() {
  static const auto vocabulary = MakeVocabulary();
  return vocabulary;
}

}  // namespace

SyntheticSource::SyntheticSource(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}

uint64_t SyntheticSource::Next() {
  // splitmix64
  uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::string SyntheticSource::Subject(int64_t i, int64_t entryCount) {
  const auto& syllables = Syllables();
  constexpr int64_t kSpace = 100LL * 100 * 100 * 100;
  const int64_t value = i * (kSpace / std::max<int64_t>(1, std::min(entryCount, kSpace)));  // spread over the space
  std::string subject;
  int64_t divisor = 100 * 100 * 100;
  for (int k = 0; k < 4; ++k) {
    subject += syllables[(value / divisor) % 100];
    divisor /= 100;
  }
  if (i % 3 == 0) subject[0] = static_cast<char>(subject[0] - 'a' + 'A');  // the collation folds case
  if (i % 7 == 0) subject += " compound";
  return subject;
}

const std::string& SyntheticSource::Word() {
  // Roughly Zipf: squaring a uniform value favours the frequent words at the front.
  const double u = static_cast<double>(Next() >> 11) / 9007199254740992.0;
  const auto& words = Vocabulary();
  return words[static_cast<size_t>(u * u * u * static_cast<double>(words.size() - 1))];
}

void SyntheticSource::AppendSentence(std::string& out, int64_t entryCount, SyntheticFormat format) {
  const int words = 6 + Below(14);
  for (int w = 0; w < words; ++w) {
    if (w) out += ' ';
    const uint32_t roll = Below(100);
    if (roll < 3) {
      out += "<b>" + Word() + "</b>";
    } else if (roll < 6) {
      out += "<i>" + Word() + " " + Word() + "</i>";
    } else if (roll < 8) {
      out += "<a:" + Subject(Below(static_cast<uint32_t>(entryCount)), entryCount) + ">" + Word() + "</a>";
    } else {
      out += Word();
    }
  }
  out += Below(10) == 0 ? "; " : ". ";
  if (Below(12) == 0) out += format == SyntheticFormat::kTagged ? "\r\n" : "<br>";
}

std::string SyntheticSource::NextEntryText(int64_t entryCount, SyntheticFormat format) {
  // Mostly short entries, some medium, a few long ones spanning many blocks of the extension stream.
  const uint32_t kind = Below(100);
  const size_t target = kind < 72 ? 40 + Below(120) : kind < 97 ? 150 + Below(450) : 1000 + Below(2500);
  std::string text;
  if (Below(4) == 0) text += "<i>" + Word() + "</i> ";
  while (text.size() < target) AppendSentence(text, entryCount, format);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

void SyntheticSource::AppendEntry(std::string& out, int64_t index, int64_t entryCount, SyntheticFormat format) {
  const std::string text = NextEntryText(entryCount, format);
  if (format == SyntheticFormat::kTagged) {
    out += "<new>" + Subject(index, entryCount) + "\r\n" + text + "\r\n";
  } else {
    out += Subject(index, entryCount) + "\t" + text + "\r\n";
  }
}

std::string SyntheticSource::StoredTextSample(size_t size) {
  std::string sample;
  sample.reserve(size + 8000);
  while (sample.size() < size) {
    std::string text = NextEntryText(1000000, SyntheticFormat::kTab);
    // Tags become two-byte marks, roughly as the parser stores them.
    std::string stored;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '<') {
        const size_t close = text.find_first_of(">:", i);
        if (close != std::string::npos && close - i <= 4) {
          stored += '\t';
          stored += static_cast<char>(1 + (text[i + 1] % 24));
          i = close;
          continue;
        }
      }
      stored += text[i];
    }
    sample += "Subject";
    sample += '\0';
    sample += stored;
    sample += '\0';
  }
  sample.resize(size);
  return sample;
}

}  // namespace lv::bench
