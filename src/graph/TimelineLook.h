#pragma once

#include <QColor>
#include <QRect>
#include <QRgb>
#include <QSize>

#include <array>

// The timeline's colours and the rule that fits a picture into a tile's picture box.

// Tile colours by file type (icon index modulo 19), so files of one type share a colour.
inline constexpr std::array<QRgb, 19> ItemColors = {
    0xFF3366CC, 0xFFDC3912, 0xFFFF9900, 0xFF109618, 0xFF990099, 0xFF3B3EAC, 0xFF0099C6,
    0xFFDD4477, 0xFF66AA00, 0xFFB82E2E, 0xFF316395, 0xFF994499, 0xFF22AA99, 0xFFAAAA11,
    0xFF6633CC, 0xFFE67300, 0xFF8B0707, 0xFF329262, 0xFF5574A6};
// A file whose type has no icon (negative index) belongs to no type: a neutral grey.
inline constexpr QRgb kNoTypeItemColor = 0xFF707070;
inline constexpr QRgb kSelectedItemColor = 0xFF0000FF;

QColor TimelineItemColor(int imageIndex, bool selected);

inline constexpr QRgb kTimelineBackColor = 0xFF00183F;  // RGB(0, 24, 63)

// The rectangle a picture of the given size is stretched into inside a square picture box:
// the box shrinks symmetrically on the picture's short side so the picture keeps its
// proportions. Empty when the picture has no area. Edges are (left, top, right, bottom) with
// right and bottom exclusive.
struct TEdges {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  friend bool operator==(const TEdges&, const TEdges&) = default;
};
TEdges FitPictureBox(TEdges box, QSize picture);
