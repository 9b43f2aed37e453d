#pragma once

#include <QWidget>

enum TBarStyle { sbCheckered, sbSolid };

// The bar shown while a splitter bar is dragged. Qt cannot invert pixels on the screen, so the
// bar is a mouse-transparent child widget raised above its siblings that inverts what lies
// beneath it when it paints: every other pixel for sbCheckered (a one-pixel checkerboard), all
// of them for sbSolid. Hiding or deleting it leaves the screen as it was.
class TDragBarOverlay : public QWidget {
  Q_OBJECT

 public:
  TDragBarOverlay(QWidget* host, TBarStyle style);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TBarStyle FBarStyle;
};
