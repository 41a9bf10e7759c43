// TomeReader: finding a subject by typed text, by binary search in a sorted tome or by a scan.
#include <string>
#include <string_view>

#include "tome/collation.h"
#include "tome/tome_reader.h"

namespace lv {

int TomeReader::FindSubject(SubjectMatch match, std::string_view text) {
  if (!m_open || m_subjectCount == 0) return -1;
  if (!m_currentLayout || m_sortedFlag != 1) return FindByScan(match, text);
  return FindByBinarySearch(text);
}

int TomeReader::FindByScan(SubjectMatch match, std::string_view text) {
  for (int i = 0; i < m_subjectCount; ++i) {
    const std::string_view subject = SubjectView(i);
    if (match == SubjectMatch::kExact ? Collate(subject, text, m_encoding) == 0
                                      : CollateBeginsWith(subject, text, m_encoding))
      return i;
  }
  return -1;
}

// Both match modes alike: the first of the subjects equal to the text, else, where the search ends,
// a subject that begins with the text.
int TomeReader::FindByBinarySearch(std::string_view text) {
  int lo = 0;
  int hi = m_subjectCount - 1;
  for (int depth = 0;; ++depth) {
    const int span = hi - lo;
    int mid = span == 1 ? lo : lo + span / 2;
    const int order = Collate(ProbeSubject(mid, depth), text, m_encoding);
    if (order == 0) {
      while (mid > 0 && Collate(SubjectView(mid - 1), text, m_encoding) == 0) --mid;
      return mid;
    }
    if (span <= 1) break;
    if (order < 0) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  if (CollateBeginsWith(SubjectView(lo), text, m_encoding)) return lo;
  if (CollateBeginsWith(SubjectView(hi), text, m_encoding)) return hi;
  return -1;
}

// The first kProbeCacheDepth steps of every binary search probe the same few thousand subjects, each
// in a block of its own; keeping them leaves only the last steps, which share a few blocks, to decode.
std::string_view TomeReader::ProbeSubject(int subjectIndex, int depth) {
  constexpr int kProbeCacheDepth = 12;
  constexpr size_t kLongestCachedSubject = 256;  // bounds the cache at about a megabyte
  if (depth >= kProbeCacheDepth) return SubjectView(subjectIndex);
  const auto cached = m_probeSubjects.find(subjectIndex);
  if (cached != m_probeSubjects.end()) return cached->second;
  const std::string_view subject = SubjectView(subjectIndex);
  if (subject.size() > kLongestCachedSubject) return subject;
  return m_probeSubjects.emplace(subjectIndex, std::string(subject)).first->second;
}

}  // namespace lv
