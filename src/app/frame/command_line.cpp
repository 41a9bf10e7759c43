#include "app/frame/command_line.h"

#include "version.h"

namespace lv {

CommandLineCheck CheckCommandLine(const QStringList& arguments, OptionScope scope) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QStringLiteral("--")) break;
    if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) return {CommandLineAction::kHelp, {}};
    if (argument == QStringLiteral("--version")) return {CommandLineAction::kVersion, {}};
    const bool longOption = argument.startsWith(QStringLiteral("--"));
    const bool shortOption = !longOption && argument.startsWith(QLatin1Char('-')) && argument.size() > 1;
    if (longOption || (shortOption && scope == OptionScope::kAfterQt)) {
      return {CommandLineAction::kRefuse, argument};
    }
  }
  return {};
}

QString CommandLineHelp() {
  return QStringLiteral(
      "usage: librovance [FILE]\n"
      "Opens FILE in the Librovance reader: a tome (.lv), a plain text file (.txt) or a Palm database (.pdb).\n"
      "Without FILE the reader starts empty, or with the last tome when LoadLastFile=1.\n"
      "\n"
      "  -h, --help     show this help and exit\n"
      "      --version  show the version and exit\n"
      "\n"
      "Settings: ~/.config/Varnoth/Librovance.conf\n");
}

QString CommandLineVersion() { return QStringLiteral("librovance %1\n").arg(QLatin1String(kVersion)); }

QString CommandLineRefusal(const QString& option) {
  return QStringLiteral("librovance: unknown option '%1'\nusage: librovance [FILE]\nTry 'librovance --help'.\n")
      .arg(option);
}

}  // namespace lv
