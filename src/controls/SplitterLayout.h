#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <vector>

// swHorizontal stacks the panes top to bottom (sizes are heights, the drag follows Y);
// swVertical puts them side by side (sizes are widths, the drag follows X).
enum TOrientation { swHorizontal, swVertical };

// The two halves of a bar of thickness t around its centre position: HalfDown(t) pixels
// before it, HalfUp(t) after it (t / 2 rounded half to even).
int HalfDown(int thickness);
int HalfUp(int thickness);

// The size rules of a splitter, kept apart from any widget so they can be exercised directly.
//
// Holds the orientation, the bar thickness, the splitter's client size and, for each attached
// pane in list order, its size along the orientation (bar halves included) and its minimum.
// Invariant after every operation that ends in AdjustLastPane: the sizes add up to the extent
// (the width for swVertical, the height for swHorizontal). Sizes are unsigned 16-bit and at most
// MaxPanes panes exist. Bar i sits after pane i, centred on P(i) = SumSizes(i).
//
// Also holds the drag state: FDragBar (-1 when idle), FDragPos (last drag point in client
// coordinates) and FPastLowerLimit (the last swVertical drag point lay before the lower limit of
// the pane before the bar). Operations that name a pane index that does not exist throw
// std::out_of_range and change nothing.
class TSplitterLayout {
 public:
  // The pane count is an unsigned 8-bit number in the layout streams this control comes from.
  static constexpr int MaxPanes = 255;

  TOrientation Orientation() const { return FOrientation; }
  // Converts every size to the new extent (rounded half to even), then AdjustLastPane.
  void SetOrientation(TOrientation orientation);
  std::uint8_t Thickness() const { return FThickness; }
  void SetThickness(std::uint8_t thickness);  // 0 is stored as 1
  QSize Size() const { return FSize; }
  void SetSize(QSize size) { FSize = size; }
  int Extent() const;
  // The fallback minimum of a pane whose MinPaneSize is 0 is twice this.
  void SetScrollBarExtent(int extent) { FScrollBarExtent = extent; }

  int PaneCount() const { return static_cast<int>(FSizes.size()); }
  std::uint16_t PaneSize(int index) const;
  void StorePaneSize(int index, std::uint16_t size);  // stored as is, no rule applied
  std::uint16_t MinPaneSize(int index) const;
  void SetMinPaneSize(int index, std::uint16_t size);
  void AppendPane(std::uint16_t size, std::uint16_t minSize);  // throws std::length_error when full
  void RemovePaneAt(int index);
  void MovePane(int from, int to);

  int SumSizes(int n) const;  // S0 + ... + Sn, 0 when n < 0
  int MinSizeOf(int n) const;
  QRect BarRect(int position) const;
  int Coordinate(QPoint point) const;  // the point's coordinate along the orientation

  void AdjustLastPane();
  std::vector<QRect> ArrangePanes() const;  // the pane bounds, in list order
  void RescalePanes(bool all);
  // The size rules for a programmatic request; ends with AdjustLastPane.
  void SetPaneSize(int index, std::uint16_t size);

  // Drag state machine. BeginDrag hit-tests the bars at a press point and returns whether a
  // drag started; ClampDragPoint applies the limits to a move point; ApplyDragRelease turns the
  // last drag point into the dragged pane's new size; EndDrag returns to idle.
  int DragBar() const { return FDragBar; }
  QPoint DragPos() const { return FDragPos; }
  void SetDragPos(QPoint point) { FDragPos = point; }
  bool PastLowerLimit() const { return FPastLowerLimit; }
  bool BeginDrag(QPoint point);
  QPoint ClampDragPoint(QPoint point);
  std::uint16_t DragRequest() const;
  void ApplyDragRelease();
  void EndDrag() { FDragBar = -1; }

 private:
  void CheckIndex(int index) const;
  void ApplySizeRules(int p, std::uint16_t v, bool releasing);
  void ForwardRule(int p, int v, int minSize);
  void BackwardCascade(int p, int v, int minSize);

  TOrientation FOrientation = swVertical;
  std::uint8_t FThickness = 3;
  QSize FSize{400, 200};
  int FScrollBarExtent = 16;
  std::vector<std::uint16_t> FSizes;
  std::vector<std::uint16_t> FMinSizes;
  int FDragBar = -1;
  QPoint FDragPos;
  bool FPastLowerLimit = false;
};
