// iSortedSubjectIndex: the subject numbers of a tome in case-insensitive subject order, for the link
// lookup of the Palm tome writers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

class SortedSubjectIndex {
 public:
  // Orders the subject numbers by the collation; subjects that collate equal keep their tome order.
  // REQUIRES: subjects outlives this index.
  void Build(const std::vector<std::string>& subjects);

  // The lowest subject number whose subject collates equal to name (case-insensitively), or -1.
  int Find(std::string_view name) const;

  const std::vector<int32_t>& Order() const { return m_order; }

 private:
  const std::vector<std::string>* m_subjects = nullptr;
  std::vector<int32_t> m_order;
};

}  // namespace lv
