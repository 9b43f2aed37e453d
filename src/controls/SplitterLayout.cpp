#include "controls/SplitterLayout.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

// Pane sizes are 16-bit; results of the rules are limited to that range instead of wrapping, so
// an out-of-range intermediate never turns into a pane tens of thousands of pixels wide.
std::uint16_t ToSize(long long value) {
  return static_cast<std::uint16_t>(std::clamp<long long>(value, 0, 0xFFFF));
}

std::uint16_t RoundToSize(double value) {
  // Round half to even (the default rounding mode); clamp before converting, as converting an
  // out-of-range double to an integer is undefined.
  return ToSize(static_cast<long long>(std::nearbyint(std::clamp(value, 0.0, 65535.0))));
}

// A release request is the bar's distance from the dragged pane's leading edge as an unsigned
// 16-bit number; a position before that edge wraps to the upper half.
bool IsNegativeRequest(std::uint16_t v) { return v >= 0x8000; }

// Below this a release past the lower limit puts the pane back at its minimum.
constexpr int SnapRequest = 30;

}  // namespace

int HalfDown(int thickness) { return thickness / 2; }

int HalfUp(int thickness) { return static_cast<int>(std::nearbyint(thickness / 2.0)); }

void TSplitterLayout::SetOrientation(TOrientation orientation) {
  if (orientation == FOrientation) return;
  const int oldExtent = Extent();
  FOrientation = orientation;
  if (FSizes.empty()) return;
  const int newExtent = Extent();
  // A zero old extent carries no proportion to convert; AdjustLastPane still restores the sum.
  if (oldExtent > 0) {
    for (std::uint16_t& size : FSizes)
      size = RoundToSize(static_cast<double>(size) / oldExtent * newExtent);
  }
  AdjustLastPane();
}

void TSplitterLayout::SetThickness(std::uint8_t thickness) {
  FThickness = thickness == 0 ? 1 : thickness;
}

int TSplitterLayout::Extent() const {
  return FOrientation == swHorizontal ? FSize.height() : FSize.width();
}

void TSplitterLayout::CheckIndex(int index) const {
  if (index < 0 || index >= PaneCount())
    throw std::out_of_range("pane index " + std::to_string(index) + " out of range (" +
                            std::to_string(PaneCount()) + " panes)");
}

std::uint16_t TSplitterLayout::PaneSize(int index) const {
  CheckIndex(index);
  return FSizes[index];
}

void TSplitterLayout::StorePaneSize(int index, std::uint16_t size) {
  CheckIndex(index);
  FSizes[index] = size;
}

std::uint16_t TSplitterLayout::MinPaneSize(int index) const {
  CheckIndex(index);
  return FMinSizes[index];
}

void TSplitterLayout::SetMinPaneSize(int index, std::uint16_t size) {
  CheckIndex(index);
  FMinSizes[index] = size;
}

void TSplitterLayout::AppendPane(std::uint16_t size, std::uint16_t minSize) {
  if (PaneCount() >= MaxPanes)
    throw std::length_error("a splitter holds at most " + std::to_string(MaxPanes) + " panes");
  FSizes.push_back(size);
  FMinSizes.push_back(minSize);
}

void TSplitterLayout::RemovePaneAt(int index) {
  CheckIndex(index);
  FSizes.erase(FSizes.begin() + index);
  FMinSizes.erase(FMinSizes.begin() + index);
}

void TSplitterLayout::MovePane(int from, int to) {
  CheckIndex(from);
  CheckIndex(to);
  const auto move = [from, to](std::vector<std::uint16_t>& values) {
    const std::uint16_t value = values[from];
    values.erase(values.begin() + from);
    values.insert(values.begin() + to, value);
  };
  move(FSizes);
  move(FMinSizes);
}

int TSplitterLayout::SumSizes(int n) const {
  if (n < 0) return 0;
  CheckIndex(n);
  int sum = 0;
  for (int i = 0; i <= n; ++i) sum += FSizes[i];
  return sum;
}

int TSplitterLayout::MinSizeOf(int n) const {
  CheckIndex(n);
  return FMinSizes[n] != 0 ? FMinSizes[n] : 2 * FScrollBarExtent;
}

QRect TSplitterLayout::BarRect(int position) const {
  const int before = position - HalfDown(FThickness);
  const int after = position + HalfUp(FThickness) + 1;  // exclusive
  if (FOrientation == swHorizontal) return QRect(0, before, FSize.width(), after - before);
  return QRect(before, 0, after - before, FSize.height());
}

int TSplitterLayout::Coordinate(QPoint point) const {
  return FOrientation == swHorizontal ? point.y() : point.x();
}

void TSplitterLayout::AdjustLastPane() {
  if (FSizes.empty()) return;
  const int excess = SumSizes(PaneCount() - 1) - Extent();
  if (excess == 0) return;
  const int last = PaneCount() - 1;
  if (excess <= FSizes[last]) {
    FSizes[last] = ToSize(FSizes[last] - excess);
    return;
  }
  // The other panes alone exceed the extent: the last pane closes and the panes before it give
  // up the rest, nearest first, so the sizes still add up to the extent.
  int rest = excess - FSizes[last];
  FSizes[last] = 0;
  for (int i = last - 1; i >= 0 && rest > 0; --i) {
    const int take = std::min<int>(FSizes[i], rest);
    FSizes[i] = ToSize(FSizes[i] - take);
    rest -= take;
  }
}

std::vector<QRect> TSplitterLayout::ArrangePanes() const {
  std::vector<QRect> bounds;
  const int n = PaneCount();
  if (n == 0) return bounds;
  const int w = FSize.width();
  const int h = FSize.height();
  if (n == 1) {
    bounds.emplace_back(0, 0, w, h);
    return bounds;
  }
  const int t = FThickness;
  // Along the orientation: the first pane loses the leading half of its bar, middle panes a
  // whole bar, the last pane the trailing half.
  int start = 0;
  for (int i = 0; i < n; ++i) {
    int length = FSizes[i];
    if (i == 0) {
      length -= HalfDown(t);
    } else {
      length -= i == n - 1 ? HalfUp(t) : t;
    }
    bounds.push_back(FOrientation == swVertical ? QRect(start, 0, length, h)
                                                : QRect(0, start, w, length));
    start += length + t;
  }
  return bounds;
}

void TSplitterLayout::RescalePanes(bool all) {
  if (FSizes.empty()) return;
  int extent = Extent();
  const int lastScaled = all ? PaneCount() - 1 : PaneCount() - 2;
  if (!all) extent -= FSizes.back();
  const int sum = SumSizes(lastScaled);
  // Nothing to scale when all scaled panes are closed (or none is scaled).
  if (sum > 0) {
    const double factor = static_cast<double>(std::max(extent, 0)) / sum;
    for (int i = 0; i <= lastScaled; ++i) FSizes[i] = RoundToSize(FSizes[i] * factor);
  }
  AdjustLastPane();
}

void TSplitterLayout::SetPaneSize(int index, std::uint16_t size) {
  ApplySizeRules(index, size, false);
}

void TSplitterLayout::ApplySizeRules(int p, std::uint16_t v, bool releasing) {
  CheckIndex(p);
  const int n = PaneCount();
  if (n == 1) {
    FSizes[0] = ToSize(Extent());
    return;
  }
  const int minSize = FMinSizes[p];
  // FPastLowerLimit is only ever set by swVertical drags.
  if (releasing && FPastLowerLimit && p + 1 < n) {
    if (p >= 1 && IsNegativeRequest(v)) {
      BackwardCascade(p, v, minSize);
    } else if (p == 0 && v > SnapRequest && !IsNegativeRequest(v)) {
      ForwardRule(p, v, minSize);
    } else {
      // Released inside the pane short of its minimum, or before the first pane's leading edge:
      // the pane goes back to its minimum and the last pane takes the difference.
      FSizes[p] = static_cast<std::uint16_t>(minSize);
    }
  } else {
    ForwardRule(p, v, minSize);
  }
  AdjustLastPane();
}

// Pane p asks for v: it grows by taking from the panes after it, which keep at least minSize
// each; a pane that shrinks gives what it lost to the next pane. No lower bound applies to v.
void TSplitterLayout::ForwardRule(int p, int v, int minSize) {
  const int n = PaneCount();
  const int after = n - p - 1;
  const int limit = std::max(0, SumSizes(n - 1) - SumSizes(p - 1) - after * minSize);
  if (v > limit) {
    FSizes[p] = ToSize(limit);
    for (int i = p + 1; i < n; ++i) FSizes[i] = ToSize(minSize);
    return;
  }
  int acc = FSizes[p];
  int gathered = 0;
  for (int j = p + 1; j < n; ++j) {
    acc += FSizes[j];
    ++gathered;
    if (acc > v && acc - v >= minSize * gathered) break;
  }
  FSizes[p] = ToSize(v);
  if (gathered == 1) {
    FSizes[p + 1] = ToSize(acc - v);
  } else if (gathered >= 2) {
    for (int i = p + 1; i < p + gathered; ++i) FSizes[i] = ToSize(minSize);
    FSizes[p + gathered] =
        ToSize(v == limit ? minSize : std::max(minSize, acc - v - (gathered - 1) * minSize));
  }
}

// The bar after pane p was released before p's leading edge: pane k = p + 1 grows backwards to
// the release point, taking from the panes before it, which keep at least minSize each.
void TSplitterLayout::BackwardCascade(int p, int v, int minSize) {
  const int k = p + 1;
  // The size that puts pane k's leading edge at the release point.
  v = (FSizes[k] + FSizes[p] - v) & 0xFFFF;
  const int limit = SumSizes(k) - k * minSize;
  if (v > limit) {
    v = limit;
  } else if (v < minSize) {
    v = minSize;
  }
  int acc = FSizes[k];
  int gathered = 0;
  for (int j = k - 1; j >= 0; --j) {
    acc += FSizes[j];
    ++gathered;
    if (acc > v && acc - v >= minSize * gathered) break;
  }
  FSizes[k] = ToSize(v);
  if (gathered == 1) {
    FSizes[k - 1] = ToSize(acc - v);
  } else if (gathered >= 2) {
    for (int i = k - 1; i > k - gathered; --i) FSizes[i] = ToSize(minSize);
    FSizes[k - gathered] =
        ToSize(v == limit ? minSize : std::max(minSize, acc - v - (gathered - 1) * minSize));
  }
}

bool TSplitterLayout::BeginDrag(QPoint point) {
  FDragBar = -1;
  for (int i = 0; i + 1 < PaneCount(); ++i) {
    if (BarRect(SumSizes(i)).contains(point)) FDragBar = i;  // the later bar wins
  }
  FDragPos = point;
  // A release without any move must not act on the flag left by an earlier drag.
  FPastLowerLimit = FDragBar >= 0 && FOrientation == swVertical &&
                    point.x() < MinSizeOf(FDragBar) + SumSizes(FDragBar - 1);
  return FDragBar >= 0;
}

QPoint TSplitterLayout::ClampDragPoint(QPoint point) {
  if (FDragBar < 0) return point;
  const int i = FDragBar;
  const int lo = MinSizeOf(i) + SumSizes(i - 1);
  const int hi = SumSizes(i + 1) - MinSizeOf(i + 1);
  if (FOrientation == swHorizontal) {
    if (point.y() < lo) point.setY(lo);
    if (point.y() > hi) point.setY(hi);
  } else {
    // Not limited: the release decides what the position means for the sizes.
    FPastLowerLimit = point.x() < lo;
  }
  return point;
}

std::uint16_t TSplitterLayout::DragRequest() const {
  return static_cast<std::uint16_t>(Coordinate(FDragPos) - SumSizes(FDragBar - 1));
}

void TSplitterLayout::ApplyDragRelease() {
  if (FDragBar < 0) return;
  ApplySizeRules(FDragBar, DragRequest(), true);
}
