// PreferencesDialog ("Librovance Preferences"): whether the last file opens at start, the quick-find
// clearing delay, the page background style and the custom background colour. "OK" writes the first
// three into the settings; a colour picked with "Select" is stored at once and stays even when the
// dialog is then cancelled.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace lv {

struct SettingsStore;
class UserDialogs;

class PreferencesDialog : public QDialog {
  Q_OBJECT

 public:
  // The combo's texts in the order of the styles they stand for.
  static const QStringList& BackgroundNames();

  // settings must outlive the dialog; dialogs shows the colour picker.
  PreferencesDialog(SettingsStore& settings, UserDialogs& dialogs, QWidget* parent);

  void accept() override;

 private:
  void SelectColour();

  SettingsStore& m_settings;
  UserDialogs& m_dialogs;
  QCheckBox* m_loadLastFile = nullptr;
  QLineEdit* m_delay = nullptr;
  QComboBox* m_background = nullptr;
  QPushButton* m_select = nullptr;
};

}  // namespace lv
