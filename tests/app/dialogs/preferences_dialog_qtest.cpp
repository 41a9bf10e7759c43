// The Preferences dialog on its own: what it shows from the settings, what "OK" writes, and the
// colour of "Select", which is stored at once and stays when the dialog is cancelled.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/dialogs/preferences_dialog.h"
#include "app/platform/settings_store.h"
#include "app_fixture.h"

using namespace lv;

namespace {

template <typename T>
T* Child(PreferencesDialog& dialog, const char* name) {
  return dialog.findChild<T*>(QString::fromLatin1(name));
}

}  // namespace

class PreferencesDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheSettings() {
    const struct {
      int loadLastFile;
      int delay;
      int background;
      int shownBackground;
    } cases[] = {{1, 15, 1, 1}, {0, 0, 5, 5}, {0, 7, 9, -1}, {1, 3, -1, -1}};
    for (const auto& c : cases) {
      SettingsStore settings;
      settings.loadLastFile = c.loadLastFile;
      settings.quickFindDelay = c.delay;
      settings.pageBackground = c.background;
      ScriptedDialogs dialogs;
      PreferencesDialog dialog(settings, dialogs, nullptr);
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Librovance Preferences"));
      QCOMPARE(Child<QCheckBox>(dialog, "loadLastFile")->isChecked(), c.loadLastFile == 1);
      QCOMPARE(Child<QLineEdit>(dialog, "quickFindDelay")->text(), QString::number(c.delay));
      QCOMPARE(Child<QComboBox>(dialog, "pageBackground")->currentIndex(), c.shownBackground);
    }
    QCOMPARE(PreferencesDialog::BackgroundNames(),
             (QStringList{"blank", "default", "Vessa", "Parchment", "Ostravel", "Sand Stone"}));
  }

  void okWritesTheFields() {
    SettingsStore settings;
    ScriptedDialogs dialogs;
    PreferencesDialog dialog(settings, dialogs, nullptr);
    Child<QCheckBox>(dialog, "loadLastFile")->setChecked(true);
    QLineEdit* delay = Child<QLineEdit>(dialog, "quickFindDelay");
    delay->clear();
    QTest::keyClicks(delay, QStringLiteral("4x2"));  // digits only
    Child<QComboBox>(dialog, "pageBackground")->setCurrentIndex(3);
    dialog.accept();
    QCOMPARE(settings.loadLastFile, 1);
    QCOMPARE(settings.quickFindDelay, 42);
    QCOMPARE(settings.pageBackground, 3);

    PreferencesDialog again(settings, dialogs, nullptr);
    Child<QLineEdit>(again, "quickFindDelay")->clear();
    again.accept();
    QCOMPARE(settings.quickFindDelay, 0);
  }

  // A colour picked is stored at once and survives Cancel; a cancelled colour dialog changes nothing.
  void selectStoresTheColourAtOnce() {
    SettingsStore settings;
    ScriptedDialogs dialogs;
    dialogs.colours.append(QColor(255, 0, 0));
    PreferencesDialog dialog(settings, dialogs, nullptr);
    Child<QComboBox>(dialog, "pageBackground")->setCurrentIndex(0);
    QTest::mouseClick(Child<QPushButton>(dialog, "selectColour"), Qt::LeftButton);
    QCOMPARE(QColor(settings.backRValue, settings.backGValue, settings.backBValue), QColor(255, 0, 0));
    QTest::mouseClick(Child<QPushButton>(dialog, "selectColour"), Qt::LeftButton);  // cancelled
    QCOMPARE(QColor(settings.backRValue, settings.backGValue, settings.backBValue), QColor(255, 0, 0));
    dialog.reject();
    QCOMPARE(settings.pageBackground, 1);
  }
};

QTEST_MAIN(PreferencesDialogTest)
#include "preferences_dialog_qtest.moc"
