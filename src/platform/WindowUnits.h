#pragma once

#include "DialogUnits.h"

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

// Converts the dialog units of the window templates into pixels, from the
// window's font as the templates intend: a horizontal unit is a quarter of
// the font's average letter width, a vertical one an eighth of its height.
// The windows were first laid out at the fixed base units of CDialogUnits
// (7 x 13 pixels for 4 x 8 units; the desktop's default 9 point font gives
// 7 x 14); the places given in pixels at that size (a 459 x 123 unit panel
// is 800 x 200 pixels) scale by the same ratio, so that a larger font makes
// the whole window larger instead of cutting its texts.
class CWindowUnits {
 public:
  // The base units the pixel places were chosen at.
  static constexpr double kLayoutBaseX = CDialogUnits::kBaseX;
  static constexpr double kLayoutBaseY = CDialogUnits::kBaseY;

  explicit CWindowUnits(const QFont& font);
  // The units of the font the widget has now (a window's, before its children exist).
  static CWindowUnits Of(const QWidget* widget);

  int X(int du) const;
  int Y(int du) const;
  QRect Rect(int x, int y, int width, int height) const { return QRect(X(x), Y(y), X(width), Y(height)); }
  QSize Size(int width, int height) const { return QSize(X(width), Y(height)); }

  // A length laid out in pixels at the first base units, at this font.
  int PixelsX(int px) const;
  int PixelsY(int px) const;
  QRect Pixels(const QRect& r) const;
  QSize Pixels(const QSize& s) const { return QSize(PixelsX(s.width()), PixelsY(s.height())); }

 private:
  double m_baseX;
  double m_baseY;
};
