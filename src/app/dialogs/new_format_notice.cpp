#include "app/dialogs/new_format_notice.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace lv {

NewFormatNotice::NewFormatNotice(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Librovance File Format"));
  auto* layout = new QVBoxLayout(this);
  for (const char* text :
       {"You must have Librovance Palm ver 2.8 installed to use the 2.8 file format.",
        "This format offers improved search speed through the use of a find index. Even without the index, searching "
        "through the Tome is faster especially when the Tome is located on an expansion card.",
        "The Tomes are highly compressed and are generally smaller than the those created in earlier file formats."}) {
    auto* label = new QLabel(QString::fromLatin1(text), this);
    label->setWordWrap(true);
    layout->addWidget(label);
  }
  m_dontShowAgain = new QCheckBox(QStringLiteral("Dont show this information again."), this);
  layout->addWidget(m_dontShowAgain);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

bool NewFormatNotice::DontShowAgain() const { return m_dontShowAgain->isChecked(); }

}  // namespace lv
