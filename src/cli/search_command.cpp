// lvtool search: the desktop's whole-tome search from the command line, listing every matching subject.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/tome_access.h"
#include "search/tome_search.h"
#include "tome/tome_reader.h"

namespace lv::cli {
namespace {

constexpr OptionSpec kSearchOptions[] = {
    {"--subjects-only", "", false},
    {"--any-position", "", false},
    {"--from", "", true},
    {"--first", "", false},
};

bool ParseOperator(const std::string& text, SearchOperator& op) {
  if (text == "AND")
    op = SearchOperator::kAnd;
  else if (text == "OR")
    op = SearchOperator::kOr;
  else if (text == "NOT")
    op = SearchOperator::kNot;
  else
    return false;
  return true;
}

// The query from TERM1 [OP TERM2 [OP TERM3]] and the options; an error message when they do not fit.
bool ParseQuery(const Arguments& args, SearchQuery& query, std::string& error) {
  const std::vector<std::string>& words = args.Positionals();
  if (words.size() != 2 && words.size() != 4 && words.size() != 6) {
    error = "expects TOME TERM1 [AND|OR|NOT TERM2 [AND|OR|NOT TERM3]]";
    return false;
  }
  SearchOperator* operators[] = {&query.operator1, &query.operator2};
  for (size_t term = 0; 1 + 2 * term < words.size(); ++term) {
    query.terms[term] = Utf8ToCp1252(words[1 + 2 * term]);
    if (term > 0 && !ParseOperator(words[2 * term], *operators[term - 1])) {
      error = "'" + words[2 * term] + "' is not AND, OR or NOT";
      return false;
    }
  }
  query.scope = args.Has("--subjects-only") ? SearchScope::kSubjectsOnly : SearchScope::kSubjectsAndEntries;
  query.wholeWords = !args.Has("--any-position");
  return true;
}

ExitStatus RunSearch(const Arguments& args) {
  SearchQuery query;
  std::string error;
  if (!ParseQuery(args, query, error)) return UsageError("search", error);
  int from = 0;
  if (auto value = args.Value("--from"); value && (!ParseInt(*value, from) || from < 0)) {
    return UsageError("search", "--from needs a subject index of 0 or more");
  }
  const std::string& path = args.Positionals()[0];
  TomeReader reader;
  if (const ExitStatus status = OpenTomeReadOnly(reader, path); status != ExitStatus::kOk) return status;
  if (from > 0 && from >= reader.SubjectCount()) {
    return Fail(ExitStatus::kNotFound, Quoted(path) + " has no subject index " + std::to_string(from) + " (it has " +
                                           std::to_string(reader.SubjectCount()) + " subjects)");
  }
  const auto print = [&](const SearchHit& hit) {
    std::printf("%d\t%lld\t%s\n", hit.subjectIndex, static_cast<long long>(hit.textOffset),
                Windows1252ToUtf8(reader.Subject(hit.subjectIndex)).c_str());
  };
  SearchOutcome outcome;
  if (args.Has("--first")) {
    outcome = SearchTome(path, query, from, {});
    if (outcome.result == SearchResult::kFound) print(outcome.hit);
  } else {
    outcome = SearchTomeAll(path, query, from, {}, [&](const SearchHit& hit) {
      print(hit);
      return true;
    });
  }
  switch (outcome.result) {
    case SearchResult::kFound: return ExitStatus::kOk;
    case SearchResult::kNotFound: return Fail(ExitStatus::kNotFound, "no subject in " + Quoted(path) + " matches");
    case SearchResult::kCancelled:
    case SearchResult::kFailed: break;
  }
  return Fail(ExitStatus::kFile, "cannot search " + Quoted(path) + CauseOf(outcome.status));
}

}  // namespace

const Command kSearchCommand = {
    "search",
    "TOME TERM1 [AND|OR|NOT TERM2 [AND|OR|NOT TERM3]] [--subjects-only] [--any-position] [--from N] [--first]",
    "Search subjects and entry texts for up to three terms.",
    "Prints one line per matching subject, in the order the search meets them: its index, a TAB, the\n"
    "offset of the hit in the stored entry text (-1 for a hit in the subject), a TAB and the subject.\n"
    "The first operator joins TERM1 with the rest, the second TERM2 with TERM3. Letters are compared\n"
    "without regard to case; a hit inside a link does not count. The search starts at subject N and\n"
    "wraps once to the subject before it. Exit status 4 when no subject matches.\n\n"
    "  --subjects-only  search the subjects only, not the entry texts\n"
    "  --any-position   terms may stand inside words (default: whole words only)\n"
    "  --from N         start at subject index N (default 0)\n"
    "  --first          print only the first matching subject\n",
    kSearchOptions,
    RunSearch,
};

}  // namespace lv::cli
