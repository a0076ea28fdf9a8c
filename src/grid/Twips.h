#pragma once

#include "Numbers.h"

#include <QColor>
#include <QWidget>

#include <algorithm>

namespace norvale {

// The window and the grid are laid out in twips, 15 to a pixel at 96 dots per
// inch; Qt scales pixels for high-density screens.
inline constexpr int TwipsPerPixel = 15;

inline int Pixels(int twips)
{
    return static_cast<int>(RoundHalfEven(twips / static_cast<double>(TwipsPerPixel)));
}

// Places a widget by a rectangle in twips; a negative size counts as 0.
inline void SetTwipsGeometry(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Pixels(left), Pixels(top), Pixels(std::max(width, 0)), Pixels(std::max(height, 0)));
}

// A colour written &HBBGGRR: red in the low byte, then green, then blue.
inline QColor ColourFromBgr(uint bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

} // namespace norvale
