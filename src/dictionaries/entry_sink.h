// EntrySink: where the dictionary readers deliver their entries. It turns headwords into subjects
// (Windows-1252, one line), hands every entry to the tome builder as soon as it is made, and keeps
// the counts that the import results report.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tome/progress.h"
#include "tome/tome_builder.h"
#include "tome/windows1252_encoder.h"

namespace lv::dict {

struct DictionaryCounts {
  int64_t unreadableEntries = 0;   // entries whose text could not be read (damaged index or text)
  int64_t replacedCharacters = 0;  // characters without a Windows-1252 form, stored as "?"
  int64_t skippedResources = 0;    // images, sounds and other files the entries refer to
  int64_t synonyms = 0;            // entries made from synonyms, each linking to its main entry
  int64_t metaEntries = 0;         // the database's own entries about itself (not made subjects)
};

class EntrySink {
 public:
  EntrySink(TomeBuilder& builder, Progress* progress) : m_builder(builder), m_progress(progress) {}

  Windows1252Encoder& Encoder() { return m_encoder; }
  DictionaryCounts& Counts() { return m_counts; }
  // Replaced characters are counted by the encoder; this gives the whole counts.
  DictionaryCounts FinalCounts() const {
    DictionaryCounts counts = m_counts;
    counts.replacedCharacters = m_encoder.ReplacedCount();
    return counts;
  }

  // The subject of a headword: Windows-1252, control characters and line ends as spaces, trimmed.
  std::string Subject(std::string_view headword);
  // Stores one entry. An empty subject cannot be listed: the entry counts as unreadable.
  void Add(std::string_view subject, std::string_view storedText);
  // False once the build has failed (the readers stop then).
  bool Healthy() const { return m_builder.BuildStatus().IsOk(); }

  void SetRange(int64_t high);
  void SetPosition(int64_t position);

  bool LongSubjects() const { return m_longSubjects; }
  std::string title;               // the dictionary's own name, when it states one
  std::vector<std::string> notes;  // what the results should add (files that disagree with each other)

 private:
  TomeBuilder& m_builder;
  Progress* m_progress;
  Windows1252Encoder m_encoder;
  DictionaryCounts m_counts;
  bool m_longSubjects = false;
};

}  // namespace lv::dict
