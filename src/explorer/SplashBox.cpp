#include "explorer/SplashBox.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

namespace {

constexpr int kVersionBandHeight = 24;

QPixmap SplashPicture() {
  QSvgRenderer renderer(QStringLiteral(":/splash.svg"));
  const QSize size = renderer.isValid() ? renderer.defaultSize() : QSize(400, 220);
  QPixmap picture(size);
  picture.fill(QColor(0x41, 0x41, 0x41));
  QPainter painter(&picture);
  renderer.render(&painter);
  return picture;
}

}  // namespace

TSplashBox::TSplashBox(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus),
      FPicture(SplashPicture()) {
  setObjectName(QStringLiteral("SplashBox"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  // A splash still showing must not keep the program alive once the main window has closed.
  setAttribute(Qt::WA_QuitOnClose, false);
  setFocusPolicy(Qt::NoFocus);
  setFixedSize(FPicture.width(), FPicture.height() + kVersionBandHeight);
  setToolTip(tr("Click to close"));
  FCloseTimer.setSingleShot(true);
  FCloseTimer.setInterval(kSplashLifetimeMs);
  connect(&FCloseTimer, &QTimer::timeout, this, &QWidget::close);
}

QString TSplashBox::VersionText() const {
  return QStringLiteral("Version ") + QCoreApplication::applicationVersion();
}

void TSplashBox::ShowSplash() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  show();
  FCloseTimer.start();
}

void TSplashBox::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, FPicture);
  const QRect band(0, FPicture.height(), width(), kVersionBandHeight);
  painter.fillRect(band, QColor(0x00, 0x18, 0x3F));
  painter.setPen(QColor(0xC8, 0xD4, 0xE8));
  painter.drawText(band.adjusted(10, 0, -10, 0), Qt::AlignVCenter | Qt::AlignRight, VersionText());
}

void TSplashBox::mousePressEvent(QMouseEvent* event) {
  event->accept();
  FCloseTimer.stop();
  close();
}
