// The whole-tome search on small tomes built in the test: the term combinations, whole words, the link
// rule, the wrap-around pass, the marked stretch, and cancelling, progress and failures.
#include <gtest/gtest.h>

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

#include "search/tome_search.h"
#include "search_test_tome.h"
#include "tome/tome_bytes.h"

namespace lv {
namespace {

using search_test::BuildTome;
using search_test::Entries;

SearchQuery Query(std::string term1, SearchOperator operator1 = SearchOperator::kAnd, std::string term2 = "",
                  SearchOperator operator2 = SearchOperator::kAnd, std::string term3 = "") {
  SearchQuery query;
  query.terms[0] = std::move(term1);
  query.terms[1] = std::move(term2);
  query.terms[2] = std::move(term3);
  query.operator1 = operator1;
  query.operator2 = operator2;
  return query;
}

SearchQuery AnyPosition(SearchQuery query) {
  query.wholeWords = false;
  return query;
}

SearchQuery SubjectsOnly(SearchQuery query) {
  query.scope = SearchScope::kSubjectsOnly;
  return query;
}

constexpr SearchOperator kAnd = SearchOperator::kAnd;
constexpr SearchOperator kOr = SearchOperator::kOr;
constexpr SearchOperator kNot = SearchOperator::kNot;

// A link as stored: TAB 17, the visible text (and target), TAB 18.
std::string Link(const std::string& inside) { return "\t\x11" + inside + "\t\x12"; }

struct SearchCase {
  const char* name;
  Entries entries;
  SearchQuery query;
  int start;
  int index;  // -1: nothing matches
  int64_t offset = -1;
  int length = 0;
};

const SearchCase kCases[] = {
    {"AndNeedsBothTerms",
     {{"a", "cat only"}, {"b", "dog only"}, {"c", "dog and cat"}},
     Query("cat", kAnd, "dog"),
     0,
     2,
     8,
     3},
    {"AndTermsMayBeInSubjectAndEntry", {{"a", "dog"}, {"cat", "a dog"}}, Query("cat", kAnd, "dog"), 0, 1, -1, 0},
    {"NotExcludesSecondTerm", {{"a", "cat and dog"}, {"b", "a cat"}}, Query("cat", kNot, "dog"), 0, 1, 2, 3},
    {"NotWithSecondTermInSubject", {{"dog", "cat"}, {"b", "cat"}}, Query("cat", kNot, "dog"), 0, 1, 0, 3},
    {"OrWithEmptySecondTermIgnoresThird", {{"a", "dog"}, {"b", "cat"}}, Query("cat", kOr, "", kAnd, "dog"), 0, 1, 0, 3},
    {"OrMarksSecondTermWithItsLength", {{"a", "a horse"}}, Query("cat", kOr, "horse"), 0, 0, 2, 5},
    {"OrMarksThirdTermThroughSecondOr", {{"a", "an emu"}}, Query("cat", kOr, "dog", kOr, "emu"), 0, 0, 3, 3},
    {"AndMarksFirstTerm", {{"a", "horse and cat"}}, Query("cat", kAnd, "horse"), 0, 0, 10, 3},
    {"SecondAndThirdJoinedByAnd",
     {{"a", "cat dog"}, {"b", "cat emu"}, {"c", "emu dog cat"}},
     Query("cat", kAnd, "dog", kAnd, "emu"),
     0,
     2,
     8,
     3},
    {"SecondAndNotThird",
     {{"a", "cat dog emu"}, {"b", "cat emu"}, {"c", "cat dog"}},
     Query("cat", kAnd, "dog", kNot, "emu"),
     0,
     2,
     0,
     3},
    {"NotOfSecondOrThird",
     {{"a", "cat dog"}, {"b", "cat emu"}, {"c", "cat owl"}},
     Query("cat", kNot, "dog", kOr, "emu"),
     0,
     2,
     0,
     3},
    {"WholeWordsRejectPluralAndInnerWord",
     {{"a", "cats"}, {"b", "concat"}, {"c", "the cat."}},
     Query("cat"),
     0,
     2,
     4,
     3},
    {"WholeWordsInParentheses", {{"a", "cats"}, {"b", "(cat)"}}, Query("cat"), 0, 1, 1, 3},
    {"DigitEndsAWord", {{"a", "cats"}, {"b", "cat9"}}, Query("cat"), 0, 1, 0, 3},
    {"LaterWholeWordInSameText", {{"a", "cats and a cat"}}, Query("cat"), 0, 0, 11, 3},
    {"AnyPositionFindsInnerWords", {{"a", "concat"}}, AnyPosition(Query("cat")), 0, 0, 3, 3},
    {"CaseIgnored", {{"a", "The CaT sat"}}, Query("cAt"), 0, 0, 4, 3},
    {"AccentedCapitalsFold",
     {{"a",
       "une \xC9"
       "cole"},
      {"b",
       "une \xE9"
       "cole"}},
     Query("\xE9"
           "COLE"),
     1,
     1,
     4,
     5},
    {"AccentedLettersAreLetters", {{"a", "caf\xE9"}, {"b", "caf."}}, Query("caf"), 0, 1, 0, 3},
    {"HighLettersFold",
     {{"a",
       "\x9C"
       "uvre \xFF"}},
     Query("\x8C"
           "UVRE \x9F"),
     0,
     0,
     0,
     7},
    {"TermsAreTrimmed", {{"a", "a cat"}}, Query(" \tcat  "), 0, 0, 2, 3},
    {"HitInSubjectMarksNothing", {{"The Cat", "cat again"}}, Query("cat"), 0, 0, -1, 0},
    {"SubjectsOnlyIgnoresEntries", {{"a", "cat"}, {"cat", "x"}}, SubjectsOnly(Query("cat")), 0, 1, -1, 0},
    {"SubjectsOnlyNothing", {{"a", "cat"}}, SubjectsOnly(Query("cat")), 0, -1},
    {"LinkTextDoesNotCount", {{"a", "see " + Link("cat") + " here"}, {"b", "cat"}}, Query("cat"), 0, 1, 0, 3},
    {"LinkTargetDoesNotCount", {{"a", Link("cat>the animal")}, {"b", "cat"}}, Query("cat"), 0, 1, 0, 3},
    {"LinkAtTextStartDoesNotCount", {{"a", Link("cat")}}, Query("cat"), 0, -1},
    {"LinkWithInnerMarkDoesNotCount",
     {{"a", Link("\t\x01"
                 "cat\t\x02")}},
     Query("cat"),
     0,
     -1},
    {"HitAfterLinkCounts", {{"a", Link("cat") + " cat"}}, Query("cat"), 0, 0, 8, 3},
    {"HitAfterOtherMarkCounts",
     {{"a",
       "\t\x01"
       "cat\t\x02"}},
     Query("cat"),
     0,
     0,
     2,
     3},
    {"StartExaminedFirst", {{"a", "cat"}, {"b", "cat"}, {"c", "cat"}}, Query("cat"), 1, 1, 0, 3},
    {"StartAtLastWrapsToFirst", {{"a", "cat"}, {"b", "dog"}, {"c", "emu"}}, Query("cat"), 2, 0, 0, 3},
    {"WrapStopsBeforeStart", {{"a", "dog"}, {"b", "dog"}, {"c", "emu"}}, Query("cat"), 1, -1},
    {"StartOutOfRangeBeginsAtFirst", {{"a", "dog"}, {"b", "cat"}}, Query("cat"), 7, 1, 0, 3},
    {"EmptyTermNeedsNonLettersAround", {{"abc", "xyz"}, {"abc", "x, y"}}, Query(""), 0, 1, 2, 0},
    {"EmptyTermInNonLetterSubject", {{"abc", "x"}, {"1", "x"}}, Query(""), 0, 1, -1, 0},
    {"EmptyTermAnyPosition", {{"abc", "x"}}, AnyPosition(Query("")), 0, 0, -1, 0},
    {"HitAcrossStoredSplit", {{"a", std::string(147, 'x') + " cat"}}, Query("cat"), 0, 0, 148, 3},
    {"HitInLongText", {{"a", std::string(3000, 'x') + " cat"}}, Query("cat"), 0, 0, 3001, 3},
};

void PrintTo(const SearchCase& c, std::ostream* os) { *os << c.name; }

class SearchCaseTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchCaseTest, FindsExpectedSubject) {
  const SearchCase& c = GetParam();
  const test::TempDir dir;
  const SearchOutcome outcome = SearchTome(BuildTome(dir, c.entries), c.query, c.start, {});
  ASSERT_TRUE(outcome.status.IsOk()) << outcome.status.ToString();
  if (c.index < 0) {
    EXPECT_EQ(outcome.result, SearchResult::kNotFound);
    return;
  }
  ASSERT_EQ(outcome.result, SearchResult::kFound);
  EXPECT_EQ(outcome.hit.subjectIndex, c.index);
  EXPECT_EQ(outcome.hit.textOffset, c.offset);
  EXPECT_EQ(outcome.hit.markLength, c.length);
}

INSTANTIATE_TEST_SUITE_P(Table, SearchCaseTest, ::testing::ValuesIn(kCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(TomeSearchTest, MissingTomeFails) {
  const test::TempDir dir;
  const SearchOutcome outcome = SearchTome(dir.File("missing.lv"), Query("cat"), 0, {});
  EXPECT_EQ(outcome.result, SearchResult::kFailed);
  EXPECT_FALSE(outcome.status.IsOk());
}

TEST(TomeSearchTest, EmptyTomeFindsNothing) {
  const test::TempDir dir;
  EXPECT_EQ(SearchTome(BuildTome(dir, {}), Query(""), 0, {}).result, SearchResult::kNotFound);
}

TEST(TomeSearchTest, CancelledBeforeStartStops) {
  const test::TempDir dir;
  const std::atomic<bool> cancel{true};
  SearchControl control;
  control.cancel = &cancel;
  EXPECT_EQ(SearchTome(BuildTome(dir, {{"a", "cat"}}), Query("cat"), 0, control).result, SearchResult::kCancelled);
}

TEST(TomeSearchTest, SearchesVersion1TomesWithoutChangingThem) {
  const test::TempDir dir;
  const std::string path = dir.File("old.lv");
  const std::string bytes =
      test::AssembleVersion1Tome({{"Cat", "A small animal"}, {"Dog", "Chases the cat"}, {"Emu", "No pets"}}, 2);
  test::WriteFileBytes(path, bytes);
  const SearchOutcome outcome = SearchTome(path, Query("cat"), 1, {});
  ASSERT_EQ(outcome.result, SearchResult::kFound) << outcome.status.ToString();
  EXPECT_EQ(outcome.hit.subjectIndex, 1);
  EXPECT_EQ(outcome.hit.textOffset, 11);
  EXPECT_EQ(test::ReadFile(path), bytes);
}

TEST(TomeSearchTest, VisitsEveryMatchOnceInPassOrder) {
  const test::TempDir dir;
  const std::string tome = BuildTome(dir, {{"a", "cat"}, {"b", "dog"}, {"cat", "x"}, {"d", "a cat"}});
  std::vector<int> seen;
  const SearchOutcome outcome = SearchTomeAll(tome, Query("cat"), 2, {}, [&](const SearchHit& hit) {
    seen.push_back(hit.subjectIndex);
    return true;
  });
  EXPECT_EQ(outcome.result, SearchResult::kFound);
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 0}));
}

}  // namespace
}  // namespace lv
