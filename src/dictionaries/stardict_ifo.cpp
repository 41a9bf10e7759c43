#include "dictionaries/stardict_ifo.h"

#include <charconv>

namespace lv::dict {
namespace {

constexpr std::string_view kMagic = "StarDict's dict ifo file";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool ParseCount(std::string_view text, int64_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

}  // namespace

Status ParseStarDictInfo(std::string_view text, const std::string& path, StarDictInfo& info) {
  info = StarDictInfo();
  auto damaged = [&](const std::string& cause) { return Status::Corruption("'" + path + "' is damaged: " + cause); };
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  const size_t firstEnd = text.find('\n');
  if (Trimmed(text.substr(0, firstEnd)) != kMagic)
    return damaged("it does not start with \"" + std::string(kMagic) + "\"");
  text.remove_prefix(firstEnd == std::string_view::npos ? text.size() : firstEnd + 1);
  bool haveWordCount = false;
  bool haveIndexSize = false;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = Trimmed(line.substr(0, equals));
    const std::string_view value = Trimmed(line.substr(equals + 1));
    if (key == "version") {
      info.version = value;
    } else if (key == "bookname") {
      info.bookName = value;
    } else if (key == "wordcount") {
      if (!ParseCount(value, info.wordCount)) return damaged("its wordcount is not a number");
      haveWordCount = true;
    } else if (key == "synwordcount") {
      if (!ParseCount(value, info.synonymWordCount)) return damaged("its synwordcount is not a number");
    } else if (key == "idxfilesize") {
      if (!ParseCount(value, info.indexFileSize)) return damaged("its idxfilesize is not a number");
      haveIndexSize = true;
    } else if (key == "idxoffsetbits") {
      if (value == "64") {
        info.offsetBits = 64;
      } else if (value != "32") {
        return Status::NotSupported("'" + path + "' has offsets of " + std::string(value) +
                                    " bits (32 or 64 are read)");
      }
    } else if (key == "sametypesequence") {
      info.sameTypeSequence = value;
    }
  }
  if (info.version != "2.4.2" && info.version != "3.0.0") {
    return Status::NotSupported("'" + path + "' is of StarDict version \"" + info.version +
                                "\" (2.4.2 and 3.0.0 are read)");
  }
  if (!haveWordCount) return damaged("it has no wordcount");
  if (!haveIndexSize) return damaged("it has no idxfilesize");
  return Status::Ok();
}

}  // namespace lv::dict
