#pragma once

#include <QIcon>

// The window's own pictures (the general image list): toolbar buttons, pager tabs, menu items
// and the file-type filter items. Each glyph comes from the icon theme when the theme has a
// fitting icon and is drawn by our code otherwise, so a bare system still shows every button
// with a picture.
enum TGlyph : int {
  glFlatView,
  glHiddenFiles,
  glProtectedFiles,
  glOSFolders,
  glFilter,
  glShowHashes,
  glShowThumbs,
  glSelectDupes,
  glSelectAll,
  glListToClipboard,
  glCopyFiles,
  glDeleteFiles,
  glFindFirst,
  glFindNext,
  glExplorePage,
  glTimelinePage,
  glSelectItems,
  glZoomToFit,
  glShowSelected,
  glAppFiles,
  glOfficeFiles,
  glImageFiles,
  glVideoFiles,
  glAudioFiles,
  glArchiveFiles,
  glGlyphCount
};

// The glyph's icon. Interface thread only (icons are made there). Never a null icon.
QIcon GlyphIcon(TGlyph glyph);

// The picture drawn when the theme has none of the glyph's icon names: a tile with a short
// mark, at 32 x 32 pixels.
QIcon DrawnGlyphIcon(TGlyph glyph);
