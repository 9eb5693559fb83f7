#pragma once

#include <QMargins>
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

  // Where a new window of the given size opens when the last one it follows
  // is at last (frame included): a step right and down, back to the area's
  // top-left corner when it would leave the area, always inside it.
  static QPoint Cascade(const QRect& last, const QSize& size, const QRect& area);
  // Moves a new top-level window (not shown yet) to its cascade place after
  // the last window placed so that is still open, or to the middle of the
  // work area when none is, so that new windows never hide each other.
  static void PlaceCascaded(QWidget* window);
  static constexpr int kCascadeStep = 32;

  // Where a window of the given size goes beside the anchor (a window's
  // frame) without covering it: right of it, else left, below or above,
  // inside the area. When the window fits whole on no side it is narrowed
  // (or shortened) to the roomiest side, down to the minimum; when even that
  // does not fit it overlaps the anchor as little as the area allows.
  // The size a window may take on its screen, the window manager's title
  // bar and borders left room (no bound without a screen).
  static QSize RoomOnScreen(const QWidget* window);
  // The window manager's title bar and borders around a window, which one
  // not yet shown does not have: those of a window of the program already
  // framed, else the room RoomOnScreen leaves for them.
  static QMargins FrameMargins(const QWidget* window);

  static QRect Beside(const QRect& anchor, const QSize& size, const QRect& area, const QSize& minimum);
  static constexpr int kBesideGap = 8;
};
