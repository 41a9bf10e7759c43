// Shared by the dictionary harnesses: the input holds the files of one dictionary set one after the
// other, separated by kFileSeparator; they are written to a scratch folder, imported, and the tome is
// read back whole. Any crash, a failure without a message, or a tome that does not read back aborts.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "dictionaries/dictionary_import.h"
#include "tome/file_util.h"
#include "tome/tome_reader.h"

namespace lv::fuzz {

inline constexpr std::string_view kFileSeparator = "#--#";

inline std::vector<std::string_view> SplitFiles(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> files;
  for (;;) {
    const size_t at = rest.find(kFileSeparator);
    files.push_back(rest.substr(0, at));
    if (at == std::string_view::npos) break;
    rest.remove_prefix(at + kFileSeparator.size());
  }
  return files;
}

inline const std::string& ScratchFolder() {
  static const std::string folder = [] {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/lv-fuzz-dictionary-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  return folder;
}

inline void WriteScratch(const std::string& name, std::string_view bytes) {
  const File file = OpenFile(ScratchFolder() + "/" + name, "wb");
  if (!file) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) std::abort();
}

// Names a definitions file as the reader would find it: compressed ones as ".dict.dz".
inline std::string DictName(std::string_view base, std::string_view bytes) {
  const bool gzip = bytes.size() >= 2 && uint8_t(bytes[0]) == 0x1F && uint8_t(bytes[1]) == 0x8B;
  return std::string(base) + (gzip ? ".dict.dz" : ".dict");
}

inline void RemoveScratchFiles() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(ScratchFolder(), ignored)) {
    std::filesystem::remove(entry.path(), ignored);
  }
}

inline void ImportAndReadBack(const std::string& sourceName) {
  const std::string tome = ScratchFolder() + "/out.lv";
  const DictionaryImportOutcome outcome =
      ImportDictionary(ScratchFolder() + "/" + sourceName, tome, DictionaryKindFromPath(sourceName), nullptr);
  if (!outcome.import.status.IsOk()) {
    if (outcome.import.status.Message().empty()) std::abort();
    return;
  }
  TomeReader reader;
  if (!reader.Open(tome, OpenMode::kReadOnly).IsOk()) std::abort();
  if (reader.SubjectCount() != outcome.import.entryCount) std::abort();
  for (int i = 0; i < reader.SubjectCount(); ++i) {
    if (reader.Subject(i).empty()) std::abort();
    if (!reader.LoadEntryText(i)) std::abort();
    if (reader.CurrentEntryText().find('\0') != std::string_view::npos) std::abort();
  }
  (void)FormatDictionaryImportResults(outcome);
}

}  // namespace lv::fuzz
