// The Back/Forward trail of the subjects shown since the program started: at most 50 subject
// numbers and a cursor. It is not saved and survives the opening of another tome, so the steps skip
// entries that the tome now open does not have.
#pragma once

#include <array>
#include <functional>

namespace lv {

class PageHistory {
 public:
  static constexpr int kCapacity = 50;

  // Adds subject after the cursor, dropping what followed it; a full history records nothing more,
  // and the subject already at the cursor is not recorded twice.
  void Record(int subject);

  // Moves the cursor one step (at the first or last entry it stays) past entries for which
  // isShowable is false, and answers the subject to show, or -1 when there is none.
  int Back(const std::function<bool(int)>& isShowable);
  int Forward(const std::function<bool(int)>& isShowable);

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
