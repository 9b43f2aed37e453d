#include "explorer/Win7TaskBarUtils.h"
#include "platform/LauncherProgress.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QtTest>

// Collects the launcher signals that reach a second connection to the same bus, as a dock
// would see them.
class TLauncherProbe : public QObject {
  Q_OBJECT

 public:
  struct TUpdate {
    QString Application;
    double Progress = -1.0;
    bool Visible = false;
    QString Signature;
  };
  QList<TUpdate> FUpdates;

 public slots:
  void OnUpdate(const QDBusMessage& message) {
    TUpdate update;
    update.Signature = message.signature();
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() == 2) {
      update.Application = arguments[0].toString();
      const QVariantMap properties = qdbus_cast<QVariantMap>(arguments[1]);
      update.Progress = properties.value(QStringLiteral("progress"), -1.0).toDouble();
      update.Visible = properties.value(QStringLiteral("progress-visible")).toBool();
    }
    FUpdates.append(update);
  }
};

class TestLauncherProgress : public QObject {
  Q_OBJECT

 private:
  TLauncherProbe FProbe;
  bool FListening = false;

  void Expect(const QList<QPair<double, bool>>& updates) {
    QTRY_COMPARE(FProbe.FUpdates.size(), updates.size());
    for (qsizetype i = 0; i < updates.size(); ++i) {
      const TLauncherProbe::TUpdate& got = FProbe.FUpdates[i];
      QCOMPARE(got.Signature, QStringLiteral("sa{sv}"));
      QCOMPARE(got.Application, QStringLiteral("application://veskora.desktop"));
      QCOMPARE(got.Progress, updates[i].first);
      QCOMPARE(got.Visible, updates[i].second);
    }
  }

 private slots:
  void initTestCase() {
    if (!QDBusConnection::sessionBus().isConnected()) return;
    QDBusConnection probe =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("probe"));
    FListening = probe.connect(QString(), QString::fromLatin1(TLauncherProgress::kObjectPath),
                               QStringLiteral("com.canonical.Unity.LauncherEntry"),
                               QStringLiteral("Update"), &FProbe, SLOT(OnUpdate(QDBusMessage)));
    QVERIFY(FListening);
  }
  void cleanupTestCase() { QDBusConnection::disconnectFromBus(QStringLiteral("probe")); }
  void init() { FProbe.FUpdates.clear(); }

  void QuietWithoutConnection() {
    QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/veskora-bus"),
                                  QStringLiteral("nobus"));
    TLauncherProgress launcher(QStringLiteral("nobus"));
    QVERIFY(!launcher.Available());
    QVERIFY(!launcher.SetValue(1, 2));
    QVERIFY(!launcher.SetVisible(true));
    QVERIFY(!launcher.SetVisible(false));
    QDBusConnection::disconnectFromBus(QStringLiteral("nobus"));
  }

  // Run once with the private test bus and once with none (see launcher.cmake).
  void TaskbarFunctionsFollowTheBus() {
    if (QDBusConnection::sessionBus().isConnected()) {
      QVERIFY(InitTaskbarProgress());
      QVERIFY(InitTaskbarProgress());
      QVERIFY(TaskbarProgressAvailable());
      QVERIFY(SetTaskbarProgressValue(1, 4));
      QVERIFY(SetTaskbarProgressState(2));
      QVERIFY(SetTaskbarProgressState(7));  // unknown: hides
      QVERIFY(SetTaskbarProgressState(0));
      Expect({{0.25, true}, {0.25, true}, {0.25, false}, {0.25, false}});
    } else {
      QVERIFY(!InitTaskbarProgress());
      QVERIFY(!TaskbarProgressAvailable());
      QVERIFY(!SetTaskbarProgressValue(1, 4));
      QVERIFY(!SetTaskbarProgressState(2));
      QVERIFY(!SetTaskbarProgressState(0));
    }
  }

  void ValuesAreThinnedHideIsAlwaysSent() {
    if (!FListening) QSKIP("no session bus");
    TLauncherProgress launcher(QDBusConnection::sessionBus().name());
    QVERIFY(launcher.Available());
    QVERIFY(launcher.SetValue(50, 100));
    QVERIFY(launcher.SetValue(505, 1000));  // still 50 %: not sent
    QVERIFY(launcher.SetValue(510, 1000));
    QVERIFY(launcher.SetVisible(false));
    QVERIFY(launcher.SetValue(510, 1000));  // same value, but hidden before: sent
    QVERIFY(launcher.SetValue(7, 0));       // no total: nothing done
    QVERIFY(launcher.SetValue(300, 100));   // past the end: full
    QVERIFY(launcher.SetVisible(false));
    QVERIFY(launcher.SetVisible(false));
    Expect({{0.5, true},
            {0.51, true},
            {0.51, false},
            {0.51, true},
            {0.0, true},
            {1.0, true},
            {1.0, false},
            {1.0, false}});
  }
};

QTEST_GUILESS_MAIN(TestLauncherProgress)
#include "tst_launcherprogress.moc"
