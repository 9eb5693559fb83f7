#pragma once

// Qt 6.4's Wayland input context reaches for the compositor's default seat
// without checking that there is one: on a compositor without a seat (a
// headless weston, a kiosk), the first focused entry box that asks for the
// input panel crashes the program. Such a compositor has no keyboard, so no
// input method can serve the program there either.
class CWaylandSeat {
 public:
  // Before the application object exists: when the program is going to run
  // on a Wayland compositor that offers no seat, and the user chose no input
  // method of his own (QT_IM_MODULE), the program runs without one.
  // Returns true when it did so.
  static bool AvoidSeatlessInputContext();

  // Whether the compositor named by WAYLAND_DISPLAY (else "wayland-0")
  // answers and lists no wl_seat; false when none answers.
  static bool CompositorLacksSeat();
};
