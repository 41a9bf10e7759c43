#include "app/frame/page_history.h"

#include <algorithm>

namespace lv {

void PageHistory::Record(int subject) {
  if (m_size > 0 && m_entries[m_cursor] == subject) return;
  int position = m_size == 0 ? 0 : m_cursor + 1;
  if (position == kCapacity) {
    std::move(m_entries.begin() + 1, m_entries.end(), m_entries.begin());
    --position;
  }
  m_entries[position] = subject;
  m_cursor = position;
  m_size = position + 1;
}

void PageHistory::Clear() {
  m_size = 0;
  m_cursor = 0;
}

int PageHistory::Back(const std::function<bool(int)>& isShowable) { return Step(-1, isShowable); }

int PageHistory::Forward(const std::function<bool(int)>& isShowable) { return Step(1, isShowable); }

int PageHistory::Step(int direction, const std::function<bool(int)>& isShowable) {
  if (m_size == 0) return -1;
  int position = m_cursor;
  while (position + direction >= 0 && position + direction < m_size) {
    position += direction;
    if (isShowable(m_entries[position])) break;
  }
  if (!isShowable(m_entries[position])) {
    // Nothing showable that way: stay where we were.
    return isShowable(m_entries[m_cursor]) ? m_entries[m_cursor] : -1;
  }
  m_cursor = position;
  return m_entries[m_cursor];
}

}  // namespace lv
