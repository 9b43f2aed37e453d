#include "explorer/FileTime.h"

#include "explorer/FileNodeData.h"

#include <QDate>
#include <QTime>

#include <limits>

namespace {

constexpr std::int64_t kMsFrom1601To1970 = 11644473600000;
constexpr std::int64_t kTicksPerMs = 10000;
constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kNsPerTick = 100;
constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int64_t kNsPerSecond = 1000000000;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

std::int64_t FloorMod(std::int64_t a, std::int64_t b) { return a - FloorDiv(a, b) * b; }

// The long time format without its time-zone field ("t", with the blanks around it).
QString TimeFormatWithoutZone(const QLocale& locale) {
  QString format = locale.timeFormat(QLocale::LongFormat);
  qsizetype inQuote = 0;
  for (qsizetype i = 0; i < format.size(); ++i) {
    if (format[i] == u'\'') {
      inQuote ^= 1;
    } else if (!inQuote && format[i] == u't') {
      qsizetype begin = i;
      qsizetype end = i + 1;
      while (end < format.size() && format[end] == u't') ++end;
      while (begin > 0 && format[begin - 1] == u' ') --begin;
      if (begin == 0)
        while (end < format.size() && format[end] == u' ') ++end;
      format.remove(begin, end - begin);
      i = begin - 1;
    }
  }
  return format;
}

}  // namespace

std::int64_t UnixMsFromFileTime(std::int64_t ticksSince1601) {
  return FloorDiv(ticksSince1601, kTicksPerMs) - kMsFrom1601To1970;
}

std::int64_t UnixMsFromTimespec(std::int64_t sec, std::int64_t nsec) {
  sec += FloorDiv(nsec, kNsPerSecond);  // cannot overflow in practice: |nsec| / 1e9 is small
  nsec = FloorMod(nsec, kNsPerSecond);
  // Seconds since 1601 as ticks must fit in 64 bits (about ±29,000 years around 1601).
  constexpr std::int64_t kSecFrom1601To1970 = kMsFrom1601To1970 / 1000;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMaxSec = kMax / kTicksPerSecond - kSecFrom1601To1970 - 1;
  constexpr std::int64_t kMinSec = -(kMax / kTicksPerSecond) + 1;
  if (sec > kMaxSec) return kMax;
  if (sec < kMinSec) return std::numeric_limits<std::int64_t>::min() + 1;  // never kUnknownTime
  const std::int64_t ticks = (sec + kSecFrom1601To1970) * kTicksPerSecond + nsec / kNsPerTick;
  return UnixMsFromFileTime(ticks);
}

double DateTimeFromUnixMs(std::int64_t ms) { return double(ms) / 86400000.0 + 25569; }

QString DateTimeText(std::int64_t ms, const QLocale& locale) {
  if (ms == kUnknownTime) return {};
  // Integer arithmetic keeps "exactly midnight" exact for every representable time.
  const std::int64_t day = FloorDiv(ms, kMsPerDay);
  const std::int64_t msOfDay = ms - day * kMsPerDay;
  const QDate date = QDate(1970, 1, 1).addDays(day);
  const QString dateText = locale.toString(date, locale.dateFormat(QLocale::ShortFormat));
  if (msOfDay == 0) return dateText;
  const QTime time = QTime::fromMSecsSinceStartOfDay(int(msOfDay));
  return dateText + u' ' + locale.toString(time, TimeFormatWithoutZone(locale));
}
