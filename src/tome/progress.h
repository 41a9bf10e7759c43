// Progress of long work (import, Palm export). The command line draws a bar on a terminal, the
// desktop a QProgressBar; the core only reports.
#pragma once

#include <cstdint>

namespace lv {

class Progress {
 public:
  virtual ~Progress() = default;
  virtual void SetRange(int64_t low, int64_t high) = 0;
  virtual void SetPosition(int64_t position) = 0;
  virtual void SetStep(int64_t step) = 0;
  // Advances the position by the step.
  virtual void Step() = 0;
  // The work has read its input and goes on to write its result (an import: saving the tome).
  virtual void WritingStarted() {}
  // Asked between steps: true asks the work to stop as soon as it can. It then fails with a
  // Cancelled status and leaves no output behind.
  virtual bool CancelRequested() const { return false; }
};

}  // namespace lv
