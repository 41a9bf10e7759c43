// Small tomes for the search tests, built in a temporary directory from (subject, stored text) pairs.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "test_files.h"
#include "tome/file_util.h"
#include "tome/tome_builder.h"

namespace lv::search_test {

using Entries = std::vector<std::pair<std::string, std::string>>;

// Writes a tome of the entries (stored texts: marks as TAB and code) and returns its path.
inline std::string BuildTome(const test::TempDir& dir, const Entries& entries, const std::string& name = "t.lv") {
  const std::string path = dir.File(name);
  TomeBuilder builder;
  for (const auto& [subject, text] : entries) builder.AddEntry(subject, text);
  const File out = OpenFile(path, "wb");
  EXPECT_TRUE(builder.SaveTome(out.get()).IsOk());
  return path;
}

}  // namespace lv::search_test
