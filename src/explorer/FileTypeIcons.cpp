#include "explorer/FileTypeIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QIcon FileTypeIcon(const QString& iconName, const QString& genericIconName) {
  for (const QString& name : {iconName, genericIconName}) {
    if (!name.isEmpty() && QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
  }
  return FallbackFileTypeIcon();
}

QIcon FallbackFileTypeIcon() {
  QPixmap page(16, 16);
  page.fill(Qt::transparent);
  QPainter painter(&page);
  painter.setRenderHint(QPainter::Antialiasing);
  // A sheet with a folded top-right corner.
  QPainterPath sheet;
  sheet.moveTo(3.5, 1.5);
  sheet.lineTo(9.5, 1.5);
  sheet.lineTo(12.5, 4.5);
  sheet.lineTo(12.5, 14.5);
  sheet.lineTo(3.5, 14.5);
  sheet.closeSubpath();
  painter.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
  painter.setBrush(Qt::white);
  painter.drawPath(sheet);
  painter.drawPolyline(QPolygonF({QPointF(9.5, 1.5), QPointF(9.5, 4.5), QPointF(12.5, 4.5)}));
  painter.end();
  return QIcon(page);
}
