#pragma once

#include <QString>
#include <QStringList>

// Makes QIcon::fromTheme find the desktop's icons even where no desktop session names a theme
// (a bare X server, the offscreen platform of the tests). Call once, after the application
// object exists and before the first icon is looked up.
//
// When the session's theme is empty or only "hicolor", the first installed theme of
// kPreferredIconThemes is chosen. Under the offscreen platform Qt searches no folders at all,
// so the XDG "icons" folders are added to the search path first.
void SetUpIconTheme();

// The installed theme of preferredThemes that comes first, looked up in searchPaths (a theme
// is installed when <path>/<name>/index.theme exists); empty when none is.
QString FirstInstalledIconTheme(const QStringList& preferredThemes, const QStringList& searchPaths);

// Adwaita carries the generic type icons; Breeze adds per-type ones.
inline const QStringList kPreferredIconThemes = {QStringLiteral("Adwaita"),
                                                 QStringLiteral("breeze")};
