// The Search dialog as the user sees it: its controls in their initial states and tab sequence, the
// simple form that leaves only the first term, and what "Go!" and "Cancel" answer.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "app/dialogs/qt_user_dialogs.h"
#include "app/dialogs/search_dialog.h"

using namespace lv;

namespace {

template <typename T>
T* Control(const QWidget& dialog, const char* name) {
  T* control = dialog.findChild<T*>(QLatin1String(name));
  if (control == nullptr) qFatal("no control %s", name);
  return control;
}

QPushButton* Button(const QWidget& dialog, const QString& text) {
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->text() == text) return button;
  }
  qFatal("no button %s", qPrintable(text));
}

// The next control the Tab key reaches after control.
QWidget* NextTabStop(QWidget* control) {
  QWidget* next = control->nextInFocusChain();
  while ((next->focusPolicy() & Qt::TabFocus) == 0) next = next->nextInFocusChain();
  return next;
}

// Runs work on the modal dialog once it is up.
void WhenShown(std::function<void(QWidget&)> work) {
  QTimer::singleShot(0, [work] {
    if (QWidget* dialog = QApplication::activeModalWidget()) work(*dialog);
  });
}

}  // namespace

class SearchDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void opensWithItsInitialStates() {
    SearchDialog dialog(SearchDialogForm::kFull, nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Search..."));
    for (const char* name : {"term1", "term2", "term3"}) {
      QVERIFY(Control<QLineEdit>(dialog, name)->text().isEmpty());
      QVERIFY(Control<QLineEdit>(dialog, name)->isEnabled());
    }
    for (const char* name : {"operator1", "operator2"}) {
      const QComboBox* list = Control<QComboBox>(dialog, name);
      QCOMPARE(list->currentText(), QStringLiteral("AND"));
      QStringList items;
      for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
      QCOMPARE(items, (QStringList{QStringLiteral("AND"), QStringLiteral("OR"), QStringLiteral("NOT")}));
    }
    QCOMPARE(Control<QCheckBox>(dialog, "wholeWords")->text(), QStringLiteral("Match whole words only"));
    QVERIFY(Control<QCheckBox>(dialog, "wholeWords")->isChecked());
    QCOMPARE(Control<QCheckBox>(dialog, "subjectsOnly")->text(), QStringLiteral("Search within subjects only."));
    QVERIFY(!Control<QCheckBox>(dialog, "subjectsOnly")->isChecked());
    QVERIFY(Button(dialog, QStringLiteral("Go!"))->isDefault());
    Button(dialog, QStringLiteral("Cancel"));
    bool hasLabel = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) hasLabel |= label->text() == QStringLiteral("Find:");
    QVERIFY(hasLabel);

    const SearchDialogValues values = dialog.Values();
    QVERIFY(values.wholeWords);
    QVERIFY(!values.subjectsOnly);
    QCOMPARE(values.operator1, 0);
    QCOMPARE(values.operator2, 0);
  }

  void tabSequenceFollowsTheTermsAndOperators() {
    SearchDialog dialog(SearchDialogForm::kFull, nullptr);
    const QList<QWidget*> expected = {
        Control<QLineEdit>(dialog, "term1"),        Control<QComboBox>(dialog, "operator1"),
        Control<QLineEdit>(dialog, "term2"),        Control<QComboBox>(dialog, "operator2"),
        Control<QLineEdit>(dialog, "term3"),        Control<QCheckBox>(dialog, "wholeWords"),
        Control<QCheckBox>(dialog, "subjectsOnly"), Button(dialog, QStringLiteral("Go!")),
        Button(dialog, QStringLiteral("Cancel"))};
    for (qsizetype i = 1; i < expected.size(); ++i) QCOMPARE(NextTabStop(expected[i - 1]), expected[i]);
  }

  void simpleFormLeavesOnlyTheFirstTerm() {
    SearchDialog dialog(SearchDialogForm::kSimple, nullptr);
    QVERIFY(Control<QLineEdit>(dialog, "term1")->isEnabled());
    for (const char* name : {"term2", "term3"}) QVERIFY(!Control<QLineEdit>(dialog, name)->isEnabled());
    for (const char* name : {"operator1", "operator2"}) QVERIFY(!Control<QComboBox>(dialog, name)->isEnabled());
    for (const char* name : {"wholeWords", "subjectsOnly"}) QVERIFY(!Control<QCheckBox>(dialog, name)->isEnabled());
  }

  void goAnswersWhatWasFilledIn() {
    WhenShown([](QWidget& dialog) {
      QTest::keyClicks(Control<QLineEdit>(dialog, "term1"), QStringLiteral(" cat "));
      Control<QComboBox>(dialog, "operator1")->setCurrentIndex(2);
      QTest::keyClicks(Control<QLineEdit>(dialog, "term2"), QStringLiteral("dog"));
      Control<QComboBox>(dialog, "operator2")->setCurrentIndex(1);
      Control<QLineEdit>(dialog, "term3")->insert(QStringLiteral("café"));
      Control<QCheckBox>(dialog, "wholeWords")->setChecked(false);
      Control<QCheckBox>(dialog, "subjectsOnly")->setChecked(true);
      QTest::mouseClick(Button(dialog, QStringLiteral("Go!")), Qt::LeftButton);
    });
    const std::optional<SearchDialogValues> values = QtUserDialogs().AskSearch(nullptr, SearchDialogForm::kFull);
    QVERIFY(values.has_value());
    QCOMPARE(values->terms[0], QStringLiteral(" cat "));  // as typed: the search trims
    QCOMPARE(values->terms[1], QStringLiteral("dog"));
    QCOMPARE(values->terms[2], QStringLiteral("café"));
    QCOMPARE(values->operator1, 2);
    QCOMPARE(values->operator2, 1);
    QVERIFY(!values->wholeWords);
    QVERIFY(values->subjectsOnly);
  }

  void cancelAnswersNothing() {
    WhenShown([](QWidget& dialog) {
      QTest::keyClicks(Control<QLineEdit>(dialog, "term1"), QStringLiteral("cat"));
      QTest::mouseClick(Button(dialog, QStringLiteral("Cancel")), Qt::LeftButton);
    });
    QVERIFY(!QtUserDialogs().AskSearch(nullptr, SearchDialogForm::kFull).has_value());
  }
};

QTEST_MAIN(SearchDialogTest)
#include "search_dialog_qtest.moc"
