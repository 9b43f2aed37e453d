#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

// File times are signed milliseconds since 1970-01-01 00:00:00 UTC and stay in UTC everywhere:
// nothing converts them to local time. kUnknownTime (FileNodeData.h) marks a time the file
// system did not report.

// Milliseconds from 100-ns ticks since 1601-01-01 UTC. Rounds towards the past, so a time just
// before 1970 (or 1601) lands in the right millisecond.
std::int64_t UnixMsFromFileTime(std::int64_t ticksSince1601);

// Milliseconds from a POSIX time stamp (seconds and nanoseconds since 1970), through the same
// tick count as UnixMsFromFileTime. nsec may lie outside [0, 1e9); stamps too far from 1970 for
// a tick count (tens of thousands of years) saturate instead of overflowing.
std::int64_t UnixMsFromTimespec(std::int64_t sec, std::int64_t nsec);

// Day number whose day 0 is 1899-12-30 and whose fraction is the time of day.
double DateTimeFromUnixMs(std::int64_t ms);

// The cell text of a time: the locale's short date, a space and its long time of day (without
// a time-zone name: every time shown is UTC), or only the date when the time of day is exactly
// midnight. Empty for kUnknownTime.
QString DateTimeText(std::int64_t ms, const QLocale& locale = QLocale());
