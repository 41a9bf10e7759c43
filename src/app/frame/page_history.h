// The Back/Forward trail of the subjects shown in the document now open: at most 50 subject numbers
// and a cursor. It is not saved and starts afresh whenever another file opens; a full trail lets its
// oldest entry go, so Back always leads to the page shown before.
#pragma once

#include <array>
#include <functional>

namespace lv {

class PageHistory {
 public:
  static constexpr int kCapacity = 50;

  // Adds subject after the cursor, dropping what followed it (and the oldest entry when the trail is
  // full); the subject already at the cursor is not recorded twice.
  void Record(int subject);
  // Forgets every entry.
  void Clear();

  // Moves the cursor one step (at the first or last entry it stays) past entries for which
  // isShowable is false, and answers the subject to show, or -1 when there is none.
  int Back(const std::function<bool(int)>& isShowable);
  int Forward(const std::function<bool(int)>& isShowable);
  // Whether there is an entry before or after the cursor.
  bool CanGoBack() const { return m_size > 0 && m_cursor > 0; }
  bool CanGoForward() const { return m_cursor + 1 < m_size; }

  int Size() const { return m_size; }
  int Cursor() const { return m_cursor; }
  int EntryAt(int position) const { return m_entries[position]; }

 private:
  // Back (direction -1) or Forward (direction 1).
  int Step(int direction, const std::function<bool(int)>& isShowable);

  int m_size = 0;
  int m_cursor = 0;
  std::array<int, kCapacity> m_entries{};
};

}  // namespace lv
