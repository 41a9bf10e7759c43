// A tome large enough for the pass to run in two halves on two threads: the earliest hit in pass order
// wins whichever half finds its hit first, the wrap, progress, and cancelling while the halves run.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "search/tome_search.h"
#include "search_test_tome.h"

namespace lv {
namespace {

constexpr int kSubjects = 40000;

class RecordingProgress : public Progress {
 public:
  void SetRange(int64_t low, int64_t high) override { range = {low, high}; }
  void SetPosition(int64_t position) override {
    positions.push_back(position);
    if (cancelAt >= 0 && position >= cancelAt && cancel) cancel->store(true);
  }
  void SetStep(int64_t) override {}
  void Step() override {}

  std::pair<int64_t, int64_t> range{-1, -1};
  std::vector<int64_t> positions;
  int64_t cancelAt = -1;
  std::atomic<bool>* cancel = nullptr;
};

class TomeSearchHalvesTest : public ::testing::Test {
 protected:
  // Subjects s00000 ... with filler texts; "needle" in the texts of the subjects listed here, "pin" in
  // the last subject of the first half and the first of the second.
  static void SetUpTestSuite() {
    s_dir = std::make_unique<test::TempDir>();
    search_test::Entries entries;
    for (int i = 0; i < kSubjects; ++i) {
      char subject[16];
      std::snprintf(subject, sizeof subject, "s%05d", i);
      std::string text = "some filler words about entry number " + std::to_string(i);
      if (i == 100 || i == 25000 || i == 39990) text += " and a needle";
      if (i == kSubjects / 2 - 1 || i == kSubjects / 2) text += " and a pin";
      entries.emplace_back(subject, text);
    }
    s_tome = search_test::BuildTome(*s_dir, entries);
  }
  static void TearDownTestSuite() { s_dir.reset(); }

  static SearchQuery Query(const std::string& term) {
    SearchQuery query;
    query.terms[0] = term;
    return query;
  }

  static std::unique_ptr<test::TempDir> s_dir;
  static std::string s_tome;
};

std::unique_ptr<test::TempDir> TomeSearchHalvesTest::s_dir;
std::string TomeSearchHalvesTest::s_tome;

TEST_F(TomeSearchHalvesTest, EarliestHitInPassOrderWins) {
  struct Case {
    std::string term;
    int start;
    int index;
  };
  const Case cases[] = {
      {"needle", 0, 100},     {"needle", 101, 25000},        {"needle", 25001, 39990},
      {"needle", 39991, 100}, {"pin", 0, kSubjects / 2 - 1}, {"pin", kSubjects / 2, kSubjects / 2},
      {"s12345", 3, 12345},   {"s00002", 39999, 2},
  };
  for (const Case& c : cases) {
    const SearchOutcome outcome = SearchTome(s_tome, Query(c.term), c.start, {});
    ASSERT_EQ(outcome.result, SearchResult::kFound) << c.term << " from " << c.start;
    EXPECT_EQ(outcome.hit.subjectIndex, c.index) << c.term << " from " << c.start;
  }
}

TEST_F(TomeSearchHalvesTest, NoHitReportsProgressToTheEnd) {
  RecordingProgress progress;
  SearchControl control;
  control.progress = &progress;
  EXPECT_EQ(SearchTome(s_tome, Query("absent"), 17, control).result, SearchResult::kNotFound);
  EXPECT_EQ(progress.range, std::make_pair(int64_t{0}, int64_t{kSubjects}));
  ASSERT_FALSE(progress.positions.empty());
  EXPECT_EQ(progress.positions.back(), kSubjects);
  for (size_t i = 1; i < progress.positions.size(); ++i) EXPECT_LE(progress.positions[i - 1], progress.positions[i]);
}

TEST_F(TomeSearchHalvesTest, CancelDuringThePassStopsIt) {
  std::atomic<bool> cancel{false};
  RecordingProgress progress;
  progress.cancel = &cancel;
  progress.cancelAt = 1;
  SearchControl control;
  control.cancel = &cancel;
  control.progress = &progress;
  EXPECT_EQ(SearchTome(s_tome, Query("absent"), 0, control).result, SearchResult::kCancelled);
  EXPECT_EQ(SearchTomeAll(s_tome, Query("absent"), 0, control, [](const SearchHit&) { return true; }).result,
            SearchResult::kCancelled);
}

}  // namespace
}  // namespace lv
