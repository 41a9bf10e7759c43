// The "Select Bookmark" dialog in both modes: its caption, its list, and the number "Remove" and
// "Cancel" answer.
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "app/dialogs/qt_user_dialogs.h"
#include "app/dialogs/select_bookmark_dialog.h"

using namespace lv;

namespace {

QPushButton* Button(const QWidget& dialog, const QString& text) {
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->text() == text) return button;
  }
  qFatal("no button %s", qPrintable(text));
}

QListWidget* List(const QWidget& dialog) { return dialog.findChild<QListWidget*>(QStringLiteral("bookmarkList")); }

// Shows the dialog through the real dialogs, lets choose act on it, and answers its result and caption.
int Run(SelectBookmarkMode mode, const QList<SelectBookmarkItem>& items, std::function<void(QWidget&)> choose,
        QString* caption = nullptr, QStringList* texts = nullptr) {
  QTimer::singleShot(0, [=] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) return;
    if (caption != nullptr) *caption = dialog->windowTitle();
    if (texts != nullptr) {
      for (int i = 0; i < List(*dialog)->count(); ++i) texts->append(List(*dialog)->item(i)->text());
    }
    choose(*dialog);
  });
  return QtUserDialogs().SelectBookmark(nullptr, mode, items);
}

const QList<SelectBookmarkItem> kItems = {{QStringLiteral("Apple"), 1}, {QStringLiteral("Fig & Date"), 3}};

}  // namespace

class SelectBookmarkDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void removeAnswersTheChosenItemsNumber() {
    QString caption;
    QStringList texts;
    const int chosen = Run(
        SelectBookmarkMode::kBookmarks, kItems,
        [](QWidget& dialog) {
          List(dialog)->setCurrentRow(1);
          QTest::mouseClick(Button(dialog, QStringLiteral("Remove")), Qt::LeftButton);
        },
        &caption, &texts);
    QCOMPARE(chosen, 3);
    QCOMPARE(caption, QStringLiteral("Select Bookmark"));
    QCOMPARE(texts, (QStringList{QStringLiteral("Apple"), QStringLiteral("Fig & Date")}));
  }

  void favouritesModeHasItsOwnCaption() {
    QString caption;
    const int chosen = Run(
        SelectBookmarkMode::kFavourites, {{QStringLiteral("fruit.lv (/books/fruit.lv)"), 0}},
        [](QWidget& dialog) {
          List(dialog)->setCurrentRow(0);
          QTest::mouseClick(Button(dialog, QStringLiteral("Remove")), Qt::LeftButton);
        },
        &caption);
    QCOMPARE(chosen, 0);
    QCOMPARE(caption, QStringLiteral("Remove Favourite"));
  }

  void nothingChosenOrCancelledAnswersMinusOne() {
    QCOMPARE(Run(SelectBookmarkMode::kBookmarks, kItems,
                 [](QWidget& dialog) { QTest::mouseClick(Button(dialog, QStringLiteral("Remove")), Qt::LeftButton); }),
             -1);
    QCOMPARE(Run(SelectBookmarkMode::kBookmarks, kItems,
                 [](QWidget& dialog) {
                   List(dialog)->setCurrentRow(0);
                   QTest::mouseClick(Button(dialog, QStringLiteral("Cancel")), Qt::LeftButton);
                 }),
             -1);
    QCOMPARE(Run(SelectBookmarkMode::kBookmarks, {},
                 [](QWidget& dialog) { QTest::mouseClick(Button(dialog, QStringLiteral("Remove")), Qt::LeftButton); }),
             -1);
  }
};

QTEST_MAIN(SelectBookmarkDialogTest)
#include "select_bookmark_dialog_qtest.moc"
