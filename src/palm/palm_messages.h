// Messages of the Palm side that the user must see (allocation failures, "Compression Failed.", the
// record count check). The desktop shows each one in a message box, the command line prints it.
#pragma once

#include <string_view>

namespace lv {

enum class MessageIcon { kExclamation, kStop };

class PalmMessageSink {
 public:
  virtual ~PalmMessageSink() = default;
  virtual void ShowMessage(std::string_view text, MessageIcon icon) = 0;
};

}  // namespace lv
