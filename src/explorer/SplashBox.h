#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

// The about box, shown as a splash window at start: the product picture and the version on a
// borderless, always-on-top window centred on the screen. It closes itself after
// kSplashLifetimeMs or when the picture is clicked. It never takes the focus from the main
// window (the user may start working while it shows). Closing only hides it; its owner frees it.
class TSplashBox : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kSplashLifetimeMs = 5000;

  explicit TSplashBox(QWidget* parent = nullptr);

  // Centres the box on the primary screen, shows it and starts the timer that closes it.
  void ShowSplash();

  QString VersionText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QPixmap FPicture;
  QTimer FCloseTimer;
};
