#include "palm/subject_index.h"

#include <algorithm>
#include <numeric>

#include "tome/collation.h"

namespace lv {

void SortedSubjectIndex::Build(const std::vector<std::string>& subjects) {
  m_subjects = &subjects;
  m_order.resize(subjects.size());
  std::iota(m_order.begin(), m_order.end(), 0);
  // Ties broken by subject number, so that the first of equal subjects is the lowest numbered one.
  std::sort(m_order.begin(), m_order.end(), [&](int32_t a, int32_t b) {
    const int order = Collate(subjects[a], subjects[b]);
    return order < 0 || (order == 0 && a < b);
  });
}

int SortedSubjectIndex::Find(std::string_view name) const {
  if (!m_subjects) return -1;
  const auto found = std::lower_bound(m_order.begin(), m_order.end(), name, [&](int32_t a, std::string_view key) {
    return Collate((*m_subjects)[a], key) < 0;
  });
  if (found == m_order.end() || Collate((*m_subjects)[*found], name) != 0) return -1;
  return *found;
}

}  // namespace lv
