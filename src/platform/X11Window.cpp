#include "X11Window.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

// Last: Xlib's macros (None, Status, Bool) would clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

Display* X11Display() {
  const auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 != nullptr ? x11->display() : nullptr;
}

// Sees the property change this program made, just before Qt takes the
// server time from it.
class CPropertySeen : public QAbstractNativeEventFilter {
 public:
  CPropertySeen(unsigned long window, unsigned long atom) : m_window(window), m_atom(atom) {}
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
    const auto* property = static_cast<const xcb_property_notify_event_t*>(message);
    if (property->window == m_window && property->atom == m_atom) m_bSeen = true;
    return false;
  }
  bool Seen() const { return m_bSeen; }

 private:
  unsigned long m_window;
  unsigned long m_atom;
  bool m_bSeen = false;
};

}  // namespace

void CX11Window::SkipTaskBar(QWidget* window) {
  Display* display = X11Display();
  if (display == nullptr) return;
  const Window id = window->winId();
  Atom states[] = {XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False),
                   XInternAtom(display, "_NET_WM_STATE_SKIP_PAGER", False)};
  XChangeProperty(display, id, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeAppend,
                  reinterpret_cast<unsigned char*>(states), 2);
  XFlush(display);
}

void CX11Window::CatchUpUserTime(QWidget* window) {
  Display* display = X11Display();
  if (display == nullptr) return;
  const Window id = window->winId();
  const Atom atom = XInternAtom(display, "_TALVERO_TIME", False);
  CPropertySeen seen(id, atom);
  QCoreApplication::instance()->installNativeEventFilter(&seen);
  // An empty property: its change notice carries the server's time.
  XChangeProperty(display, id, atom, XA_CARDINAL, 32, PropModeReplace, nullptr, 0);
  XFlush(display);
  // Neither input nor the program's channels are read meanwhile: whatever
  // called this goes on before they are. The timer only wakes the wait.
  QTimer wake;
  wake.start(20);
  const QDeadlineTimer deadline(500);
  while (!seen.Seen() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers |
                                    QEventLoop::WaitForMoreEvents);
  QCoreApplication::instance()->removeNativeEventFilter(&seen);
}
