#include "explorer/ProgressClock.h"

#include <QtTest>

namespace {

constexpr qint64 kSecond = 1000;
constexpr qint64 kHour = 3600 * kSecond;
constexpr qint64 kDay = 24 * kHour;
// Times as the qint64 that QtTest's data columns hold. kTen is an arbitrary reading of the
// monotonic clock standing for 10:00:00.
constexpr qint64 kTen = 10 * kHour;

}  // namespace

class TestProgressClock : public QObject {
  Q_OBJECT

 private slots:
  void ScanExample() {
    TProgressClock clock;
    clock.FTaskCaption = QStringLiteral("Getting Files...");
    clock.Update(0, 100, kTen);
    const TProgressDisplay shown = clock.Update(50, 100, kTen + 30 * kSecond);
    QVERIFY(shown.Changed);
    QCOMPARE(shown.Maximum, 100);
    QCOMPARE(shown.Position, 50);
    QCOMPARE(shown.StatusText, QStringLiteral("Getting Files... (Time Remaining: 00:00:30)"));
  }

  void EqualDoneChangesNothing() {
    TProgressClock clock;
    clock.FTaskCaption = QStringLiteral("Getting MD5 Hashes...");
    clock.Update(0, 250, kTen);
    QVERIFY(clock.Update(100, 250, kTen + kSecond).Changed);
    const TProgressDisplay again = clock.Update(100, 250, kTen + 2 * kSecond);
    QVERIFY(!again.Changed);
    QVERIFY(again.StatusText.isEmpty());
    QCOMPARE(clock.FLastProgress, std::int64_t{100});

    // The last value survives into the next run: its first equal notice changes nothing.
    clock.FTaskCaption = QStringLiteral("Highlighting Duplicate Files...");
    QVERIFY(!clock.Update(100, 400, kTen + kHour).Changed);
  }

  void ZeroRestartsClockEvenWhenEqual() {
    TProgressClock clock;
    clock.FTaskCaption = QStringLiteral("Getting Files...");
    // A fresh clock's last value is 0: the first 0 changes nothing but starts the clock.
    QVERIFY(!clock.Update(0, 100, kTen).Changed);
    QCOMPARE(clock.FTaskStart, std::int64_t{kTen});
    QVERIFY(!clock.Update(0, 100, kTen + kHour).Changed);
    QCOMPARE(clock.FTaskStart, std::int64_t{kTen + kHour});
    const TProgressDisplay shown = clock.Update(10, 100, kTen + kHour + 10 * kSecond);
    QCOMPARE(shown.StatusText, QStringLiteral("Getting Files... (Time Remaining: 00:01:30)"));
  }

  void ZeroAfterOtherValueShowsWithDOfOne() {
    TProgressClock clock;
    clock.FTaskCaption = QStringLiteral("Getting MD5 Hashes...");
    clock.Update(0, 50, kTen);
    clock.Update(40, 50, kTen + 40 * kSecond);
    // A new run's 0 differs from the 40 before: the screen changes, the clock restarts, and
    // with no time elapsed nothing is estimated to remain.
    const TProgressDisplay shown = clock.Update(0, 50, kTen + kHour);
    QVERIFY(shown.Changed);
    QCOMPARE(shown.Position, 0);
    QCOMPARE(shown.Maximum, 50);
    QCOMPARE(shown.StatusText, QStringLiteral("Getting MD5 Hashes... (Time Remaining: 00:00:00)"));
  }

  void DoneBeyondTotal() {
    // The scan's percentage can pass 100: the bar stays full and nothing remains.
    TProgressClock clock;
    clock.FTaskCaption = QStringLiteral("Getting Files...");
    clock.Update(0, 100, kTen);
    const TProgressDisplay shown = clock.Update(104, 100, kTen + 52 * kSecond);
    QVERIFY(shown.Changed);
    QCOMPARE(shown.Position, 100);
    QCOMPARE(shown.Maximum, 100);
    QCOMPARE(shown.StatusText, QStringLiteral("Getting Files... (Time Remaining: 00:00:00)"));
  }

  void FormatRemaining_data() {
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64{0} << "00:00:00";
    QTest::newRow("seconds cut, not rounded") << 59 * kSecond + 999 << "00:00:59";
    QTest::newRow("all fields") << 12 * kHour + 34 * 60 * kSecond + 56 * kSecond << "12:34:56";
    QTest::newRow("last of a day") << kDay - 1 << "23:59:59";
    QTest::newRow("whole days dropped") << 3 * kDay + 2 * kHour + 5 * kSecond << "02:00:05";
    QTest::newRow("negative") << -1500 * kSecond << "00:00:00";
  }
  void FormatRemaining() {
    QFETCH(qint64, ms);
    QFETCH(QString, text);
    QCOMPARE(::FormatRemaining(ms), text);
  }

  void EstimateIsExactInMilliseconds_data() {
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QString>("remaining");
    // Ratios that a floating-point day fraction would land just below a whole second.
    QTest::newRow("30 s of 50/100") << 30 * kSecond << qint64{50} << qint64{100} << "00:00:30";
    QTest::newRow("thirds") << 10 * kSecond << qint64{3} << qint64{9} << "00:00:20";
    QTest::newRow("7 of 100") << 7 * kSecond << qint64{7} << qint64{100} << "00:01:33";
    QTest::newRow("half ms rounds up") << qint64{1999} << qint64{2} << qint64{3} << "00:00:01";
    QTest::newRow("two days ahead")
        << 2 * kHour << qint64{1} << qint64{26} << "02:00:00";  // 50 h, days dropped
    QTest::newRow("huge product") << 400 * kDay << qint64{1} << (qint64{1} << 50) << "00:00:00";
  }
  void EstimateIsExactInMilliseconds() {
    QFETCH(qint64, elapsed);
    QFETCH(qint64, done);
    QFETCH(qint64, total);
    QFETCH(QString, remaining);
    TProgressClock clock;
    clock.FTaskCaption = QStringLiteral("x");
    clock.Update(0, total, kTen);
    QCOMPARE(clock.Update(done, total, kTen + elapsed).StatusText,
             QStringLiteral("x (Time Remaining: %1)").arg(remaining));
  }

  void NowMsIsMonotonic() {
    const std::int64_t first = TProgressClock::NowMs();
    QVERIFY(TProgressClock::NowMs() >= first);
  }

  void ViewingText_data() {
    QTest::addColumn<qint64>("rows");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("three files") << qint64{3} << qint64{1536} << "Viewing 3 files (1536 bytes).";
    QTest::newRow("none") << qint64{0} << qint64{0} << "Viewing 0 files (0 bytes).";
    QTest::newRow("no separators") << qint64{1234567} << qint64{9876543210123}
                                   << "Viewing 1234567 files (9876543210123 bytes).";
  }
  void ViewingText() {
    QFETCH(qint64, rows);
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(ViewingStatusText(rows, bytes), text);
  }
};

QTEST_APPLESS_MAIN(TestProgressClock)
#include "tst_progressclock.moc"
