#include "tome/collation.h"

#include <gtest/gtest.h>

namespace lv {
namespace {

TEST(Collation, FoldsAsciiLettersAndComparesUnsignedBytes) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"apple", "APPLE", 0}, {"Banana", "banana", 0},    {"a", "b", -1},
      {"B", "a", 1},         {"apple", "apple pie", -1}, {"", "a", -1},
      {"", "", 0},           {"z", "\xE9", -1},  // 0xE9 is above every ASCII byte
      {"a\tb", "a b", -1},                       // TAB collates before any printable character
      {"[", "a", -1},                            // '[' (0x5B) is below the folded 'a' (0x61)
  };
  for (const Case& c : cases) {
    const int result = Collate(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
  }
}

TEST(Collation, BeginsWithNeedsTheWholeText) {
  EXPECT_TRUE(CollateBeginsWith("Banana", "ban"));
  EXPECT_TRUE(CollateBeginsWith("banana", "BANANA"));
  EXPECT_FALSE(CollateBeginsWith("apple", "apple pie"));
  EXPECT_TRUE(CollateBeginsWith("anything", ""));
}

}  // namespace
}  // namespace lv
