#include "graph/TimelineTrackBars.h"

#include "graph/ItemTimeline.h"

#include <QSlider>
#include <QWheelEvent>
#include <QWidget>

TTimelineTrackBars::TTimelineTrackBars(TVORNItemTimeline* view, QSlider* scale, QSlider* itemSize)
    : FView(view), FScale(scale), FItemSize(itemSize) {
  FScale->setRange(1, 50000);
  FScale->setValue(300);
  FItemSize->setRange(5, 100);
  FItemSize->setValue(10);
  // A notch over a bar moves it as over the panel, not by the bar's own wheel step.
  for (QObject* watched : {static_cast<QObject*>(FView->Panel()), static_cast<QObject*>(FScale),
                           static_cast<QObject*>(FItemSize)})
    watched->installEventFilter(this);
}

TTimelineTrackBars::~TTimelineTrackBars() {
  for (QObject* watched : {static_cast<QObject*>(FView->Panel()), static_cast<QObject*>(FScale),
                           static_cast<QObject*>(FItemSize)})
    watched->removeEventFilter(this);
}

void TTimelineTrackBars::ScaleChange() { FView->SetScale(FScale->value()); }

void TTimelineTrackBars::ItemSizeChange() {
  FView->SetItemSize(FItemSize->value() / 10.0);
  FView->LayoutLanes(true);
}

bool TTimelineTrackBars::MouseWheel(Qt::KeyboardModifiers shift, int wheelDelta) {
  if (!FView->Panel()->isVisible()) return false;
  if (shift & Qt::ControlModifier) {
    FItemSize->setValue(FItemSize->value() + wheelDelta / 120);
  } else {
    FScale->setValue(FScale->value() + wheelDelta / 12);
  }
  return true;
}

bool TTimelineTrackBars::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel &&
      (watched == FView->Panel() || watched == FScale || watched == FItemSize)) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    return MouseWheel(wheel->modifiers(), wheel->angleDelta().y());
  }
  return false;
}
