// The About box: the program's picture beside the text "Version 2.8", and an OK button.
#pragma once

#include <QDialog>

namespace lv {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent);
};

}  // namespace lv
