// Turns a dictionary in the dictd format (an index of "headword TAB offset TAB length" with base-64
// numbers, and the gzip-compressed data) into a tab-separated source for the tome builder: one
// "subject TAB text" line per entry, the entry's first line as its subject and its other lines joined
// with <br> between senses. Usage: dictd_to_tab INDEX DATA.dz OUT.tab
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

namespace {

// The dictd base-64 number: digits A-Z a-z 0-9 + /, most significant first.
bool DecodeNumber(std::string_view digits, size_t& value) {
  static constexpr std::string_view kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  value = 0;
  for (const char c : digits) {
    const size_t digit = kDigits.find(c);
    if (digit == std::string_view::npos) return false;
    value = value * 64 + digit;
  }
  return !digits.empty();
}

bool ReadGzip(const char* path, std::string& data) {
  gzFile in = gzopen(path, "rb");
  if (in == nullptr) return false;
  char buffer[1 << 16];
  int got = 0;
  while ((got = gzread(in, buffer, sizeof buffer)) > 0) data.append(buffer, size_t(got));
  return gzclose(in) == Z_OK && got == 0;
}

// A line that starts a new sense ("2: ...", "adj 1: ...") rather than continuing a wrapped one.
bool StartsSense(std::string_view text) {
  for (const std::string_view part : {"n ", "v ", "adj ", "adv "}) {
    if (text.substr(0, part.size()) == part) text.remove_prefix(part.size());
  }
  size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  return digits > 0 && digits < text.size() && text[digits] == ':';
}

// One entry as a source line: the first line is the subject, the rest (trimmed) the text, a new sense
// on a new line.
std::string SourceLine(std::string_view entry) {
  const size_t firstEnd = entry.find('\n');
  std::string line(entry.substr(0, firstEnd));
  line += '\t';
  bool firstText = true;
  for (size_t at = firstEnd; at != std::string_view::npos && at < entry.size();) {
    const size_t end = entry.find('\n', at + 1);
    std::string_view text = entry.substr(at + 1, end == std::string_view::npos ? std::string_view::npos : end - at - 1);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    if (!text.empty()) {
      if (!firstText) line += StartsSense(text) ? "<br>" : " ";
      for (const char c : text) line += c == '\t' ? ' ' : c;
      firstText = false;
    }
    at = end;
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: dictd_to_tab INDEX DATA.dz OUT.tab\n";
    return 1;
  }
  std::string data;
  std::ifstream index(argv[1]);
  if (!index || !ReadGzip(argv[2], data)) {
    std::cerr << "dictd_to_tab: cannot read " << argv[1] << " or " << argv[2] << "\n";
    return 2;
  }
  std::ofstream out(argv[3], std::ios::binary);
  std::string line;
  while (std::getline(index, line)) {
    const size_t tab1 = line.find('\t');
    const size_t tab2 = line.find('\t', tab1 + 1);
    size_t offset = 0;
    size_t length = 0;
    if (tab1 == std::string::npos || tab2 == std::string::npos || line.rfind("00-database", 0) == 0 ||
        line.rfind("00database", 0) == 0 ||
        !DecodeNumber(std::string_view(line).substr(tab1 + 1, tab2 - tab1 - 1), offset) ||
        !DecodeNumber(std::string_view(line).substr(tab2 + 1), length) || offset + length > data.size()) {
      continue;
    }
    std::string_view entry = std::string_view(data).substr(offset, length);
    while (!entry.empty() && entry.back() == '\n') entry.remove_suffix(1);
    if (entry.find('\n') == std::string_view::npos) continue;  // a subject with no text
    out << SourceLine(entry) << "\r\n";
  }
  return out ? 0 : 2;
}
