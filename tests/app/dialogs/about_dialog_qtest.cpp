// The About box as the user sees it: its caption, the program's picture, the text "Version 2.8", and
// the OK button that closes it; and the real dialogs show it for the About command.
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/dialogs/about_dialog.h"
#include "app/dialogs/qt_user_dialogs.h"

using namespace lv;

class AboutDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void showsPictureAndVersion() {
    AboutDialog about(nullptr);
    QCOMPARE(about.windowTitle(), QStringLiteral("About Librovance"));
    QStringList texts;
    int pictures = 0;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
      if (!label->text().isEmpty()) texts << label->text();
      if (!label->pixmap().isNull()) ++pictures;
    }
    QCOMPARE(texts, QStringList{QStringLiteral("Version 2.8")});
    QCOMPARE(pictures, 1);
  }

  void isWideEnoughForItsCaption() {
    AboutDialog about(nullptr);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QFont bold = QApplication::font();
    bold.setBold(true);
    QVERIFY(about.width() >= QFontMetrics(bold).horizontalAdvance(about.windowTitle()) + AboutDialog::kTitleBarRoom);
  }

  void okClosesIt() {
    QString shownCaption;
    QTimer::singleShot(0, [&] {
      QWidget* about = QApplication::activeModalWidget();
      if (about == nullptr) return;
      shownCaption = about->windowTitle();
      QPushButton* ok = about->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
      QTest::mouseClick(ok, Qt::LeftButton);
    });
    QtUserDialogs().ShowAbout(nullptr);  // returns once OK is pressed
    QCOMPARE(shownCaption, QStringLiteral("About Librovance"));
  }
};

QTEST_MAIN(AboutDialogTest)
#include "about_dialog_qtest.moc"
