#include "explorer/Colors.h"

#include <algorithm>

TColorRef LightenColor(TColorRef color, int amount) {
  TColorRef result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int channel = static_cast<int>((color >> shift) & 0xFFu);
    result |= static_cast<TColorRef>(std::clamp(channel + amount, 0, 255)) << shift;
  }
  return result;
}

QColor QColorOf(TColorRef color) {
  return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                static_cast<int>((color >> 16) & 0xFFu));
}
