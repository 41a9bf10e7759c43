// The subject cache of the 2.8 Palm tome format: subjects grouped by 500 in tome order, each group's
// subject heads (first 30 bytes) joined and compressed, so the handheld can list subjects quickly.
//   directory record: group size 500 (2), group count G (2)
//   group record:     501 offsets (2 each): subject k's head in the raw text, then the raw length,
//                     later entries 0; compressed length C (2); C bytes of the raw text compressed
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "tome/messages.h"

namespace lv {

inline constexpr int kSubjectCacheGroupSize = 500;
inline constexpr size_t kSubjectCacheHeadLength = 30;

class SubjectCacheBuilder {
 public:
  explicit SubjectCacheBuilder(MessageSink* messages) : m_messages(messages) {}

  // Adds the next subject in tome order. False when a group could not be compressed.
  bool Add(std::string_view subject);
  // Closes the last group (an empty tome still has one, empty group). False on a compression failure.
  bool Finish();

  std::vector<uint8_t> DirectoryRecord() const;
  const std::vector<std::vector<uint8_t>>& GroupRecords() const { return m_groups; }

 private:
  bool CloseGroup();

  MessageSink* m_messages;
  std::vector<uint8_t> m_raw;
  std::vector<uint16_t> m_offsets;
  std::vector<std::vector<uint8_t>> m_groups;
};

}  // namespace lv
