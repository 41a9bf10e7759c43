// The About box: the program's picture beside the text "Version 2.8", and an OK button; wide enough
// for its caption.
#pragma once

#include <QDialog>

namespace lv {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  // Room in a title bar beside its caption: the window menu and the close button, with margins.
  static constexpr int kTitleBarRoom = 120;

  explicit AboutDialog(QWidget* parent);
  // The width a box needs so that its title bar shows caption whole.
  static int MinimumWidthForCaption(const QString& caption);
};

}  // namespace lv
