#pragma once

#include <QString>

#include <cstdint>

// What a progress notice changes on screen.
struct TProgressDisplay {
  bool Changed = false;  // false: leave the bar, the launcher and the status text as they are
  int Maximum = 0;       // the bar's maximum (the notice's total)
  int Position = 0;      // the bar's position, kept within 0 .. Maximum
  QString StatusText;    // caption + " (Time Remaining: hh:nn:ss)"
};

// The arithmetic behind the window's progress display: which notices change the screen, and
// the remaining time estimated from the time since the last notice with done = 0.
//
// FTaskStart and FLastProgress outlive a run on purpose: a notice whose done value equals the
// previous one, even one from an earlier run, changes nothing; done = 0 restarts the clock
// whether or not it changes the screen. FTaskCaption is replaced at the start of each task.
//
// Times are milliseconds of one monotonic clock (NowMs), so a change of the wall clock during
// a run cannot make the estimate jump.
class TProgressClock {
 public:
  QString FTaskCaption;
  std::int64_t FTaskStart = 0;
  std::int64_t FLastProgress = 0;

  // Takes the notice (done, total) received at nowMs.
  TProgressDisplay Update(std::int64_t done, std::int64_t total, std::int64_t nowMs);

  // Milliseconds of the monotonic clock that Update expects.
  static std::int64_t NowMs();
};

// remainingMs written as "hh:nn:ss" of its time of day: whole days are dropped and the
// seconds are cut, not rounded, as a clock shows them. Nothing remains once the work has
// passed its estimate, so a negative value is written "00:00:00".
QString FormatRemaining(std::int64_t remainingMs);

// The status text after every long operation: "Viewing 3 files (1536 bytes)."
QString ViewingStatusText(std::int64_t rows, std::int64_t bytes);
