// A progress bar on standard error, drawn only when standard error is a terminal.
#pragma once

#include <cstdint>
#include <string>

#include "tome/progress.h"

namespace lv::cli {

class TerminalProgress : public Progress {
 public:
  explicit TerminalProgress(std::string label);
  ~TerminalProgress() override;  // ends the bar's line

  // False when standard error is not a terminal: then nothing is ever drawn.
  bool Active() const { return m_active; }

  void SetRange(int64_t low, int64_t high) override;
  void SetPosition(int64_t position) override;
  void SetStep(int64_t step) override { m_step = step; }
  void Step() override { SetPosition(m_position + m_step); }
  // Ends the bar's line (also done by the destructor).
  void Finish();

 private:
  void Draw();

  std::string m_label;
  bool m_active = false;
  bool m_drawn = false;
  int64_t m_low = 0;
  int64_t m_high = 0;
  int64_t m_position = 0;
  int64_t m_step = 1;
  int m_shownPermille = -1;
};

}  // namespace lv::cli
