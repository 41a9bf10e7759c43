#include "app/frame/page_history.h"

namespace lv {

void PageHistory::Record(int subject) {
  if (m_size == kCapacity) return;
  if (m_size == 0) {
    m_entries[m_cursor] = subject;
    m_size = m_cursor + 1;
    return;
  }
  if (m_entries[m_cursor] == subject) return;
  ++m_cursor;
  m_entries[m_cursor] = subject;
  m_size = m_cursor + 1;
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
