#pragma once

#include "graph/ItemNetwork.h"

#include <QFont>

#include <cstdint>
#include <limits>
#include <vector>

// A timeline item: its width is fixed when the lanes are laid out.
struct TTLNode : TNWNode {
  int Width = 0;
};

// Places the rows of the file list on a horizontal time axis: every file becomes one item whose
// left edge sits at its last-write time, in one of a fixed set of lanes handed out in turn. The
// world width (the Scale setting) decides how many pixels the whole time range [FMinTime,
// FMaxTime] takes. Draws the axis with ticks, labels and weekend bands, and handles the
// timeline's gestures: tile dragging, panning within the world, coasting, band selection.
//
// Phases: Rebuild makes the items (after a scan); LayoutLanes places them (after a rebuild, a
// resize and an item size change, and for x only after a scale change); Paint draws them.
// Items are ordered by time, so the earliest items win when a paint caps the drawn tiles.
class TVORNItemTimeline : public TVORNItemNetwork {
 public:
  TVORNItemTimeline(QWidget* panel, TTimelineRows* rows);

  void Rebuild(TFileNodeData* row = nullptr) override;
  void LayoutLanes(bool assignY);
  void SetScale(double position);
  double GetScale() const { return FWorldWidth / 500.0; }
  void Resize() override;

  void Paint(QPainter& painter) override;
  bool IsItemOnScreen(const TTLNode& item) const;

  void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y) override;
  void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
  void ZoomToFit(bool selectedOnly, bool panOnly) override;

  std::int64_t MinTime() const { return FMinTime; }
  std::int64_t MaxTime() const { return FMaxTime; }
  double PixelsPerMs() const { return FPixelsPerMs; }
  // The time (ms since 1970 UTC) under a panel x.
  double TimeAtPanelX(int x) const;

 protected:
  void FreeItems() override;
  // Text under the pointer while band selection is on.
  QString SelectingText(int x) const;

  std::int64_t FMinTime = std::numeric_limits<std::int64_t>::max();
  std::int64_t FMaxTime = std::numeric_limits<std::int64_t>::min();
  double FPixelsPerMs = 1.0;
  // Colours of the axis and band; the drawing scheme of a descendant sets them.
  QColor FBandColor{200, 200, 200};
  QColor FAxisColor{180, 180, 180};
  QColor FWeekendColor{0, 48, 100};
  QColor FAxisTextColor{Qt::white};
  QFont FFont;
  // While DrawItem runs: the panel x where the part of the tile that later tiles leave
  // uncovered ends. What lies right of it is painted over anyway and need not be drawn.
  int FUncoveredRight = std::numeric_limits<int>::max();
  // Leaves out what later tiles cover; off, every tile is drawn whole (the same picture).
  bool FSkipCoveredParts = true;

 private:
  void PaintAxis(QPainter& painter, int width, int height);
  void FindUncoveredParts(bool sameSize);

  std::vector<TTLNode> FStore;       // the items, in time order; FItems points into it
  std::vector<TTLNode*> FDrawn;      // scratch of Paint: the tiles of this paint
  std::vector<int> FDrawnUncovered;  // scratch of Paint: their FUncoveredRight
};
