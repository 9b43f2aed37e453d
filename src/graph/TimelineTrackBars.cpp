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
  connect(FScale, &QSlider::valueChanged, this,
          [this](int position) { FView->SetScale(position); });
  connect(FItemSize, &QSlider::valueChanged, this, [this](int position) {
    FView->SetItemSize(position / 10.0);
    FView->LayoutLanes(true);
  });
  FView->Panel()->installEventFilter(this);
}

TTimelineTrackBars::~TTimelineTrackBars() { FView->Panel()->removeEventFilter(this); }

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
  if (watched == FView->Panel() && event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    return MouseWheel(wheel->modifiers(), wheel->angleDelta().y());
  }
  return false;
}
