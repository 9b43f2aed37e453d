#include "graph/ItemNetwork.h"

#include "graph/TimelineLayout.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <unordered_set>

TVORNItemNetwork::TVORNItemNetwork(QWidget* panel, TTimelineRows* rows)
    : FPanel(panel), FTree(rows), FPanelColor(panel->palette().color(QPalette::Window)) {
  FViewRight = panel->width();
  FViewBottom = panel->height();
  FTickSource = [] {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  };
  // The view paints every pixel itself; Qt composes each paint off screen and shows it whole.
  panel->setAttribute(Qt::WA_OpaquePaintEvent);
  panel->setAutoFillBackground(false);
  // Every move is wanted, not only drags: the last pointer position is where a pan starts.
  panel->setMouseTracking(true);
  panel->installEventFilter(this);
  FMomentumTimer.setInterval(10);
  QObject::connect(&FMomentumTimer, &QTimer::timeout, this, [this] { MomentumTick(); });
}

TVORNItemNetwork::~TVORNItemNetwork() {
  if (FPanel) FPanel->removeEventFilter(this);
  SetCrosshair(false);
  FMomentumTimer.stop();
  FPressedItem = nullptr;
  FItems.clear();
}

int TVORNItemNetwork::ClientWidth() const { return FPanel->width(); }
int TVORNItemNetwork::ClientHeight() const { return FPanel->height(); }

void TVORNItemNetwork::Invalidate() { FPanel->update(); }

void TVORNItemNetwork::Clear() {
  FMomentumTimer.stop();
  FPressedItem = nullptr;
  FItems.clear();
  FreeItems();
  ForgetRecords();
}

void TVORNItemNetwork::RemoveItemsOf(const std::vector<const TFileNodeData*>& records) {
  if (records.empty() || FItems.empty()) return;
  const std::unordered_set<const TFileNodeData*> gone(records.begin(), records.end());
  const auto isGone = [&gone](TNWNode* item) {
    if (gone.count(item->TreeNode) == 0 && gone.count(item->Data) == 0) return false;
    // The item stays in the store until the next rebuild, but refers to nothing any more.
    item->TreeNode = nullptr;
    item->Data = nullptr;
    item->Visible = false;
    item->OnScreen = false;
    return true;
  };
  std::erase_if(FItems, isGone);
  if (FPressedItem && !FPressedItem->Data) FPressedItem = nullptr;
  ForgetRecords();
  Invalidate();
}

TNWNode* TVORNItemNetwork::HitTest(int x, int y) const {
  // Only what the latest paint drew can be picked: an item that has left the view since then
  // is not under the pointer, whatever its old rectangle says.
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) {
    TNWNode* item = *it;
    if (!item->Visible || !item->OnScreen) continue;
    const TEdges& r = item->ScreenRect;
    if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return item;
  }
  return nullptr;
}

void TVORNItemNetwork::SelectInRect(TEdges rect) {
  std::vector<TSelectionChange> changes;
  changes.reserve(FItems.size());
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) {
    const TNWNode* item = *it;
    if (!item->TreeNode) continue;
    const bool inside = rect.Left <= item->X && item->X <= rect.Right && rect.Top <= item->Y &&
                        item->Y <= rect.Bottom;
    changes.push_back({item->TreeNode, inside});
  }
  if (!changes.empty()) FTree->SetSelection(changes);
}

void TVORNItemNetwork::SetCrosshair(bool on) {
  if (on == FCrosshairPushed) return;
  if (on) {
    QApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
  } else {
    QApplication::restoreOverrideCursor();
  }
  FCrosshairPushed = on;
}

void TVORNItemNetwork::ToggleSelectMode() {
  if (FSelectState == selArmed || FSelectState == selDragging) {
    FSelectState = selNone;
    SetCrosshair(false);
  } else {
    FSelectState = selArmed;
    SetCrosshair(true);
  }
}

void TVORNItemNetwork::SetItemSize(double factor) {
  FSizeFactor = factor;
  const TItemSize size = TimelineItemSize(factor);
  FItemHeight = size.Height;
  FItemWidth = size.Width;
  ForgetRecords();
  Invalidate();
}

void TVORNItemNetwork::Resize() { Invalidate(); }

void TVORNItemNetwork::ZoomToFit(bool, bool) {}

void TVORNItemNetwork::MomentumTick() {
  const TMomentumStep stepX = TimelineMomentumStep(FVelocityX);
  const TMomentumStep stepY = TimelineMomentumStep(FVelocityY);
  FViewLeft -= stepX.Move;
  FViewRight = ClientWidth() + FViewLeft;
  FViewTop -= stepY.Move;
  FViewBottom = ClientHeight() + FViewTop;
  FVelocityX = stepX.Next;
  FVelocityY = stepY.Next;
  if (std::abs(FVelocityX) < kTimelineMomentumStop && std::abs(FVelocityY) < kTimelineMomentumStop)
    FMomentumTimer.stop();
  Invalidate();
}

void TVORNItemNetwork::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                 int y) {
  FMomentumTimer.stop();
  FPressTick = TickCount();
  if (button == Qt::LeftButton) {
    if (FSelectState == selArmed) {
      FSelectRect = {FViewLeft + x, FViewTop + y, FViewLeft + x, FViewTop + y};
      FSelectState = selDragging;
    } else {
      FPressedItem = HitTest(x, y);
      if (FPressedItem && FPressedItem->Visible) {
        TFileNodeData* row = FPressedItem->TreeNode;
        if (row) {
          const bool adding = shift.testAnyFlags(Qt::ShiftModifier | Qt::ControlModifier);
          if (!FTree->IsSelected(row) && !adding) FTree->ClearSelection();
          FTree->SetSelected(row, true);
        }
      } else if (!FPressedItem) {
        FTree->ClearSelection();
      }
      Invalidate();
    }
    if (OnStatus) OnStatus(this, 0, QString(), 100);
  }
  FPressX = x;
  FPressY = y;
  // A press is also where the next drag starts from, even when no plain move preceded it
  // (a touch press, or a window that did not have the pointer before).
  FLastX = x;
  FLastY = y;
}

void TVORNItemNetwork::PaintPanel(QPainter& painter) {
  painter.fillRect(QRect(0, 0, ClientWidth(), ClientHeight()), FPanelColor);
  Paint(painter);
}

bool TVORNItemNetwork::eventFilter(QObject* watched, QEvent* event) {
  if (watched != FPanel) return false;
  switch (event->type()) {
    case QEvent::Paint: {
      QPainter painter(FPanel);
      PaintPanel(painter);
      return true;
    }
    case QEvent::Resize:
      Resize();
      return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {  // the second press of a double click is a press too
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint at = mouse->position().toPoint();
      MouseDown(mouse->button(), mouse->modifiers(), at.x(), at.y());
      return true;
    }
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint at = mouse->position().toPoint();
      MouseMove(mouse->buttons(), mouse->modifiers(), at.x(), at.y());
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint at = mouse->position().toPoint();
      MouseUp(mouse->button(), mouse->modifiers(), at.x(), at.y());
      return true;
    }
    case QEvent::Leave:
      MouseLeave();
      return false;
    default:
      return false;
  }
}
