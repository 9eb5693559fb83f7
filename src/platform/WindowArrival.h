#pragma once

class QWidget;

// How a top-level window comes into view. The keyboard belongs to the
// operator: a window opened by the operator's own action comes to the front,
// active; one that arrives by itself (a chat handed over, a message, a
// warning) never takes the focus from the window being typed in, and asks
// for attention instead (the urgency hint, a flash in the task bar).
class CWindowArrival {
 public:
  static void ShowInFront(QWidget* window);
  static void ShowQuietly(QWidget* window);
  // One of the two, as the operator asked for the window or not.
  static void Show(QWidget* window, bool bAskedFor);
  // Whether a shown window that is not minimised is in the operator's
  // sight as far as the program can tell. A Wayland compositor tells no
  // program that its window was minimised or put away (another workspace, a
  // scratchpad): there only the window that has the keyboard counts.
  static bool IsInSight(const QWidget* window);
  // Whether the program places its windows itself (X11). On Wayland the
  // compositor places them, and gives each new window the keyboard as it
  // sees fit.
  static bool PlacesWindows();
};
