#pragma once

#include <QRect>

// Converts the dialog units of the window templates into pixels at fixed
// base units (7 x 13 pixels for 4 x 8 dialog units): the ones at which the
// pixel positions the windows use fit their templates (a 459 x 123 panel is
// 800 x 200 pixels), and at which the pictures drawn for the windows are
// laid out. The windows themselves take their units from their font
// (CWindowUnits).
class CDialogUnits {
 public:
  static constexpr int kBaseX = 7;
  static constexpr int kBaseY = 13;

  static constexpr int X(int du) { return (du * kBaseX + 2) / 4; }
  static constexpr int Y(int du) { return (du * kBaseY + 4) / 8; }
  static QRect Rect(int x, int y, int width, int height) { return QRect(X(x), Y(y), X(width), Y(height)); }
  static QSize Size(int width, int height) { return QSize(X(width), Y(height)); }
};
