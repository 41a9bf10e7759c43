// The Palm commands of lvtool: pdb (export a tome as a Palm tome database), pdbinfo (describe any
// Palm database) and palmdoc (print or search the text of a PalmDOC database).
#pragma once

#include "cli/command.h"

namespace lv::cli {

extern const Command kPdbCommand;
extern const Command kPdbInfoCommand;
extern const Command kPalmDocCommand;

}  // namespace lv::cli
