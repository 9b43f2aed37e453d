// The time axis (levels, tick positions, majors, weekend bands, labels), the tile colours and
// the picture box rule: pure arithmetic, no window.

#include "graph/VeskoraXGraphUtils.h"

#include <QTest>

namespace {

constexpr std::int64_t kMinute = 60000;
constexpr std::int64_t kHour = 3600000;
constexpr std::int64_t kDay = 86400000;

std::int64_t At(int year, int month, int day, int hour = 0, int minute = 0) {
  return DaysFromCivil(year, month, day) * kDay + hour * kHour + minute * kMinute;
}

}  // namespace

Q_DECLARE_METATYPE(TTickLevel)

class TTimelineTicksTest : public QObject {
  Q_OBJECT

 private slots:
  void level_data() {
    QTest::addColumn<qint64>("left");
    QTest::addColumn<qint64>("right");
    QTest::addColumn<TTickLevel>("level");
    const qint64 midnight = At(2015, 1, 1);
    QTest::newRow("9 h 59 min") << midnight << midnight + 9 * kHour + 59 * kMinute << tlMinutes;
    QTest::newRow("10 h") << midnight << midnight + 10 * kHour << tlHours;
    // Counted from the midnight before the left edge: 22 hours, not 2.
    QTest::newRow("20:00 to 22:00") << midnight + 20 * kHour << midnight + 22 * kHour << tlHours;
    QTest::newRow("just under 10 days") << midnight << midnight + 10 * kDay - 1 << tlHours;
    QTest::newRow("10 days") << midnight << midnight + 10 * kDay << tlDays;
    QTest::newRow("70 days") << midnight << midnight + 70 * kDay << tlDaysByMonth;
    QTest::newRow("300 days") << midnight << midnight + 300 * kDay << tlMonths;
  }
  void level() {
    QFETCH(qint64, left);
    QFETCH(qint64, right);
    QFETCH(TTickLevel, level);
    QCOMPARE(TimelineTicks(left, right).Level, level);
  }

  void minutes() {
    const std::int64_t start = At(2015, 1, 3, 3, 30);
    const TTickRun run = TimelineTicks(start + 5 * kMinute, start + 2 * kHour);
    QCOMPARE(run.Level, tlMinutes);
    // From the midnight before the left edge, one tick a minute, up to the right edge.
    QCOMPARE(run.Ticks.front().Time, At(2015, 1, 3));
    QCOMPARE(run.Ticks.size(), std::size_t(5 * 60 + 30));
    for (const TTick& tick : run.Ticks) {
      QCOMPARE(tick.Major, (tick.Time % kHour) == 0);
      QVERIFY(!tick.Weekend);  // 2015-01-03 is a Saturday: still no band at this level
    }
  }

  void hoursMarkWeekendMidnights() {
    const TTickRun run = TimelineTicks(At(2015, 1, 2, 6), At(2015, 1, 6, 12));  // Fri to Tue
    QCOMPARE(run.Level, tlHours);
    QCOMPARE(run.Ticks.front().Time, At(2015, 1, 2));
    QList<std::int64_t> majors, weekends;
    for (const TTick& tick : run.Ticks) {
      if (tick.Major) majors << tick.Time;
      if (tick.Weekend) weekends << tick.Time;
    }
    QCOMPARE(majors, (QList<std::int64_t>{At(2015, 1, 2), At(2015, 1, 3), At(2015, 1, 4),
                                          At(2015, 1, 5), At(2015, 1, 6)}));
    QCOMPARE(weekends, (QList<std::int64_t>{At(2015, 1, 3), At(2015, 1, 4)}));
  }

  void daysStartOnMonday() {
    // Wednesday 2015-01-07 noon: the first tick is Monday the 5th.
    const TTickRun run = TimelineTicks(At(2015, 1, 7, 12), At(2015, 1, 30));
    QCOMPARE(run.Level, tlDays);
    QCOMPARE(run.Ticks.front().Time, At(2015, 1, 5));
    QCOMPARE(run.Ticks.back().Time, At(2015, 1, 29));
    for (const TTick& tick : run.Ticks) {
      const int weekday = IsoWeekday(tick.Time / kDay);
      QCOMPARE(tick.Major, weekday == 1);
      QCOMPARE(tick.Weekend, weekday >= 6);
    }
  }

  void daysByMonthStartOnTheFirst() {
    const TTickRun run = TimelineTicks(At(2015, 1, 20), At(2015, 4, 30));
    QCOMPARE(run.Level, tlDaysByMonth);
    QCOMPARE(run.Ticks.front().Time, At(2015, 1, 1));
    int majors = 0;
    for (const TTick& tick : run.Ticks) {
      QCOMPARE(tick.Major, CivilFromDays(tick.Time / kDay).Day == 1);
      QCOMPARE(tick.Weekend, IsoWeekday(tick.Time / kDay) >= 6);
      majors += tick.Major;
    }
    QCOMPARE(majors, 4);
  }

  void monthsStepCalendarMonths() {
    const TTickRun run = TimelineTicks(At(2015, 5, 10), At(2016, 3, 15));
    QCOMPARE(run.Level, tlMonths);
    QList<std::int64_t> times;
    for (const TTick& tick : run.Ticks) {
      times << tick.Time;
      QCOMPARE(tick.Major, CivilFromDays(tick.Time / kDay).Month == 1);
      QVERIFY(!tick.Weekend);
    }
    QCOMPARE(times.size(), 15);  // Jan 2015 … Mar 2016
    QCOMPARE(times[0], At(2015, 1, 1));
    QCOMPARE(times[1], At(2015, 2, 1));
    QCOMPARE(times[2], At(2015, 3, 1));  // February's 28 days land on the 1st
    QCOMPARE(times[14], At(2016, 3, 1));
  }

  void absurdSpanStaysBounded() {
    const TTickRun run = TimelineTicks(-9.2e18, 9.2e18);
    QCOMPARE(run.Level, tlMonths);
    QVERIFY(!run.Ticks.empty());
    QVERIFY(run.Ticks.size() <= std::size_t(2 * kMaxMonthTicks));
    for (const TTick& tick : run.Ticks) QVERIFY(tick.Major);  // whole steps of years
  }

  void labels_data() {
    QTest::addColumn<TTickLevel>("level");
    QTest::addColumn<qint64>("time");
    QTest::addColumn<QString>("label");
    QTest::newRow("minutes") << tlMinutes << qint64(At(2015, 1, 3, 13, 45)) << "13:45";
    QTest::newRow("midnight") << tlMinutes << qint64(At(2015, 1, 3)) << "00:00";
    QTest::newRow("hours") << tlHours << qint64(At(2015, 1, 3)) << "Sat 03 Jan 2015";
    QTest::newRow("days") << tlDays << qint64(At(2015, 1, 5)) << "Mon 05 Jan 2015";
    QTest::newRow("days by month") << tlDaysByMonth << qint64(At(2015, 2, 1)) << "Feb 2015";
    QTest::newRow("months") << tlMonths << qint64(At(2016, 1, 1)) << "Jan 2016";
    QTest::newRow("before 1970") << tlDays << qint64(At(1969, 12, 29)) << "Mon 29 Dec 1969";
  }
  void labels() {
    QFETCH(TTickLevel, level);
    QFETCH(qint64, time);
    QFETCH(QString, label);
    QCOMPARE(TimelineTickLabel(level, time, QLocale::c()), label);
  }

  void localeNames() {
    const QString label =
        TimelineTickLabel(tlDays, At(2015, 1, 5), QLocale(QLocale::German, QLocale::Germany));
    QVERIFY2(label.startsWith(QStringLiteral("Mo")) && label.contains(QStringLiteral("Jan")),
             qPrintable(label));
  }

  void civilDates_data() {
    QTest::addColumn<qint64>("days");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("weekday");
    QTest::newRow("epoch") << qint64(0) << 1970 << 1 << 1 << 4;
    QTest::newRow("day before") << qint64(-1) << 1969 << 12 << 31 << 3;
    QTest::newRow("leap day") << qint64(11016) << 2000 << 2 << 29 << 2;
    QTest::newRow("day 0 of the day numbers") << qint64(-25569) << 1899 << 12 << 30 << 6;
  }
  void civilDates() {
    QFETCH(qint64, days);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, weekday);
    const TCivilDate date = CivilFromDays(days);
    QCOMPARE(date.Year, std::int64_t(year));
    QCOMPARE(date.Month, month);
    QCOMPARE(date.Day, day);
    QCOMPARE(DaysFromCivil(year, month, day), std::int64_t(days));
    QCOMPARE(IsoWeekday(days), weekday);
  }

  void itemColors() {
    QCOMPARE(TimelineItemColor(3, false), QColor(0x10, 0x96, 0x18));
    QCOMPARE(TimelineItemColor(22, false), TimelineItemColor(3, false));
    QCOMPARE(TimelineItemColor(0, false), QColor(0x33, 0x66, 0xCC));
    QCOMPARE(TimelineItemColor(18, false), QColor(0x55, 0x74, 0xA6));
    QCOMPARE(TimelineItemColor(-1, false), QColor::fromRgb(kNoTypeItemColor));
    QCOMPARE(TimelineItemColor(3, true), QColor(0, 0, 255));
    QCOMPARE(TimelineItemColor(-1, true), QColor(0, 0, 255));
  }

  void fitPicture_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("fitted");  // left, top, width, height in a 36-pixel box at (2, 2)
    QTest::newRow("landscape 200 x 100") << QSize(200, 100) << QRect(2, 11, 36, 18);
    QTest::newRow("portrait 100 x 200") << QSize(100, 200) << QRect(11, 2, 18, 36);
    QTest::newRow("square") << QSize(50, 50) << QRect(2, 2, 36, 36);
    QTest::newRow("4.5 rounds to even") << QSize(4, 3) << QRect(2, 6, 36, 28);
    QTest::newRow("no area") << QSize(0, 100) << QRect(0, 0, 0, 0);
  }
  void fitPicture() {
    QFETCH(QSize, picture);
    QFETCH(QRect, fitted);
    const TEdges box = FitPictureBox({2, 2, 38, 38}, picture);
    QCOMPARE(QRect(box.Left, box.Top, box.Right - box.Left, box.Bottom - box.Top), fitted);
  }
};

QTEST_APPLESS_MAIN(TTimelineTicksTest)
#include "tst_timelineticks.moc"
