// "Select HotSync User" and the notice about the 2.8 Palm format: what they show, and the real dialogs
// answering with the user's choice.
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/dialogs/qt_user_dialogs.h"
#include "app/dialogs/select_hotsync_user_dialog.h"

using namespace lv;

class HotSyncUserDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void selectHotSyncUserListsTheUsersOrSaysHowToAddOne() {
    SelectHotSyncUserDialog users({QStringLiteral("anna"), QStringLiteral("bob")}, QStringLiteral("/h"), nullptr);
    QCOMPARE(users.windowTitle(), QStringLiteral("Select HotSync User"));
    QCOMPARE(users.SelectedUser(), QStringLiteral("anna"));
    QVERIFY(!users.findChild<QLabel*>(QStringLiteral("noUserHint")));

    SelectHotSyncUserDialog none({}, QStringLiteral("/home/me/HotSync"), nullptr);
    QCOMPARE(none.findChild<QListWidget*>()->count(), 0);
    const QLabel* hint = none.findChild<QLabel*>(QStringLiteral("noUserHint"));
    QVERIFY(hint && hint->text().contains(QStringLiteral("/home/me/HotSync")));
    QCOMPARE(none.SelectedUser(), QString());
  }

  // The real dialogs, answered by clicks on the modal window they show.
  void theRealDialogsAnswerWithTheUsersChoice() {
    auto answer = [](const std::function<void(QWidget*)>& act) {
      QTimer::singleShot(0, [act] {
        if (QWidget* shown = QApplication::activeModalWidget()) act(shown);
      });
    };
    auto press = [](QWidget* dialog, QDialogButtonBox::StandardButton which) {
      QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(which), Qt::LeftButton);
    };
    const QStringList users{QStringLiteral("anna"), QStringLiteral("bob")};
    answer([&](QWidget* shown) {
      shown->findChild<QListWidget*>()->setCurrentRow(1);
      press(shown, QDialogButtonBox::Ok);
    });
    QCOMPARE(QtUserDialogs().SelectHotSyncUser(nullptr, users, QStringLiteral("/h")), QStringLiteral("bob"));
    answer([&](QWidget* shown) { press(shown, QDialogButtonBox::Cancel); });
    QCOMPARE(QtUserDialogs().SelectHotSyncUser(nullptr, users, QStringLiteral("/h")), QString());

    QStringList texts;
    answer([&](QWidget* shown) {
      for (const QLabel* label : shown->findChildren<QLabel*>()) texts << label->text();
      shown->findChild<QCheckBox*>()->setChecked(true);
      press(shown, QDialogButtonBox::Ok);
    });
    QVERIFY(QtUserDialogs().ShowNewFormatNotice(nullptr));
    QCOMPARE(texts.size(), 3);
    QCOMPARE(texts.first(),
             QStringLiteral("You must have Librovance Palm ver 2.8 installed to use the 2.8 file format."));
    answer([&](QWidget* shown) { press(shown, QDialogButtonBox::Ok); });
    QVERIFY(!QtUserDialogs().ShowNewFormatNotice(nullptr));
  }
};

QTEST_MAIN(HotSyncUserDialogsTest)
#include "hotsync_user_dialogs_qtest.moc"
