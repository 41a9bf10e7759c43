#include "dictionaries/entry_sink.h"

namespace lv::dict {
namespace {

// A subject longer than this is noted in the results, as with the other sources.
constexpr size_t kLongSubjectLength = 100;

}  // namespace

std::string EntrySink::Subject(std::string_view headword) {
  std::string encoded;
  m_encoder.Append(headword, encoded);
  std::string subject;
  subject.reserve(encoded.size());
  for (char c : encoded) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    if (c == ' ' && (subject.empty() || subject.back() == ' ')) continue;
    subject.push_back(c);
  }
  while (!subject.empty() && subject.back() == ' ') subject.pop_back();
  return subject;
}

void EntrySink::Add(std::string_view subject, std::string_view storedText) {
  if (subject.empty()) {
    ++m_counts.unreadableEntries;
    return;
  }
  if (subject.size() > kLongSubjectLength) m_longSubjects = true;
  m_builder.AddEntry(subject, storedText);
}

void EntrySink::SetRange(int64_t high) {
  if (!m_progress) return;
  m_progress->SetRange(0, high);
  m_progress->SetPosition(0);
  m_progress->SetStep(1);
}

void EntrySink::SetPosition(int64_t position) {
  if (m_progress) m_progress->SetPosition(position);
}

}  // namespace lv::dict
