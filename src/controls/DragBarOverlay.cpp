#include "controls/DragBarOverlay.h"

#include <QPainter>

TDragBarOverlay::TDragBarOverlay(QWidget* host, TBarStyle style) : QWidget(host), FBarStyle(style) {
  setObjectName(QStringLiteral("dragBar"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
}

void TDragBarOverlay::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // Difference with white inverts the pixels already painted beneath; the transparent holes
  // of the pattern leave their pixels alone. Anchoring the pattern to the host keeps the
  // checkerboard steady while the bar moves.
  painter.setCompositionMode(QPainter::CompositionMode_Difference);
  painter.setBrushOrigin(-pos());
  const QBrush brush(Qt::white, FBarStyle == sbCheckered ? Qt::Dense4Pattern : Qt::SolidPattern);
  painter.fillRect(rect(), brush);
}
