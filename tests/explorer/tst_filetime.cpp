#include "explorer/FileNodeData.h"
#include "explorer/FileTime.h"

#include <QTest>

#include <limits>

namespace {
constexpr qint64 kTicksAt1970 = 116444736000000000;
constexpr qint64 kMsPerDay = 86400000;
}  // namespace

class TFileTimeTest : public QObject {
  Q_OBJECT

 private slots:
  void fromFileTime_data() {
    QTest::addColumn<qint64>("ticks");
    QTest::addColumn<qint64>("ms");
    QTest::newRow("1970") << kTicksAt1970 << qint64(0);
    QTest::newRow("1601") << qint64(0) << qint64(-11644473600000);
    QTest::newRow("one tick before 1970 is the previous ms") << kTicksAt1970 - 1 << qint64(-1);
    QTest::newRow("last tick of ms 0") << kTicksAt1970 + 9999 << qint64(0);
    QTest::newRow("ms 1") << kTicksAt1970 + 10000 << qint64(1);
    QTest::newRow("before 1601") << qint64(-1) << qint64(-11644473600001);
  }
  void fromFileTime() {
    QFETCH(qint64, ticks);
    QFETCH(qint64, ms);
    QCOMPARE(UnixMsFromFileTime(ticks), ms);
  }

  void fromTimespec_data() {
    QTest::addColumn<qint64>("sec");
    QTest::addColumn<qint64>("nsec");
    QTest::addColumn<qint64>("ms");
    QTest::newRow("epoch") << qint64(0) << qint64(0) << qint64(0);
    QTest::newRow("sub-ms part dropped") << qint64(1) << qint64(1999999) << qint64(1001);
    QTest::newRow("last ns of 1969") << qint64(-1) << qint64(999999999) << qint64(-1);
    QTest::newRow("one second before 1970") << qint64(-1) << qint64(0) << qint64(-1000);
    QTest::newRow("negative nsec") << qint64(0) << qint64(-1) << qint64(-1);
    QTest::newRow("nsec past a second") << qint64(0) << qint64(2500000000) << qint64(2500);
    QTest::newRow("after 2038") << qint64(2147483648) << qint64(0) << qint64(2147483648000);
    QTest::newRow("year 1900") << qint64(-2208988800) << qint64(0) << qint64(-2208988800000);
    QTest::newRow("far future saturates")
        << std::numeric_limits<qint64>::max() << qint64(0) << std::numeric_limits<qint64>::max();
  }
  void fromTimespec() {
    QFETCH(qint64, sec);
    QFETCH(qint64, nsec);
    QFETCH(qint64, ms);
    QCOMPARE(UnixMsFromTimespec(sec, nsec), ms);
  }

  void fromTimespecNeverGivesUnknown() {
    QVERIFY(UnixMsFromTimespec(std::numeric_limits<qint64>::min(), 0) != kUnknownTime);
    QVERIFY(UnixMsFromTimespec(std::numeric_limits<qint64>::min() / 1000, 0) < -11644473600000);
  }

  void timespecMatchesTickRoute() {
    for (qint64 sec : {qint64(-5000000000), qint64(-1), qint64(0), qint64(1700000000)})
      for (qint64 nsec : {qint64(0), qint64(99), qint64(100), qint64(999999), qint64(999999999)})
        QCOMPARE(UnixMsFromTimespec(sec, nsec),
                 UnixMsFromFileTime(sec * 10000000 + nsec / 100 + kTicksAt1970));
  }

  void dayNumber_data() {
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<double>("days");
    QTest::newRow("1970") << qint64(0) << 25569.0;
    QTest::newRow("noon next day") << qint64(kMsPerDay + kMsPerDay / 2) << 25570.5;
    QTest::newRow("day before") << qint64(-kMsPerDay) << 25568.0;
    QTest::newRow("day 0") << qint64(-25569 * kMsPerDay) << 0.0;
  }
  void dayNumber() {
    QFETCH(qint64, ms);
    QFETCH(double, days);
    QCOMPARE(DateTimeFromUnixMs(ms), days);
  }

  void text_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("text");
    const QLocale c = QLocale::c();
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    QTest::newRow("midnight 1970: date only") << c << qint64(0) << "1 Jan 1970";
    QTest::newRow("half a second past midnight") << c << qint64(500) << "1 Jan 1970 00:00:00";
    QTest::newRow("before 1970") << c << qint64(-1) << "31 Dec 1969 23:59:59";
    QTest::newRow("after 2038") << c << qint64(2147483648000) << "19 Jan 2038 03:14:08";
    QTest::newRow("midnight before 1970") << c << -kMsPerDay << "31 Dec 1969";
    QTest::newRow("unknown") << c << qint64(kUnknownTime) << "";
    QTest::newRow("us") << us << qint64(13 * 3600000 + 5000) << "1/1/70 1:00:05 PM";
    QTest::newRow("de") << de << qint64(13 * 3600000 + 5000) << "01.01.70 13:00:05";
  }
  void text() {
    QFETCH(QLocale, locale);
    QFETCH(qint64, ms);
    QFETCH(QString, text);
    QCOMPARE(DateTimeText(ms, locale), text);
  }
};

QTEST_GUILESS_MAIN(TFileTimeTest)
#include "tst_filetime.moc"
