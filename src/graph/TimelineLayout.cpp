#include "graph/TimelineLayout.h"

#include <cmath>
#include <limits>

int RoundHalfEven(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (rounded >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  return static_cast<int>(rounded);
}

int TimelineLaneCount(int clientHeight, int itemHeight) {
  if (itemHeight <= 0) return 1;
  const int lanes = (clientHeight - 2 * itemHeight) / itemHeight - 1;
  return lanes < 1 ? 1 : lanes;
}

TItemSize TimelineItemSize(double factor) {
  TItemSize size{RoundHalfEven(120.0 * factor), RoundHalfEven(24.0 * factor)};
  if (size.Height < kTimelineMinItemSide) size = {kTimelineMinItemSide, kTimelineMinItemSide};
  return size;
}

std::int64_t TimelineSpan(std::int64_t minTime, std::int64_t maxTime) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(maxTime) -
                                   static_cast<std::uint64_t>(minTime));
}

double TimelinePixelsPerMs(std::int64_t minTime, std::int64_t maxTime, int worldWidth) {
  // The span wraps as 64-bit arithmetic does, but taken unsigned it is right for every real
  // range, also one wider than the signed range; the empty range (max below min) wraps to 1.
  const std::uint64_t span =
      static_cast<std::uint64_t>(maxTime) - static_cast<std::uint64_t>(minTime);
  return span == 0 ? 1.0 : static_cast<double>(worldWidth) / static_cast<double>(span);
}

int TimelineTimeToX(std::int64_t time, std::int64_t minTime, double pixelsPerMs) {
  const double offset = time >= minTime ? static_cast<double>(static_cast<std::uint64_t>(time) -
                                                              static_cast<std::uint64_t>(minTime))
                                        : -static_cast<double>(static_cast<std::uint64_t>(minTime) -
                                                               static_cast<std::uint64_t>(time));
  return RoundHalfEven(offset * pixelsPerMs);
}

int TimelineWorldWidth(double position, int clientWidth) {
  const double width = std::trunc(position * 500.0);
  const int world = width >= std::numeric_limits<int>::max()   ? std::numeric_limits<int>::max()
                    : width <= std::numeric_limits<int>::min() ? std::numeric_limits<int>::min()
                                                               : static_cast<int>(width);
  return world < clientWidth ? clientWidth : world;
}

double TimelineFitScale(double currentScale, int clientWidth, int lo, int hi) {
  return currentScale *
         (static_cast<double>(clientWidth) / (static_cast<double>(hi) - static_cast<double>(lo)));
}

TMomentumStep TimelineMomentumStep(float velocity) {
  // The product is formed in double and stored in single precision, as the speed is kept.
  return {RoundHalfEven(velocity), static_cast<float>(velocity * 0.9)};
}

float TimelineReleaseVelocity(int pressX, int releaseX, std::uint32_t elapsedMs) {
  return static_cast<float>(static_cast<double>(releaseX - pressX) / elapsedMs * 40.0);
}
