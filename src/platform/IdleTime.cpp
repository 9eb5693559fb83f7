#include "IdleTime.h"

#include <QGuiApplication>

// Last: Xlib's macros (None, Status, Bool) would clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

qint64 DesktopIdleTimeMs() {
  const auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 != nullptr ? x11->display() : nullptr;
  if (display == nullptr) return -1;
  int eventBase = 0, errorBase = 0;
  if (!XScreenSaverQueryExtension(display, &eventBase, &errorBase)) return -1;
  XScreenSaverInfo* info = XScreenSaverAllocInfo();
  if (info == nullptr) return -1;
  const qint64 idle = XScreenSaverQueryInfo(display, DefaultRootWindow(display), info) ? qint64(info->idle) : -1;
  XFree(info);
  return idle;
}
