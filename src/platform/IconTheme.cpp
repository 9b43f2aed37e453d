#include "platform/IconTheme.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QStandardPaths>

namespace {

// The icon theme standard's base folders: ~/.icons, then $XDG_DATA_DIRS/icons (with the
// user's own data folder first), then /usr/share/pixmaps.
QStringList XdgIconFolders() {
  QStringList folders{QDir::homePath() + QStringLiteral("/.icons")};
  folders += QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                       QStandardPaths::LocateDirectory);
  folders += QStringLiteral("/usr/share/pixmaps");
  return folders;
}

}  // namespace

QString FirstInstalledIconTheme(const QStringList& preferredThemes,
                                const QStringList& searchPaths) {
  for (const QString& theme : preferredThemes) {
    for (const QString& path : searchPaths) {
      if (QFileInfo::exists(path + QLatin1Char('/') + theme + QStringLiteral("/index.theme")))
        return theme;
    }
  }
  return {};
}

void SetUpIconTheme() {
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& folder : XdgIconFolders()) {
      if (!paths.contains(folder) && QFileInfo(folder).isDir()) paths += folder;
    }
    QIcon::setThemeSearchPaths(paths);
  }
  const QString current = QIcon::themeName();
  if (!current.isEmpty() && current != QLatin1String("hicolor")) return;
  const QString chosen = FirstInstalledIconTheme(kPreferredIconThemes, QIcon::themeSearchPaths());
  if (!chosen.isEmpty()) QIcon::setThemeName(chosen);
}
