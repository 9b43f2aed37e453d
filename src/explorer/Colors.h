#pragma once

#include <QColor>

#include <cstdint>

// Colours are kept as 0x00BBGGRR integers (red in the low byte), the way the window's style
// values are given; QColorOf converts for painting.
using TColorRef = std::uint32_t;

// The office-like style of the window: the status bar's light panel (colour and gradient end),
// the dark panel's gradient end, which is also the toolbar pager's colour.
inline constexpr TColorRef kLightPanelColor = 4276545;     // RGB(0x41, 0x41, 0x41)
inline constexpr TColorRef kLightPanelEndColor = 3158063;  // RGB(0x2F, 0x30, 0x30)
inline constexpr TColorRef kDarkPanelEndColor = 6512478;   // RGB(0x5E, 0x5F, 0x63)

// Adds amount to each of red, green and blue, each limited to 0..255. A negative amount
// darkens. Bits above the blue byte are dropped.
TColorRef LightenColor(TColorRef color, int amount);

QColor QColorOf(TColorRef color);
