#include "graph/TimelineLook.h"

#include "graph/TimelineLayout.h"

QColor TimelineItemColor(int imageIndex, bool selected) {
  if (selected) return QColor::fromRgb(kSelectedItemColor);
  if (imageIndex < 0) return QColor::fromRgb(kNoTypeItemColor);
  return QColor::fromRgb(ItemColors[static_cast<std::size_t>(imageIndex % 19)]);
}

TEdges FitPictureBox(TEdges box, QSize picture) {
  const int width = picture.width();
  const int height = picture.height();
  if (width <= 0 || height <= 0) return {};
  if (width >= height) {
    const int d =
        RoundHalfEven((box.Bottom - box.Top) * (static_cast<double>(width - height) / width) / 2.0);
    box.Top += d;
    box.Bottom -= d;
  } else {
    const int d = RoundHalfEven((box.Right - box.Left) *
                                (static_cast<double>(height - width) / height) / 2.0);
    box.Left += d;
    box.Right -= d;
  }
  return box;
}
