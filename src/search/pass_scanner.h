// The subjects of one search pass, examined in pass order by one reader: the building block that
// SearchTome runs on one or two threads.
#pragma once

#include <atomic>
#include <climits>
#include <cstdint>
#include <functional>

#include "search/query_matcher.h"
#include "search/tome_search.h"

namespace lv {

class TomeReader;

// The order of a pass: step k examines subject (start + k) mod count.
struct PassOrder {
  int start = 0;
  int count = 0;
  int SubjectAt(int step) const { return int((int64_t(start) + step) % count); }
};

// What the scanners of one pass share.
struct PassShared {
  std::atomic<int> firstHitStep{INT_MAX};  // the earliest step with a hit so far
  std::atomic<int64_t> examined{0};        // subjects examined by all scanners
};

enum class ScanEnd {
  kHit,        // onHit returned false
  kExhausted,  // every step of the range was examined
  kCancelled,  // the cancel flag was raised
  kOvertaken,  // another scanner found a hit at an earlier step
};

class PassScanner {
 public:
  PassScanner(TomeReader& reader, const QueryMatcher& matcher, PassOrder order, const SearchControl& control,
              PassShared& shared)
      : m_reader(reader), m_matcher(matcher), m_order(order), m_control(control), m_shared(shared) {}

  // Examines steps [from, to) in order, calling onHit for each matching subject until it returns false
  // (that hit's step then joins PassShared::firstHitStep). Progress is reported only when
  // reportProgress is set (on the thread that owns the Progress).
  ScanEnd Scan(int from, int to, const std::function<bool(const SearchHit&, int step)>& onHit, bool reportProgress);

 private:
  bool ShouldStop(int step, ScanEnd& end) const;

  TomeReader& m_reader;
  const QueryMatcher& m_matcher;
  PassOrder m_order;
  const SearchControl& m_control;
  PassShared& m_shared;
};

}  // namespace lv
