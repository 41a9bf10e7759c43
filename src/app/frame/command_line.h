// The options of `librovance [OPTION] [FILE]`: --help and --version print and end the program, any
// other option is refused with the usage line; everything else is the file to open.
#pragma once

#include <QString>
#include <QStringList>

namespace lv {

enum class CommandLineAction { kRun, kHelp, kVersion, kRefuse };

// Which options a look at the arguments may judge: before Qt has taken its own single-dash options
// ("-platform offscreen") only the double-dash ones; after, all of them.
enum class OptionScope { kBeforeQt, kAfterQt };

struct CommandLineCheck {
  CommandLineAction action = CommandLineAction::kRun;
  QString refusedOption;  // with kRefuse
};

// arguments are the program's, its own name first. "--" ends the options; "-" alone is a file name.
CommandLineCheck CheckCommandLine(const QStringList& arguments, OptionScope scope);

// The text --help prints, ending with a line end.
QString CommandLineHelp();
// The line --version prints ("librovance 2.8.0"), ending with a line end.
QString CommandLineVersion();
// What a refused option prints on the error output, ending with a line end.
QString CommandLineRefusal(const QString& option);

}  // namespace lv
