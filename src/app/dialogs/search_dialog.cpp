#include "app/dialogs/search_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <iterator>

namespace lv {

SearchDialog::SearchDialog(SearchDialogForm form, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Search..."));
  for (int i = 0; i < 3; ++i) {
    m_terms[i] = new QLineEdit(this);
    m_terms[i]->setObjectName(QStringLiteral("term%1").arg(i + 1));
    m_terms[i]->setMinimumWidth(220);
  }
  m_operator1 = MakeOperatorList(QStringLiteral("operator1"));
  m_operator2 = MakeOperatorList(QStringLiteral("operator2"));
  m_wholeWords = new QCheckBox(QStringLiteral("Match whole words only"), this);
  m_wholeWords->setObjectName(QStringLiteral("wholeWords"));
  m_wholeWords->setChecked(true);
  m_subjectsOnly = new QCheckBox(QStringLiteral("Search within subjects only."), this);
  m_subjectsOnly->setObjectName(QStringLiteral("subjectsOnly"));

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* go = buttons->addButton(QStringLiteral("Go!"), QDialogButtonBox::AcceptRole);
  go->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Find:"), this), 0, 0);
  grid->addWidget(m_terms[0], 0, 1);
  grid->addWidget(m_operator1, 0, 2);
  grid->addWidget(m_terms[1], 1, 1);
  grid->addWidget(m_operator2, 1, 2);
  grid->addWidget(m_terms[2], 2, 1);
  grid->addWidget(m_wholeWords, 3, 1, 1, 2);
  grid->addWidget(m_subjectsOnly, 4, 1, 1, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);

  // The tab sequence follows the terms and their operators down the dialog.
  QWidget* sequence[] = {m_terms[0],   m_operator1,    m_terms[1], m_operator2, m_terms[2],
                         m_wholeWords, m_subjectsOnly, go,         cancel};
  for (size_t i = 1; i < std::size(sequence); ++i) setTabOrder(sequence[i - 1], sequence[i]);
  m_terms[0]->setFocus();

  if (form == SearchDialogForm::kSimple) {
    for (QWidget* control : {static_cast<QWidget*>(m_operator1), static_cast<QWidget*>(m_operator2),
                             static_cast<QWidget*>(m_terms[1]), static_cast<QWidget*>(m_terms[2]),
                             static_cast<QWidget*>(m_wholeWords), static_cast<QWidget*>(m_subjectsOnly)}) {
      control->setEnabled(false);
    }
  }
}

QComboBox* SearchDialog::MakeOperatorList(const QString& name) {
  auto* list = new QComboBox(this);
  list->setObjectName(name);
  list->addItems({QStringLiteral("AND"), QStringLiteral("OR"), QStringLiteral("NOT")});
  return list;
}

SearchDialogValues SearchDialog::Values() const {
  SearchDialogValues values;
  for (int i = 0; i < 3; ++i) values.terms[i] = m_terms[i]->text();
  values.operator1 = m_operator1->currentIndex();
  values.operator2 = m_operator2->currentIndex();
  values.wholeWords = m_wholeWords->isChecked();
  values.subjectsOnly = m_subjectsOnly->isChecked();
  return values;
}

}  // namespace lv
