#include "dictionaries/dictionary_files.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "tome/collation.h"

namespace lv::dict {

std::string WithoutEnding(const std::string& path, std::string_view ending) {
  if (path.size() < ending.size()) return path;
  const std::string_view tail = std::string_view(path).substr(path.size() - ending.size());
  if (tail.size() != ending.size() || Collate(tail, ending) != 0) return path;
  return path.substr(0, path.size() - ending.size());
}

std::string FirstExisting(const std::string& base, std::initializer_list<std::string_view> endings) {
  for (std::string_view ending : endings) {
    std::error_code error;
    const std::string candidate = base + std::string(ending);
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return {};
}

Status MissingFile(const std::string& source, std::string_view what, const std::string& base,
                   std::initializer_list<std::string_view> endings) {
  std::string names;
  size_t i = 0;
  for (std::string_view ending : endings) {
    if (i++ > 0) names += i == endings.size() ? " nor " : ", ";
    names += "'" + base + std::string(ending) + "'";
  }
  return Status::NotFound("cannot find the " + std::string(what) + " of '" + source +
                          "': " + (endings.size() > 1 ? "neither " : "") + names +
                          (endings.size() > 1 ? " exists" : " does not exist"));
}

bool ReadIndexLine(SourceReader& in, std::string& line, bool& tooLong) {
  line.clear();
  tooLong = false;
  if (in.Fill(1) == 0) return false;
  while (in.Fill(1) > 0) {
    const uint8_t* p = in.Cursor();
    const size_t n = in.Available();
    const auto* end = static_cast<const uint8_t*>(std::memchr(p, '\n', n));
    const size_t take = end ? size_t(end - p) : n;
    const size_t room = kMaxHeadwordBytes - std::min(kMaxHeadwordBytes, line.size());
    if (take > room) tooLong = true;
    line.append(reinterpret_cast<const char*>(p), std::min(take, room));
    in.Advance(end ? take + 1 : take);
    if (end) break;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool ReadZeroEnded(SourceReader& in, std::string& text, bool& tooLong) {
  text.clear();
  tooLong = false;
  while (in.Fill(1) > 0) {
    const uint8_t* p = in.Cursor();
    const size_t n = in.Available();
    const auto* end = static_cast<const uint8_t*>(std::memchr(p, 0, n));
    const size_t take = end ? size_t(end - p) : n;
    const size_t room = kMaxHeadwordBytes - std::min(kMaxHeadwordBytes, text.size());
    if (take > room) tooLong = true;
    text.append(reinterpret_cast<const char*>(p), std::min(take, room));
    in.Advance(end ? take + 1 : take);
    if (end) return true;
  }
  return false;
}

bool ReadExactly(SourceReader& in, uint8_t* into, size_t n) {
  while (n > 0) {
    const size_t available = in.Fill(std::min(n, SourceReader::kMinCapacity));
    if (available == 0) return false;
    const size_t take = std::min(available, n);
    std::memcpy(into, in.Cursor(), take);
    in.Advance(take);
    into += take;
    n -= take;
  }
  return true;
}

}  // namespace lv::dict
