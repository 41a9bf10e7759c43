#include "app/dialogs/about_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace lv {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Librovance"));
  auto* picture = new QLabel(this);
  picture->setPixmap(QPixmap(QStringLiteral(":/icons/librovance.png")));
  auto* text = new QLabel(QStringLiteral("Version 2.8"), this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(picture);
  row->addWidget(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  // The window manager cuts a caption wider than the box; the box is made wide enough for it.
  setMinimumWidth(std::max(sizeHint().width(), MinimumWidthForCaption(windowTitle())));
}

int AboutDialog::MinimumWidthForCaption(const QString& caption) {
  QFont titleFont = QApplication::font();
  titleFont.setBold(true);
  return QFontMetrics(titleFont).horizontalAdvance(caption) + kTitleBarRoom;
}

}  // namespace lv
