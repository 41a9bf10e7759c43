// Shared by the parser harnesses: builds a tome from arbitrary source bytes and reads every entry back,
// aborting on anything the reader cannot read whole or on a count that does not agree.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tome/file_util.h"
#include "tome/format.h"
#include "tome/tome_builder.h"
#include "tome/tome_reader.h"

namespace lv::fuzz {

inline const std::string& ScratchPath() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/lv-fuzz-parser-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) std::abort();
    ::close(fd);
    return pattern;
  }();
  return path;
}

inline void BuildAndReadBack(const uint8_t* data, size_t size, bool tagged) {
  File source(::fmemopen(const_cast<uint8_t*>(data), size, "rb"));
  if (!source) return;  // fmemopen refuses empty buffers on some systems
  TomeBuilder builder;
  if (tagged) {
    builder.ImportTaggedText(source.get(), nullptr);
  } else {
    builder.ImportTabText(source.get(), nullptr, false);
  }
  source.reset();
  if (!builder.BuildStatus().IsOk()) std::abort();
  File out = OpenFile(ScratchPath(), "wb");
  if (!out || !builder.SaveTome(out.get()).IsOk()) std::abort();
  out.reset();

  TomeReader reader;
  if (!reader.Open(ScratchPath(), OpenMode::kReadOnly).IsOk()) std::abort();
  if (reader.SubjectCount() != builder.EntryCount()) std::abort();
  for (int i = 0; i < reader.SubjectCount(); ++i) {
    if (reader.Subject(i).size() > size_t(TomeBuilder::kMaxStoredSubjectLength)) std::abort();
    if (!reader.LoadEntryText(i)) std::abort();
    if (reader.CurrentEntryText().find('\0') != std::string_view::npos) std::abort();
  }
}

}  // namespace lv::fuzz
