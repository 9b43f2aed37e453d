#include "controls/SplitterWnd.h"

#include <QMouseEvent>
#include <QResizeEvent>
#include <QStyle>

#include <algorithm>
#include <stdexcept>

TSplitterWnd::TSplitterWnd(QWidget* parent) : QWidget(parent) {
  resize(400, 200);
  // The splitter's own background is what shows through the gaps, so the bars look like
  // strips of its colour.
  setAutoFillBackground(true);
  FLayout.SetScrollBarExtent(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
  UpdateCursor();
}

TSplitterWnd::~TSplitterWnd() {
  for (const QPointer<TDragBarOverlay>& overlay : FDragBarOverlays) delete overlay.data();
  DetachAll();
}

// The panes stay children of the dying splitter and are deleted with it; they only need to
// forget it so their own destructors leave it alone.
void TSplitterWnd::DetachAll() {
  for (int i = PaneCount() - 1; i >= 0; --i) {
    TPane* pane = FPanes[i];
    pane->FPaneSize = FLayout.PaneSize(i);
    pane->FSplitterWnd = nullptr;
    pane->FPaneIndex = -1;
  }
  FPanes.clear();
}

TSplitterLayout& TSplitterWnd::Layout() const {
  FLayout.SetSize(size());
  return FLayout;
}

void TSplitterWnd::BeginLoading() { FLoading = true; }

void TSplitterWnd::EndLoading() {
  FLoading = false;
  ArrangePanes();
}

void TSplitterWnd::SetOrientation(TOrientation orientation) {
  if (orientation == Orientation()) return;
  CancelDrag();
  Layout().SetOrientation(orientation);
  // The cursor follows the orientation even without panes, so panes added later get the
  // right one.
  UpdateCursor();
  if (PaneCount() > 0) ArrangePanes();
}

void TSplitterWnd::SetThickness(std::uint8_t thickness) {
  Layout().SetThickness(thickness);
  ArrangePanes();
}

void TSplitterWnd::SetCursorHorz(Qt::CursorShape cursor) {
  FCursorHorz = cursor;
  UpdateCursor();
}

void TSplitterWnd::SetCursorVert(Qt::CursorShape cursor) {
  FCursorVert = cursor;
  UpdateCursor();
}

void TSplitterWnd::UpdateCursor() {
  setCursor(Orientation() == swHorizontal ? FCursorHorz : FCursorVert);
}

TPane* TSplitterWnd::Pane(int index) const {
  if (index < 0 || index >= PaneCount())
    throw std::out_of_range("pane index " + std::to_string(index) + " out of range");
  return FPanes[index];
}

int TSplitterWnd::IndexOf(const TPane* pane) const {
  const auto it = std::find(FPanes.begin(), FPanes.end(), pane);
  return it == FPanes.end() ? -1 : static_cast<int>(it - FPanes.begin());
}

void TSplitterWnd::AddPane(TPane* pane) {
  if (pane == nullptr || IndexOf(pane) >= 0) return;
  if (PaneCount() >= TSplitterLayout::MaxPanes)
    throw std::length_error("a splitter holds at most 255 panes");
  if (pane->FSplitterWnd != nullptr) pane->FSplitterWnd->RemovePane(pane, this);
  if (pane->FPaneSize == 0) pane->FPaneSize = Orientation() == swHorizontal ? 50 : 75;
  Layout().AppendPane(pane->FPaneSize, pane->FMinPaneSize);
  FPanes.push_back(pane);
  if (pane->parentWidget() != this) pane->setParent(this);
  pane->FSplitterWnd = this;
  pane->FPaneIndex = PaneCount() - 1;
  pane->show();
  if (!FLoading) RescalePanes(false);
}

void TSplitterWnd::RemovePane(TPane* pane, QWidget* newParent) {
  const int index = IndexOf(pane);
  if (index < 0) return;
  CancelDrag();
  // Out of the list first: reparenting below must find the pane detached.
  pane->FPaneSize = FLayout.PaneSize(index);
  FPanes.erase(FPanes.begin() + index);
  FLayout.RemovePaneAt(index);
  pane->FSplitterWnd = nullptr;
  pane->FPaneIndex = -1;
  pane->hide();
  if (pane->parentWidget() != newParent) pane->setParent(newParent);
  RenumberPanes();
  if (FProportionalResize) {
    RescalePanes(true);
  } else {
    AdjustLastPane();
    ArrangePanes();  // close the gap the pane leaves
  }
}

void TSplitterWnd::MovePane(int from, int to) {
  Layout().MovePane(from, to);  // validates both indexes before anything changes
  CancelDrag();
  TPane* pane = FPanes[from];
  FPanes.erase(FPanes.begin() + from);
  FPanes.insert(FPanes.begin() + to, pane);
  RenumberPanes();
  ArrangePanes();
}

void TSplitterWnd::RenumberPanes() {
  for (int i = 0; i < PaneCount(); ++i) FPanes[i]->FPaneIndex = i;
}

void TSplitterWnd::SetPaneSize(TPane* pane, std::uint16_t size) {
  if (pane == nullptr) return;
  const int index = IndexOf(pane);
  if (index < 0) {
    pane->SetPaneSize(size);  // detached, or another splitter's
    return;
  }
  Layout().SetPaneSize(index, size);
  ArrangePanes();
}

int TSplitterWnd::SumSizes(int n) const { return Layout().SumSizes(n); }

int TSplitterWnd::MinSizeOf(int n) const { return Layout().MinSizeOf(n); }

void TSplitterWnd::RescalePanes(bool all) {
  Layout().RescalePanes(all);
  ArrangePanes();
}

void TSplitterWnd::AdjustLastPane() { Layout().AdjustLastPane(); }

void TSplitterWnd::ArrangePanes() {
  const std::vector<QRect> bounds = Layout().ArrangePanes();
  for (int i = 0; i < PaneCount(); ++i) {
    const QRect& r = bounds[i];
    FPanes[i]->setGeometry(r.x(), r.y(), std::max(0, r.width()), std::max(0, r.height()));
  }
}

QRect TSplitterWnd::BarRect(int position) const { return Layout().BarRect(position); }

QPoint TSplitterWnd::ClampDragPoint(QPoint point) { return Layout().ClampDragPoint(point); }

// Inverting the same rectangle twice restores the screen: a second call with the rectangle of
// a bar already shown removes it. The bar lives in the parent so that it can follow the mouse
// beyond the splitter's edges; a splitter without a parent keeps it inside itself.
void TSplitterWnd::DrawDragBar(const QRect& rect) {
  QWidget* host = parentWidget() != nullptr ? parentWidget() : this;
  const QRect hostRect = host == this ? rect : rect.translated(pos());
  FDragBarOverlays.erase(
      std::remove_if(FDragBarOverlays.begin(), FDragBarOverlays.end(),
                     [](const QPointer<TDragBarOverlay>& o) { return o.isNull(); }),
      FDragBarOverlays.end());
  for (auto it = FDragBarOverlays.begin(); it != FDragBarOverlays.end(); ++it) {
    if ((*it)->parentWidget() == host && (*it)->geometry() == hostRect) {
      delete it->data();
      FDragBarOverlays.erase(it);
      return;
    }
  }
  auto* overlay = new TDragBarOverlay(host, FBarStyle);
  overlay->setGeometry(hostRect);
  overlay->show();
  overlay->raise();
  FDragBarOverlays.emplace_back(overlay);
}

void TSplitterWnd::InvertDragBar(QPoint point, const TDrawDragRectEvent& handler) {
  QRect rect = BarRect(FLayout.Coordinate(point));
  bool ownerDraw = true;
  if (handler) handler(this, rect, ownerDraw);
  if (ownerDraw) DrawDragBar(rect);
}

// Ends a running drag without changing sizes (the pane list or the geometry changed under
// it). The erase step keeps draw and erase notifications paired.
void TSplitterWnd::CancelDrag() {
  if (FLayout.DragBar() < 0 || FReleasing) return;
  InvertDragBar(FLayout.DragPos(), OnEraseDragRect);
  RemoveDragBarOverlays();
  FLayout.EndDrag();
}

// Whatever the handlers did to the rectangles, no bar outlives its drag.
void TSplitterWnd::RemoveDragBarOverlays() {
  for (const QPointer<TDragBarOverlay>& overlay : FDragBarOverlays) delete overlay.data();
  FDragBarOverlays.clear();
}

void TSplitterWnd::resizeEvent(QResizeEvent* event) {
  if (event->size().width() == 0 || event->size().height() == 0 || FLoading) return;
  QWidget::resizeEvent(event);
  if (FProportionalResize) {
    RescalePanes(true);
  } else {
    AdjustLastPane();
    ArrangePanes();
  }
}

void TSplitterWnd::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  // Accepting makes the splitter the mouse grabber, so a drag keeps receiving moves outside.
  event->accept();
  // Another button pressed during a drag would start a second drag over the bar still shown.
  if (FLayout.DragBar() >= 0) return;
  if (!FAllowSizing) return;
  if (Layout().BeginDrag(event->position().toPoint()))
    InvertDragBar(FLayout.DragPos(), OnDrawDragRect);
}

void TSplitterWnd::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  if (FLayout.DragBar() < 0) return;
  const QPoint point = Layout().ClampDragPoint(event->position().toPoint());
  if (BarRect(FLayout.Coordinate(FLayout.DragPos())) != BarRect(FLayout.Coordinate(point))) {
    InvertDragBar(FLayout.DragPos(), OnEraseDragRect);
    InvertDragBar(point, OnDrawDragRect);
  }
  FLayout.SetDragPos(point);
}

// The new size comes from the last drag point, not the release point.
void TSplitterWnd::mouseReleaseEvent(QMouseEvent* event) {
  if (FLayout.DragBar() >= 0) {
    FReleasing = true;
    InvertDragBar(FLayout.DragPos(), OnEraseDragRect);
    RemoveDragBarOverlays();
    Layout().ApplyDragRelease();
    ArrangePanes();
    if (OnPaneResize) OnPaneResize(this);
    FReleasing = false;
    FLayout.EndDrag();
  }
  QWidget::mouseReleaseEvent(event);
}

TPane::TPane(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  // Children inherit their parent's cursor in Qt: without its own, a pane would show the
  // splitter's split cursor everywhere instead of over the bars only.
  setCursor(Qt::ArrowCursor);
}

TPane::~TPane() {
  if (FSplitterWnd != nullptr) FSplitterWnd->RemovePane(this, FSplitterWnd);
}

void TPane::SetSplitterWnd(TSplitterWnd* splitter) {
  if (splitter == FSplitterWnd) return;
  if (splitter != nullptr) {
    splitter->AddPane(this);  // leaves the old splitter first
  } else {
    FSplitterWnd->RemovePane(this, nullptr);
  }
}

void TPane::SetPaneIndex(int index) {
  if (FSplitterWnd != nullptr) FSplitterWnd->MovePane(FPaneIndex, index);
}

std::uint16_t TPane::PaneSize() const {
  return FSplitterWnd != nullptr ? FSplitterWnd->FLayout.PaneSize(FPaneIndex) : FPaneSize;
}

void TPane::SetPaneSize(std::uint16_t size) {
  if (FSplitterWnd != nullptr) {
    FSplitterWnd->SetPaneSize(this, size);
  } else {
    FPaneSize = size;
  }
}

std::uint16_t TPane::MinPaneSize() const { return FMinPaneSize; }

void TPane::SetMinPaneSize(std::uint16_t size) {
  FMinPaneSize = size;
  if (FSplitterWnd != nullptr) FSplitterWnd->FLayout.SetMinPaneSize(FPaneIndex, size);
}

void TPane::SetEraseBkgnd(bool value) {
  FEraseBkgnd = value;
  setAutoFillBackground(value);
}
