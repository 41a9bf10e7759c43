// librovance: the desktop reader. `librovance [FILE]` opens FILE once the window stands.
#include <QApplication>
#include <QIcon>

#include "app/frame/application.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Varnoth"));
  QApplication::setApplicationName(QStringLiteral("Librovance"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/librovance.png")));
  lv::Application librovance;
  if (!librovance.Start(QApplication::arguments())) return 1;
  return QApplication::exec();
}
