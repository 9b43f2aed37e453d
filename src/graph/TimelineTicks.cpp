#include "graph/TimelineTicks.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int64_t kMsPerMinute = 60000;
constexpr std::int64_t kMsPerHour = 3600000;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

std::int64_t DayOf(std::int64_t time) { return FloorDiv(time, kMsPerDay); }

bool IsWeekendDay(std::int64_t day) { return IsoWeekday(day) >= 6; }

std::int64_t AddMonths(std::int64_t day, std::int64_t months) {
  const TCivilDate date = CivilFromDays(day);
  const std::int64_t index = date.Year * 12 + (date.Month - 1) + months;
  return DaysFromCivil(FloorDiv(index, 12), static_cast<int>(index - FloorDiv(index, 12) * 12) + 1,
                       1);
}

}  // namespace

TCivilDate CivilFromDays(std::int64_t days) {
  // Days to year, month and day through 400-year eras, valid over the whole 64-bit range that
  // millisecond times can reach.
  const std::int64_t z = days + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = FloorDiv(year, 400);
  const std::int64_t yoe = year - era * 400;
  const std::int64_t doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

int IsoWeekday(std::int64_t days) {
  // 1970-01-01 was a Thursday.
  return static_cast<int>((days % 7 + 7 + 3) % 7) + 1;
}

TTickLevel TimelineTickLevel(double spanDays) {
  if (spanDays < 10.0 / 24.0) return tlMinutes;
  if (spanDays < 10.0) return tlHours;
  if (spanDays < 70.0) return tlDays;
  if (spanDays < 300.0) return tlDaysByMonth;
  return tlMonths;
}

TTickRun TimelineTicks(double leftTime, double rightTime) {
  TTickRun run;
  if (!std::isfinite(leftTime) || !std::isfinite(rightTime)) return run;
  // Times beyond the 64-bit millisecond range cannot be files' times; keep clear of overflow.
  constexpr double kLimit = 9.0e18;
  leftTime = std::clamp(leftTime, -kLimit, kLimit);
  rightTime = std::clamp(rightTime, -kLimit, kLimit);

  const std::int64_t leftDay = DayOf(static_cast<std::int64_t>(std::floor(leftTime)));
  std::int64_t t = leftDay * kMsPerDay;
  const double spanDays = (rightTime - static_cast<double>(t)) / static_cast<double>(kMsPerDay);
  run.Level = TimelineTickLevel(spanDays);

  switch (run.Level) {
    case tlMinutes:
    case tlHours: {
      const std::int64_t step = run.Level == tlMinutes ? kMsPerMinute : kMsPerHour;
      for (; static_cast<double>(t) < rightTime; t += step) {
        const std::int64_t day = DayOf(t);
        const std::int64_t ofDay = t - day * kMsPerDay;
        TTick tick{t, false, false};
        if (run.Level == tlMinutes) {
          tick.Major = (ofDay / kMsPerMinute) % 60 == 0;
        } else {
          tick.Major = ofDay / kMsPerHour == 0;
          tick.Weekend = tick.Major && IsWeekendDay(day);
        }
        run.Ticks.push_back(tick);
      }
      break;
    }
    case tlDays:
    case tlDaysByMonth: {
      std::int64_t day = leftDay;
      if (run.Level == tlDays) {
        day -= IsoWeekday(day) - 1;
      } else {
        day -= CivilFromDays(day).Day - 1;
      }
      for (; static_cast<double>(day * kMsPerDay) < rightTime; ++day) {
        const bool major = run.Level == tlDays ? IsoWeekday(day) == 1 : CivilFromDays(day).Day == 1;
        run.Ticks.push_back({day * kMsPerDay, major, IsWeekendDay(day)});
      }
      break;
    }
    case tlMonths: {
      const TCivilDate start = CivilFromDays(leftDay);
      std::int64_t stepMonths = 1;
      const double months = spanDays / 30.0;
      while (months / static_cast<double>(stepMonths) > kMaxMonthTicks) stepMonths *= 10;
      if (stepMonths > 1) stepMonths = stepMonths / 10 * 12;  // whole years keep January major
      std::int64_t year = start.Year;
      if (stepMonths > 12) year = FloorDiv(year, stepMonths / 12) * (stepMonths / 12);
      for (std::int64_t day = DaysFromCivil(year, 1, 1);
           static_cast<double>(day) * kMsPerDay < rightTime; day = AddMonths(day, stepMonths)) {
        run.Ticks.push_back({day * kMsPerDay, CivilFromDays(day).Month == 1, false});
      }
      break;
    }
  }
  return run;
}

QString TimelineTickLabel(TTickLevel level, std::int64_t time, const QLocale& locale) {
  const std::int64_t day = DayOf(time);
  if (level == tlMinutes) {
    const int minuteOfDay = static_cast<int>((time - day * kMsPerDay) / kMsPerMinute);
    return locale.toString(QTime(minuteOfDay / 60, minuteOfDay % 60), QStringLiteral("hh:mm"));
  }
  const TCivilDate civil = CivilFromDays(day);
  const QDate date(static_cast<int>(civil.Year), civil.Month, civil.Day);
  if (level == tlHours || level == tlDays)
    return locale.toString(date, QStringLiteral("ddd dd MMM yyyy"));
  return locale.toString(date, QStringLiteral("MMM yyyy"));
}
