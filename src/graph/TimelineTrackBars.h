#pragma once

#include <QObject>

class QSlider;
class TVORNItemTimeline;

// Applies the window's two track bars to the timeline, and turns the mouse wheel over the
// timeline or over either bar into track bar moves. The owner of the bars calls ScaleChange and
// ItemSizeChange from the bars' change events:
// - "Scale" (1 to 50000, starts at 300): SetScale(position), 500 world pixels per position;
// - "Item Size" (5 to 100, starts at 10): SetItemSize(position / 10), then the lanes again.
// The starting positions take effect only when a track bar first changes; until then the view
// keeps its own defaults. "Zoom to Fit" does not move the Scale bar, so the next change of the
// bar starts again from the bar's own position.
//
// One wheel notch (120) moves Scale by 10 positions, or with Ctrl held Item Size by 1; the
// track bar keeps the position within its range and reports only real changes.
class TTimelineTrackBars : public QObject {
 public:
  TTimelineTrackBars(TVORNItemTimeline* view, QSlider* scale, QSlider* itemSize);
  ~TTimelineTrackBars() override;
  TTimelineTrackBars(const TTimelineTrackBars&) = delete;
  TTimelineTrackBars& operator=(const TTimelineTrackBars&) = delete;

  // The bars' change events.
  void ScaleChange();
  void ItemSizeChange();

  // The window's wheel handler: acts only while the timeline panel is visible; returns whether
  // the wheel was used.
  bool MouseWheel(Qt::KeyboardModifiers shift, int wheelDelta);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TVORNItemTimeline* FView;
  QSlider* FScale;
  QSlider* FItemSize;
};
