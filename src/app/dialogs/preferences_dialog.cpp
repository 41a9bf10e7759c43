#include "app/dialogs/preferences_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/dialogs/user_dialogs.h"
#include "app/platform/settings_store.h"

namespace lv {
namespace {

// Nine digits always fit an int.
constexpr int kDelayDigits = 9;

}  // namespace

const QStringList& PreferencesDialog::BackgroundNames() {
  static const QStringList names = {QStringLiteral("blank"),    QStringLiteral("default"),
                                    QStringLiteral("Vessa"),    QStringLiteral("Parchment"),
                                    QStringLiteral("Ostravel"), QStringLiteral("Sand Stone")};
  return names;
}

PreferencesDialog::PreferencesDialog(SettingsStore& settings, UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_dialogs(dialogs) {
  setWindowTitle(QStringLiteral("Librovance Preferences"));
  m_loadLastFile = new QCheckBox(QStringLiteral("Open last file at Startup."), this);
  m_loadLastFile->setObjectName(QStringLiteral("loadLastFile"));
  m_loadLastFile->setChecked(settings.loadLastFile == 1);
  m_delay = new QLineEdit(QString::number(settings.quickFindDelay), this);
  m_delay->setObjectName(QStringLiteral("quickFindDelay"));
  m_delay->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_delay));
  m_delay->setMaxLength(kDelayDigits);
  m_background = new QComboBox(this);
  m_background->setObjectName(QStringLiteral("pageBackground"));
  m_background->addItems(BackgroundNames());
  // A style outside the list (from the settings file) shows no selection.
  const int style = settings.pageBackground;
  m_background->setCurrentIndex(style >= 0 && style < BackgroundNames().size() ? style : -1);
  m_select = new QPushButton(QStringLiteral("Select"), this);
  m_select->setObjectName(QStringLiteral("selectColour"));

  auto* grid = new QGridLayout;
  grid->addWidget(m_loadLastFile, 0, 0, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Delay before clearing QuickFind buffer :"), this), 1, 0);
  grid->addWidget(m_delay, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("seconds."), this), 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Page Background:"), this), 2, 0);
  grid->addWidget(m_background, 2, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Page Background Color:"), this), 3, 0);
  grid->addWidget(m_select, 3, 1, 1, 2);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);

  connect(m_select, &QPushButton::clicked, this, &PreferencesDialog::SelectColour);
  connect(buttons, &QDialogButtonBox::accepted, this, &PreferencesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &PreferencesDialog::reject);
}

void PreferencesDialog::SelectColour() {
  const std::optional<QColor> colour = m_dialogs.ChooseColor(this);
  if (!colour) return;
  m_settings.backRValue = colour->red();
  m_settings.backGValue = colour->green();
  m_settings.backBValue = colour->blue();
}

void PreferencesDialog::accept() {
  m_settings.loadLastFile = m_loadLastFile->isChecked() ? 1 : 0;
  // The box holds digits only; an empty box gives 0.
  m_settings.quickFindDelay = m_delay->text().toInt();
  m_settings.pageBackground = m_background->currentIndex();
  QDialog::accept();
}

}  // namespace lv
