// librovance: the desktop reader. `librovance [FILE]` opens FILE once the window stands; --help and
// --version answer without a window (and without a display).
#include <QApplication>
#include <QIcon>

#include <cstdio>

#include "app/frame/application.h"
#include "app/frame/command_line.h"

namespace {

QStringList RawArguments(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  return arguments;
}

// Prints what the options ask for; -1 when the program is to run, else its exit status.
int Answer(const lv::CommandLineCheck& check) {
  switch (check.action) {
    case lv::CommandLineAction::kRun: return -1;
    case lv::CommandLineAction::kHelp: std::fputs(qPrintable(lv::CommandLineHelp()), stdout); return 0;
    case lv::CommandLineAction::kVersion: std::fputs(qPrintable(lv::CommandLineVersion()), stdout); return 0;
    case lv::CommandLineAction::kRefuse:
      std::fputs(qPrintable(lv::CommandLineRefusal(check.refusedOption)), stderr);
      return 1;
  }
  return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (const int status = Answer(lv::CheckCommandLine(RawArguments(argc, argv), lv::OptionScope::kBeforeQt));
      status >= 0) {
    return status;
  }
  QApplication application(argc, argv);
  if (const int status = Answer(lv::CheckCommandLine(QApplication::arguments(), lv::OptionScope::kAfterQt));
      status >= 0) {
    return status;
  }
  QApplication::setOrganizationName(QStringLiteral("Varnoth"));
  QApplication::setApplicationName(QStringLiteral("Librovance"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/librovance.png")));
  lv::Application librovance;
  librovance.CloseOnTerminationSignals();
  if (!librovance.Start(QApplication::arguments())) return 1;
  return QApplication::exec();
}
