#pragma once

#include <cstdint>

// The timeline's placement arithmetic, free of any widget so it is exercised directly.
// Times are milliseconds since 1970-01-01 UTC; all rounding is to the nearest, halves to even.

// Rows whose last-write time is this (9999-01-01 00:00:00 UTC) get no item: it stands for a
// time the scan could not read.
inline constexpr std::int64_t kTimelineNoTime = 253370764800000;
// Added to the latest time so the time range is never empty, even when every file shares one.
inline constexpr std::int64_t kTimelineTimePad = 60000;
// Tiles never get smaller than this square; at this size they show their picture only.
inline constexpr int kTimelineMinItemSide = 24;

int RoundHalfEven(double value);  // saturates at the ends of the 32-bit range

// The lanes that fit: one fewer than the whole item heights in the client height less two
// item heights. Never less than one: a panel shorter than four item heights still gets a
// single lane, at y = itemHeight, so every item has somewhere to go.
int TimelineLaneCount(int clientHeight, int itemHeight);
inline int TimelineLaneCentre(int lane, int itemHeight) { return (lane + 1) * itemHeight; }

struct TItemSize {
  int Width = 0;
  int Height = 0;
};
// 120 × 24 pixels per unit of factor, squashed to a 24 × 24 square below that height.
TItemSize TimelineItemSize(double factor);

// max − min, wrapping as 64-bit two's complement (an empty list wraps to 1).
std::int64_t TimelineSpan(std::int64_t minTime, std::int64_t maxTime);
// World pixels per millisecond for the range [minTime, maxTime] over the world width; 1.0 when
// the span is zero.
double TimelinePixelsPerMs(std::int64_t minTime, std::int64_t maxTime, int worldWidth);
// The world x of a time. The difference is taken without overflow whatever the two times.
int TimelineTimeToX(std::int64_t time, std::int64_t minTime, double pixelsPerMs);
// Scale track bar position → world width: 500 pixels per position, never narrower than the
// panel.
int TimelineWorldWidth(double position, int clientWidth);
// The new Scale position that makes the world x range [lo, hi] fill the panel; only defined
// for hi > lo.
double TimelineFitScale(double currentScale, int clientWidth, int lo, int hi);

// One coasting step: the distance the view moves now (rounded) and the speed for the next.
struct TMomentumStep {
  int Move = 0;
  float Next = 0.0f;
};
TMomentumStep TimelineMomentumStep(float velocity);
// Coasting ends once both speeds fall below this many pixels per tick.
inline constexpr float kTimelineMomentumStop = 0.1f;
// Release speed in pixels per 40 ms, averaged over the whole press.
float TimelineReleaseVelocity(int pressX, int releaseX, std::uint32_t elapsedMs);
