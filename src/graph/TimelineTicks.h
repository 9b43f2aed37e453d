#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>
#include <vector>

// The time axis arithmetic: which level of ticks a view gets, where its ticks fall, which are
// major, which carry a weekend band, and the label texts. All calendar work is in UTC; times
// are milliseconds since 1970-01-01 UTC.

inline constexpr std::int64_t kMsPerDay = 86400000;

enum TTickLevel { tlMinutes, tlHours, tlDays, tlDaysByMonth, tlMonths };

// The level for a view spanning spanDays from the midnight before its left edge.
TTickLevel TimelineTickLevel(double spanDays);

struct TTick {
  std::int64_t Time = 0;
  bool Major = false;    // long tick with a label
  bool Weekend = false;  // a one-day weekend band starts here
};

struct TTickRun {
  TTickLevel Level = tlMinutes;
  std::vector<TTick> Ticks;
};

// The ticks of a view whose edges lie at the times leftTime and rightTime: from the level's
// starting point at or before the left edge while the tick is before the right edge.
//
// At the months level the step widens to whole years, decades, … once a view would hold more
// than kMaxMonthTicks ticks, so absurd file times cannot make one paint endless.
TTickRun TimelineTicks(double leftTime, double rightTime);
inline constexpr int kMaxMonthTicks = 2400;

// The label of a major tick at its level: "hh:mm", "ddd dd MMM yyyy" or "MMM yyyy", with the
// locale's day and month names.
QString TimelineTickLabel(TTickLevel level, std::int64_t time, const QLocale& locale = QLocale());

// Calendar helpers on days since 1970-01-01 (proleptic Gregorian, any 64-bit day count).
struct TCivilDate {
  std::int64_t Year = 1970;
  int Month = 1;  // 1 to 12
  int Day = 1;    // 1 to 31
};
TCivilDate CivilFromDays(std::int64_t days);
std::int64_t DaysFromCivil(std::int64_t year, int month, int day);
int IsoWeekday(std::int64_t days);  // Monday = 1 … Sunday = 7
