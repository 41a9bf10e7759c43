// Reading a large tome: open, a random entry loaded and rendered, FindSubject, and one visible page
// of subject-list rows. The tome is named by the environment variable LV_BENCH_TOME (bench/tome/run
// builds it from the 1,000,000-entry synthetic source). Each benchmark also reports the median time
// of one operation (median_us), since random entries differ in cost.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "docview/renderer.h"
#include "tome/format.h"
#include "tome/tome_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* TomePath() { return std::getenv("LV_BENCH_TOME"); }

// Collects the time of each operation and reports their median.
class Timings {
 public:
  void Add(Clock::duration d) { m_us.push_back(std::chrono::duration<double, std::micro>(d).count()); }
  void Report(benchmark::State& state) {
    if (m_us.empty()) return;
    std::nth_element(m_us.begin(), m_us.begin() + m_us.size() / 2, m_us.end());
    state.counters["median_us"] = m_us[m_us.size() / 2];
  }

 private:
  std::vector<double> m_us;
};

bool OpenOrSkip(benchmark::State& state, lv::TomeReader& reader) {
  if (!TomePath()) {
    state.SkipWithError("set LV_BENCH_TOME to a tome");
    return false;
  }
  if (!reader.Open(TomePath(), lv::OpenMode::kReadOnly).IsOk() || reader.SubjectCount() == 0) {
    state.SkipWithError("cannot open LV_BENCH_TOME");
    return false;
  }
  return true;
}

void BM_OpenTome(benchmark::State& state) {
  lv::TomeReader reader;
  if (!OpenOrSkip(state, reader)) return;
  reader.Close();
  Timings timings;
  for (auto _ : state) {
    const auto start = Clock::now();
    benchmark::DoNotOptimize(reader.Open(TomePath(), lv::OpenMode::kReadOnly));
    timings.Add(Clock::now() - start);
    reader.Close();
  }
  timings.Report(state);
}

void BM_LoadAndRenderRandomEntry(benchmark::State& state) {
  lv::TomeReader reader;
  if (!OpenOrSkip(state, reader)) return;
  std::mt19937 random(42);
  std::uniform_int_distribution<int> pick(0, reader.SubjectCount() - 1);
  const lv::PageSettings settings;
  Timings timings;
  size_t bytes = 0;
  for (auto _ : state) {
    const int index = pick(random);
    const auto start = Clock::now();
    const std::string subject = reader.Subject(index);
    reader.LoadEntryText(index);
    const std::string page = lv::RenderEntryPage(subject, reader.CurrentEntryText(), settings);
    timings.Add(Clock::now() - start);
    bytes += page.size();
  }
  state.counters["page_bytes"] = static_cast<double>(bytes) / static_cast<double>(state.iterations());
  timings.Report(state);
}

// As the entry view does it: the page written to a file.
void BM_WriteEntryPageRandom(benchmark::State& state) {
  lv::TomeReader reader;
  if (!OpenOrSkip(state, reader)) return;
  std::mt19937 random(43);
  std::uniform_int_distribution<int> pick(0, reader.SubjectCount() - 1);
  const char* tmp = std::getenv("TMPDIR");
  const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/lv-bench-data.htm";
  Timings timings;
  for (auto _ : state) {
    const int index = pick(random);
    const auto start = Clock::now();
    benchmark::DoNotOptimize(lv::WriteEntryPage(reader, index, lv::PageSettings{}, std::nullopt, path).IsOk());
    timings.Add(Clock::now() - start);
  }
  std::remove(path.c_str());
  timings.Report(state);
}

void BM_FindSubject(benchmark::State& state) {
  lv::TomeReader reader;
  if (!OpenOrSkip(state, reader)) return;
  std::mt19937 random(44);
  std::uniform_int_distribution<int> pick(0, reader.SubjectCount() - 1);
  std::vector<std::string> wanted;
  for (int i = 0; i < 1000; ++i) wanted.push_back(reader.Subject(pick(random)));
  const bool prefix = state.range(0) == 1;
  const lv::SubjectMatch match = prefix ? lv::SubjectMatch::kPrefix : lv::SubjectMatch::kExact;
  Timings timings;
  size_t i = 0;
  for (auto _ : state) {
    const std::string& text = wanted[i++ % wanted.size()];
    const auto start = Clock::now();
    benchmark::DoNotOptimize(reader.FindSubject(match, prefix ? std::string_view(text).substr(0, 5) : text));
    timings.Add(Clock::now() - start);
  }
  state.counters["sorted"] = reader.SortedFlag();
  timings.Report(state);
}

// One screenful of the subject list: 40 consecutive rows, subject and stripped preview.
void BM_VisiblePageOfRows(benchmark::State& state) {
  lv::TomeReader reader;
  if (!OpenOrSkip(state, reader)) return;
  constexpr int kRows = 40;
  std::mt19937 random(45);
  std::uniform_int_distribution<int> pick(0, std::max(0, reader.SubjectCount() - kRows));
  Timings timings;
  for (auto _ : state) {
    const int first = pick(random);
    const auto start = Clock::now();
    for (int row = first; row < first + kRows && row < reader.SubjectCount(); ++row) {
      benchmark::DoNotOptimize(reader.Subject(row));
      benchmark::DoNotOptimize(reader.Preview(row, true));
    }
    timings.Add(Clock::now() - start);
  }
  timings.Report(state);
}

BENCHMARK(BM_OpenTome)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadAndRenderRandomEntry)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteEntryPageRandom)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindSubject)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VisiblePageOfRows)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
