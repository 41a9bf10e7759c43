// Messages the user must see while the core works (allocation failures, "Compression Failed.", the
// record count check), and the icon every message box of the program carries. The desktop shows each
// message in a message box, the command line prints it.
#pragma once

#include <string_view>

namespace lv {

// kNone: a message box without an icon.
enum class MessageIcon { kExclamation, kQuestion, kStop, kInformation, kNone };

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(std::string_view text, MessageIcon icon) = 0;
};

}  // namespace lv
