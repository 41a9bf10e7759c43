#include "palm/subject_cache.h"

#include <algorithm>

#include "palm/palm_codecs.h"
#include "tome/coding.h"

namespace lv {

bool SubjectCacheBuilder::Add(std::string_view subject) {
  m_offsets.push_back(static_cast<uint16_t>(m_raw.size()));
  const size_t head = std::min(subject.size(), kSubjectCacheHeadLength);
  m_raw.insert(m_raw.end(), subject.begin(), subject.begin() + head);
  if (m_offsets.size() == static_cast<size_t>(kSubjectCacheGroupSize)) return CloseGroup();
  return true;
}

bool SubjectCacheBuilder::Finish() {
  if (!m_offsets.empty() || m_groups.empty()) return CloseGroup();
  return true;
}

bool SubjectCacheBuilder::CloseGroup() {
  std::vector<uint8_t> packed;
  if (!ZlibCompress(m_raw.data(), m_raw.size(), packed, m_messages)) return false;
  std::vector<uint8_t> record(2 * (kSubjectCacheGroupSize + 1) + 2, 0);
  for (size_t k = 0; k < m_offsets.size(); ++k) EncodeBE16(&record[2 * k], m_offsets[k]);
  EncodeBE16(&record[2 * m_offsets.size()], static_cast<uint16_t>(m_raw.size()));
  EncodeBE16(&record[2 * (kSubjectCacheGroupSize + 1)], static_cast<uint16_t>(packed.size()));
  record.insert(record.end(), packed.begin(), packed.end());
  m_groups.push_back(std::move(record));
  m_raw.clear();
  m_offsets.clear();
  return true;
}

std::vector<uint8_t> SubjectCacheBuilder::DirectoryRecord() const {
  std::vector<uint8_t> record(4);
  EncodeBE16(&record[0], kSubjectCacheGroupSize);
  EncodeBE16(&record[2], static_cast<uint16_t>(m_groups.size()));
  return record;
}

}  // namespace lv
