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
};

}  // namespace lv
