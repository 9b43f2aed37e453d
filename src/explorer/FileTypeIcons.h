#pragma once

#include <QIcon>
#include <QString>

// The icon of a file type, from the icon theme: the MIME type's own icon name first, then its
// generic one ("image-x-generic"), else a drawn page, so every type gets a picture on a bare
// system too. Interface thread only (icons are made there). Never a null icon.
QIcon FileTypeIcon(const QString& iconName, const QString& genericIconName);

// The drawn page used when the theme has no icon for a type.
QIcon FallbackFileTypeIcon();
