// The HotSync commands of lvtool: users (list the HotSync users and their card slots) and queue (queue
// a Palm database for a user's next HotSync, as the desktop does).
#pragma once

#include "cli/command.h"

namespace lv::cli {

extern const Command kUsersCommand;
extern const Command kQueueCommand;

}  // namespace lv::cli
