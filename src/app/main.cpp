// librovance: the desktop reader. `librovance [FILE]` opens FILE once the window stands.
#include <QApplication>
#include <QIcon>

#include "app/librovance_app.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Varnoth"));
  QApplication::setApplicationName(QStringLiteral("Librovance"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/librovance.png")));
  lv::CLibrovanceApp librovance;
  if (!librovance.InitInstance(QApplication::arguments())) return 1;
  return QApplication::exec();
}
