// The HotSync command of the running program: it opens the window for the open tome, the setting
// "HotSyncPath" names the HotSync folder, and with nothing open it only says so.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/dialogs/hotsync_dialog.h"
#include "app/dialogs/palm_install.h"
#include "app_fixture.h"

using namespace lv;

class HotSyncCommandTest : public QObject {
  Q_OBJECT

 private slots:
  void exportsTheOpenTomeIntoTheChosenHotSyncFolder() {
    AppHarness harness;
    const QString hotSync = harness.Path(QStringLiteral("My HotSync"));
    QDir().mkpath(hotSync + QStringLiteral("/anna"));
    harness.WriteSettings({{"HotSyncPath", hotSync}});
    harness.Start({harness.FruitTome()});
    QVERIFY(harness.Window().Action(CommandId::kHotSync)->isEnabled());
    harness.Window().Action(CommandId::kHotSync)->trigger();
    auto* window = harness.Window().findChild<HotSyncDialog*>();
    QVERIFY(window && window->isVisible() && !window->isModal());
    auto* output = window->findChild<QLineEdit*>(QStringLiteral("outputFile"));
    QCOMPARE(window->findChild<QLineEdit*>(QStringLiteral("palmTomeName"))->text(), QStringLiteral("fruit"));
    output->setText(harness.Path(QStringLiteral("fruit.pdb")));
    harness.dialogs.hotSyncUserAnswers << QStringLiteral("anna");
    QSignalSpy finished(window, &HotSyncDialog::exportFinished);
    window->accept();
    QVERIFY(finished.wait(60000));
    QCOMPARE(harness.dialogs.hotSyncFolders, QStringList{hotSync});
    QVERIFY(QFile::exists(hotSync + QStringLiteral("/anna/Install/fruit.pdb")));
    QCOMPARE(harness.dialogs.shown.last().text, QString::fromLatin1(kInstalledText));
    harness.Close();
    // The folder is the user's own choice: it is not written back.
    QCOMPARE(harness.ReadSetting(QStringLiteral("HotSyncPath")).toString(), hotSync);
  }

  void withNothingOpenItSaysSo() {
    AppHarness harness;
    harness.Start();
    harness.Window().Action(CommandId::kHotSync)->trigger();
    QCOMPARE(harness.dialogs.shown.size(), 1);
    QCOMPARE(harness.dialogs.shown.first().text, QString::fromLatin1(kNothingToExportText));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!harness.Window().findChild<HotSyncDialog*>());
  }
};

QTEST_MAIN(HotSyncCommandTest)
#include "hotsync_command_qtest.moc"
