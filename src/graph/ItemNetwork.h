#pragma once

#include "graph/TimelineLook.h"
#include "graph/TimelineRows.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

class QPainter;
class QWidget;
struct TFileNodeData;

// One item of the view: a file of the list, placed in the world. The list owns the row and its
// record; an item only refers to them, and the view drops the item before the record is freed.
struct TNWNode {
  int X = 0;          // world x of the left edge
  int Y = 0;          // world y of the vertical centre
  TEdges ScreenRect;  // panel coordinates at the last paint that drew the item
  // The row the item stands for. The list identifies a row by its record, so this is the
  // record too; kept apart from Data because the view treats "which row" and "what is known
  // about the file" as different questions.
  TFileNodeData* TreeNode = nullptr;
  TFileNodeData* Data = nullptr;
  bool Visible = false;   // may be drawn and picked
  bool OnScreen = false;  // intersected the view at the last paint
};

enum TSelectState { selNone, selArmed, selDragging };

// A view that draws one item per row of the file list onto a host panel, keeps a movable
// window (the view rectangle) onto a pixel plane (the world), and turns mouse input into
// panning, item picking, item dragging and band selection, all expressed as the list's own
// selection (through TTimelineRows). It is not a widget: it is given a panel, filters that
// panel's paint, resize, mouse and wheel events, and owns only its items.
//
// Coordinates: panel coordinates are the panel's client pixels; world coordinates are panel
// coordinates plus (FViewLeft, FViewTop). The world starts at x = 0.
//
// Invariants: FViewRight − FViewLeft is the panel's width and FViewBottom − FViewTop its height
// after every paint and pan; FPressedItem is set only during a left press that began on an
// item; FSelectState is selDragging only between the press and the release of a band drag.
// Every item's record is alive: the window calls RemoveItemsOf or Clear before freeing
// records.
class TVORNItemNetwork : public QObject {
 public:
  using TStatusEvent =
      std::function<void(TVORNItemNetwork* sender, int code, const QString& text, int percent)>;
  using TThumbnailNeededEvent = std::function<void(TVORNItemNetwork* sender, TFileNodeData*)>;
  using TTickSource = std::function<std::uint32_t()>;

  TVORNItemNetwork(QWidget* panel, TTimelineRows* rows);
  ~TVORNItemNetwork() override;
  TVORNItemNetwork(const TVORNItemNetwork&) = delete;
  TVORNItemNetwork& operator=(const TVORNItemNetwork&) = delete;

  // The operations the descendants override.
  virtual void MomentumTick();
  virtual void Rebuild(TFileNodeData* row = nullptr) = 0;  // the argument is ignored
  virtual void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y) = 0;
  virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) = 0;
  virtual void MouseLeave() {}
  virtual void DrawItem(QPainter& painter, TNWNode& item) = 0;
  virtual void Paint(QPainter& painter) = 0;
  virtual void Resize();
  virtual void ZoomToFit(bool selectedOnly, bool panOnly);

  // Stops coasting and drops every item; the view rectangle, world width, item size and
  // selection state stay.
  void Clear();
  // Drops the items of records about to be freed (rows deleted from the list). O(items).
  void RemoveItemsOf(const std::vector<const TFileNodeData*>& records);
  // The topmost item drawn by the latest paint at a panel point (left and top edges inside,
  // right and bottom outside), or null.
  TNWNode* HitTest(int x, int y) const;
  // Makes the list's selection, among rows that have an item, exactly the items whose (X, Y)
  // lies in the world rectangle, edges inclusive. The rectangle is taken as given: a reversed
  // one holds nothing. Rows without an item keep their state.
  void SelectInRect(TEdges rect);
  // Arms band selection (crosshair cursor over the whole program) or ends it.
  void ToggleSelectMode();
  // Item height round(24 × factor) and width round(120 × factor), at least a 24 × 24 square.
  // The caller lays out again.
  void SetItemSize(double factor);
  // The window calls this whenever the list's selection changed, so the tiles repaint.
  void SelectionChanged() { Invalidate(); }
  // Fills the panel's background and draws the view: what the panel's paint event does.
  void PaintPanel(QPainter& painter);
  void Invalidate();

  TStatusEvent OnStatus;
  TThumbnailNeededEvent OnThumbnailNeeded;
  // The millisecond tick count that times a press; a steady clock unless a test sets another.
  void SetTickSource(TTickSource source) { FTickSource = std::move(source); }

  QWidget* Panel() const { return FPanel; }
  const std::vector<TNWNode*>& Items() const { return FItems; }
  int ViewLeft() const { return FViewLeft; }
  int ViewTop() const { return FViewTop; }
  int ViewRight() const { return FViewRight; }
  int ViewBottom() const { return FViewBottom; }
  int WorldWidth() const { return FWorldWidth; }
  double SizeFactor() const { return FSizeFactor; }
  int ItemHeight() const { return FItemHeight; }
  int ItemWidth() const { return FItemWidth; }
  TSelectState SelectState() const { return FSelectState; }
  TEdges SelectRect() const { return FSelectRect; }
  TNWNode* PressedItem() const { return FPressedItem; }
  float VelocityX() const { return FVelocityX; }
  float VelocityY() const { return FVelocityY; }
  bool MomentumRunning() const { return FMomentumTimer.isActive(); }
  int MaxDrawnItems() const { return FMaxDrawnItems; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  int ClientWidth() const;
  int ClientHeight() const;
  std::uint32_t TickCount() const { return FTickSource(); }
  void SetCrosshair(bool on);
  // Frees the store of items once FItems no longer refers to it.
  virtual void FreeItems() {}
  // Drops the caches that may refer to records or depend on the item size.
  virtual void ForgetRecords() {}

  QWidget* FPanel;
  TTimelineRows* FTree;
  QColor FPanelColor;
  int FLastX = 0;
  int FLastY = 0;
  int FViewLeft = 0;
  int FViewTop = 0;
  int FViewRight = 0;
  int FViewBottom = 0;
  int FWorldWidth = 10000;
  QTimer FMomentumTimer;
  int FPressX = 0;
  int FPressY = 0;
  float FVelocityX = 0.0f;
  float FVelocityY = 0.0f;
  std::uint32_t FPressTick = 0;
  // Drawing order, later items on top. The items themselves live in a descendant's store,
  // made in one piece by each rebuild and freed by FreeItems.
  std::vector<TNWNode*> FItems;
  double FSizeFactor = 1.0;
  int FItemHeight = 40;
  int FItemWidth = 200;
  TNWNode* FPressedItem = nullptr;
  TSelectState FSelectState = selNone;
  TEdges FSelectRect;         // world coordinates
  int FMaxDrawnItems = 6000;  // bounds the cost of one paint whatever the zoom

 private:
  TTickSource FTickSource;
  bool FCrosshairPushed = false;
};
