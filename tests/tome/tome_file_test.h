// The fixture of the tests that write tome bytes to files and open them: a temporary folder of the
// test's own.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "test_files.h"
#include "tome/tome_bytes.h"

namespace lv::test {

class TomeFileTest : public ::testing::Test {
 protected:
  // Writes bytes to the file name in the test's folder and returns its path.
  std::string Write(const std::string& bytes, std::string_view name = "t.lv") {
    const std::string path = m_dir.File(name);
    WriteFileBytes(path, bytes);
    return path;
  }
  TempDir m_dir;
};

}  // namespace lv::test
