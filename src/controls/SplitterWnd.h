#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/DragBarOverlay.h"
#include "controls/SplitterLayout.h"

class TSplitterWnd;
class TPane;

// Called before the drag bar is drawn or erased, with the bar's rectangle in the splitter's
// coordinates; the handler may change the rectangle, or set ownerDraw to false to draw it
// itself (the splitter then draws nothing for that step).
using TDrawDragRectEvent =
    std::function<void(TSplitterWnd* sender, QRect& drawRect, bool& ownerDraw)>;

// A container that lays out an ordered row (swVertical) or column (swHorizontal) of TPane
// children separated by bars the user drags to resize them.
//
// The size rules live in TSplitterLayout; this class keeps its pane list in step with the
// layout's size list (list position = PaneIndex) and turns layout results into pane geometry.
// The bars are the gaps between the panes, so the splitter's own widget receives the presses
// there. While a drag runs the bar is shown inverted and follows the mouse (beyond the
// splitter's edges for swVertical, within its parent); the sizes change on release only.
//
// Loading (BeginLoading ... EndLoading) is the phase in which an owner attaches prepared panes:
// size changes are ignored and AddPane keeps the stored sizes; EndLoading arranges the panes and
// the first real size change afterwards scales them to the actual extent.
class TSplitterWnd : public QWidget {
  Q_OBJECT

 public:
  explicit TSplitterWnd(QWidget* parent = nullptr);
  ~TSplitterWnd() override;

  void BeginLoading();
  void EndLoading();
  bool Loading() const { return FLoading; }

  TOrientation Orientation() const { return FLayout.Orientation(); }
  void SetOrientation(TOrientation orientation);
  std::uint8_t Thickness() const { return FLayout.Thickness(); }
  void SetThickness(std::uint8_t thickness);
  Qt::CursorShape CursorHorz() const { return FCursorHorz; }
  void SetCursorHorz(Qt::CursorShape cursor);
  Qt::CursorShape CursorVert() const { return FCursorVert; }
  void SetCursorVert(Qt::CursorShape cursor);
  bool ProportionalResize() const { return FProportionalResize; }
  void SetProportionalResize(bool value) { FProportionalResize = value; }
  TBarStyle BarStyle() const { return FBarStyle; }
  void SetBarStyle(TBarStyle style) { FBarStyle = style; }
  bool AllowSizing() const { return FAllowSizing; }
  void SetAllowSizing(bool value) { FAllowSizing = value; }

  TDrawDragRectEvent OnDrawDragRect;
  TDrawDragRectEvent OnEraseDragRect;
  std::function<void(TSplitterWnd*)> OnPaneResize;

  int PaneCount() const { return static_cast<int>(FPanes.size()); }
  TPane* Pane(int index) const;  // throws std::out_of_range
  // Attaches the pane at the end (leaving any splitter it was in); nothing if already attached.
  void AddPane(TPane* pane);
  // Detaches the pane (if attached here) and gives it the new parent.
  void RemovePane(TPane* pane, QWidget* newParent);
  void MovePane(int from, int to);  // throws std::out_of_range
  void RenumberPanes();
  void SetPaneSize(TPane* pane, std::uint16_t size);

  int SumSizes(int n) const;
  int MinSizeOf(int n) const;
  void RescalePanes(bool all);
  void AdjustLastPane();
  void ArrangePanes();
  QRect BarRect(int position) const;
  QPoint ClampDragPoint(QPoint point);
  void DrawDragBar(const QRect& rect);
  int DragBar() const { return FLayout.DragBar(); }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  friend class TPane;

  // The layout mirrors the widget's size; Qt delivers the resize events of a hidden widget
  // late, so the size is taken from the widget whenever the layout is used.
  TSplitterLayout& Layout() const;
  int IndexOf(const TPane* pane) const;
  void UpdateCursor();
  void InvertDragBar(QPoint point, const TDrawDragRectEvent& handler);
  void CancelDrag();
  void RemoveDragBarOverlays();
  void DetachAll();

  mutable TSplitterLayout FLayout;
  std::vector<TPane*> FPanes;
  std::vector<QPointer<TDragBarOverlay>> FDragBarOverlays;
  Qt::CursorShape FCursorHorz = Qt::SplitVCursor;
  Qt::CursorShape FCursorVert = Qt::SplitHCursor;
  TBarStyle FBarStyle = sbCheckered;
  bool FProportionalResize = true;
  bool FAllowSizing = true;
  bool FLoading = false;
  bool FReleasing = false;  // a release is applying sizes; nested calls must not end the drag
};

// A child of a TSplitterWnd. Its size and minimum are kept by the pane while it is detached
// and by the splitter's layout while it is attached.
class TPane : public QWidget {
  Q_OBJECT

 public:
  explicit TPane(QWidget* parent = nullptr);
  ~TPane() override;

  TSplitterWnd* SplitterWnd() const { return FSplitterWnd; }
  void SetSplitterWnd(TSplitterWnd* splitter);
  int PaneIndex() const { return FPaneIndex; }
  void SetPaneIndex(int index);
  std::uint16_t PaneSize() const;
  void SetPaneSize(std::uint16_t size);
  std::uint16_t MinPaneSize() const;
  void SetMinPaneSize(std::uint16_t size);
  bool EraseBkgnd() const { return FEraseBkgnd; }
  void SetEraseBkgnd(bool value);

 private:
  friend class TSplitterWnd;

  TSplitterWnd* FSplitterWnd = nullptr;
  int FPaneIndex = 0;
  std::uint16_t FPaneSize = 0;
  std::uint16_t FMinPaneSize = 30;
  bool FEraseBkgnd = true;
};
