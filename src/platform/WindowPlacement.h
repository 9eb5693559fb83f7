#pragma once

#include <QRect>
#include <QString>

class QWidget;

// Where a resizable window was last: its frame-less geometry kept as the
// text "x,y,width,height" in the settings key "Software\TVR\Client\Windows",
// one value per window name.
class CWindowPlacement {
 public:
  static const QString kKey;

  // Moves and sizes the window to its remembered place, kept on a screen
  // that exists now; false (the window untouched) when none is remembered.
  static bool Restore(QWidget* window, const QString& name);
  static void Save(const QWidget* window, const QString& name);

  // The rectangle moved (and if need be shrunk, never below minimum) so
  // that it lies inside the area.
  static QRect ClampTo(const QRect& rect, const QRect& area, const QSize& minimum);
  static bool Parse(const QString& text, QRect& rect);
};
