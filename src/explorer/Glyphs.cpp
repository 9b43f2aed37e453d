#include "explorer/Glyphs.h"

#include <QPainter>
#include <QPixmap>

#include <array>
#include <initializer_list>

namespace {

struct TGlyphSource {
  std::initializer_list<const char*> ThemeNames;  // tried in order
  const char* Mark;                               // text of the drawn fall-back tile
  QRgb Tint;                                      // colour of the drawn fall-back tile
};

// Indexed by TGlyph. Names of the freedesktop naming scheme first, then names that common
// themes (Adwaita's legacy set, Breeze) are known to carry.
const std::array<TGlyphSource, glGlyphCount>& GlyphSources() {
  static const std::array<TGlyphSource, glGlyphCount> sources = {{
      {{"view-list-tree", "format-indent-more", "folder"}, "Fl", 0xFF3B7DD8},
      {{"view-hidden", "user-invisible", "changes-prevent"}, "Hi", 0xFF7A7A7A},
      {{"security-high", "changes-prevent"}, "Pr", 0xFF2E9E44},
      {{"folder-system", "emblem-system", "preferences-system"}, "OS", 0xFF8A5CC2},
      {{"view-filter", "preferences-system-search", "edit-find-replace"}, "Ft", 0xFFCC7A00},
      {{"document-properties", "dialog-password"}, "#", 0xFF5C6BC0},
      {{"image-x-generic", "insert-image"}, "Th", 0xFF2A9D8F},
      {{"emblem-documents", "edit-copy"}, "Du", 0xFFD04848},
      {{"edit-select-all"}, "All", 0xFF3B7DD8},
      {{"edit-paste"}, "Cb", 0xFF8D6E63},
      {{"edit-copy"}, "Cp", 0xFF3B7DD8},
      {{"edit-delete", "user-trash"}, "Del", 0xFFD04848},
      {{"edit-find", "system-search"}, "F1", 0xFF5C6BC0},
      {{"go-next", "go-down"}, "Fn", 0xFF5C6BC0},
      {{"system-file-manager", "folder"}, "Ex", 0xFF3B7DD8},
      {{"x-office-calendar", "appointment-new", "view-calendar"}, "Tl", 0xFF2A9D8F},
      {{"edit-select-all"}, "Sel", 0xFF3B7DD8},
      {{"zoom-fit-best"}, "Fit", 0xFF2A9D8F},
      {{"go-jump", "go-next"}, "Go", 0xFF5C6BC0},
      {{"application-x-executable", "system-run"}, "App", 0xFF7A7A7A},
      {{"x-office-document", "text-x-generic"}, "Doc", 0xFF3B7DD8},
      {{"image-x-generic"}, "Img", 0xFF2A9D8F},
      {{"video-x-generic"}, "Vid", 0xFFD04848},
      {{"audio-x-generic"}, "Aud", 0xFFCC7A00},
      {{"package-x-generic", "emblem-package"}, "Arc", 0xFF8D6E63},
  }};
  return sources;
}

}  // namespace

QIcon DrawnGlyphIcon(TGlyph glyph) {
  const TGlyphSource& source = GlyphSources()[static_cast<std::size_t>(glyph)];
  QPixmap tile(32, 32);
  tile.fill(Qt::transparent);
  QPainter painter(&tile);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(source.Tint).darker(140), 1.5));
  painter.setBrush(QColor(source.Tint));
  painter.drawRoundedRect(QRectF(2.5, 2.5, 27, 27), 5, 5);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(qstrlen(source.Mark) > 2 ? 10 : 13);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(tile.rect(), Qt::AlignCenter, QString::fromLatin1(source.Mark));
  painter.end();
  return QIcon(tile);
}

QIcon GlyphIcon(TGlyph glyph) {
  for (const char* name : GlyphSources()[static_cast<std::size_t>(glyph)].ThemeNames) {
    if (QIcon::hasThemeIcon(QLatin1String(name))) return QIcon::fromTheme(QLatin1String(name));
  }
  return DrawnGlyphIcon(glyph);
}
