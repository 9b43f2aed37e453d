#include "platform/ShellOpen.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

bool ShellOpen(const QByteArray& path) {
  if (path.isEmpty()) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path)));
}
