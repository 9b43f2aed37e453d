#include "explorer/ProgressClock.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace {

constexpr std::int64_t kMsPerDay = 24 * 60 * 60 * 1000;

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

// 128 bits hold any product of two 64-bit values, so the estimate is exact however large
// the counts.
__extension__ typedef __int128 TWide;

// elapsedMs / d * left to the nearest millisecond, reduced to its time of day (the sign is
// kept). Integer arithmetic keeps exact cases exact: 30 s / 50 * 50 is 30 s, not a hair less
// that a clock would show as 29 s.
std::int64_t RemainingTimeOfDayMs(std::int64_t elapsedMs, std::int64_t d, std::int64_t left) {
  const TWide product = static_cast<TWide>(elapsedMs) * left;
  TWide quotient = product / d;
  const TWide rest = product % d;
  const TWide restSize = rest < 0 ? -rest : rest;
  const TWide dSize = d < 0 ? -static_cast<TWide>(d) : d;
  // Half a millisecond or more rounds away from zero.
  if (restSize != 0 && restSize >= dSize - restSize) {
    quotient += ((product < 0) != (d < 0)) ? -1 : 1;
  }
  return static_cast<std::int64_t>(quotient % kMsPerDay);
}

}  // namespace

TProgressDisplay TProgressClock::Update(std::int64_t done, std::int64_t total, std::int64_t nowMs) {
  TProgressDisplay display;
  if (done == 0) FTaskStart = nowMs;
  if (done != FLastProgress) {
    const std::int64_t d = (done == 0) ? 1 : done;
    display.Changed = true;
    display.Maximum = std::max(0, ClampToInt(total));
    // The scan's percentage can pass 100; the bar stops at its end.
    display.Position = std::clamp(ClampToInt(done), 0, display.Maximum);
    const std::int64_t remainingMs = RemainingTimeOfDayMs(nowMs - FTaskStart, d, total - d);
    display.StatusText = FTaskCaption + QStringLiteral(" (Time Remaining: ") +
                         FormatRemaining(remainingMs) + QLatin1Char(')');
  }
  FLastProgress = done;
  return display;
}

std::int64_t TProgressClock::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QString FormatRemaining(std::int64_t remainingMs) {
  const std::int64_t ms = (remainingMs > 0) ? remainingMs % kMsPerDay : 0;
  const std::int64_t seconds = ms / 1000;
  return QStringLiteral("%1:%2:%3")
      .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
      .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString ViewingStatusText(std::int64_t rows, std::int64_t bytes) {
  return QStringLiteral("Viewing %1 files (%2 bytes).").arg(rows).arg(bytes);
}
