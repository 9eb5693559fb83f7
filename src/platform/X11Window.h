#pragma once

class QWidget;

// What Qt does not offer of a window's X11 hints. Each does nothing in a
// session that is not an X11 one.
class CX11Window {
 public:
  // Keeps a window out of the task bar and the pager (a notice is not a
  // window the operator switches to). Call before the window is shown:
  // the window manager reads the state when it takes the window, and Qt
  // keeps states set before its own.
  static void SkipTaskBar(QWidget* window);
  // Brings the program's idea of the server's time up to now, before a
  // window the operator asked for is shown. A program that received no
  // input since (the page viewer, told by the console what to open) would
  // otherwise map it with a user time older than the operator's last
  // click, and the window manager would keep it behind, asking for
  // attention. Waits at most half a second for the server.
  static void CatchUpUserTime(QWidget* window);
};
