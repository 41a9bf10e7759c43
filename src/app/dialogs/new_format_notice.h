// The notice "Librovance File Format" about the 2.8 Palm format: three texts, the check box "Dont
// show this information again." and OK.
#pragma once

#include <QDialog>

class QCheckBox;

namespace lv {

class NewFormatNotice : public QDialog {
  Q_OBJECT

 public:
  explicit NewFormatNotice(QWidget* parent);
  bool DontShowAgain() const;

 private:
  QCheckBox* m_dontShowAgain = nullptr;
};

}  // namespace lv
