#include "WindowArrival.h"

#include "DesktopServices.h"

#include <QGuiApplication>
#include <QWidget>

void CWindowArrival::ShowInFront(QWidget* window) {
  if (window->isMinimized())
    window->showNormal();
  else
    window->show();
  window->raise();
  window->activateWindow();
}

void CWindowArrival::Show(QWidget* window, bool bAskedFor) {
  if (bAskedFor)
    ShowInFront(window);
  else
    ShowQuietly(window);
}

void CWindowArrival::ShowQuietly(QWidget* window) {
  if (!window->isVisible() || window->isMinimized()) {
    // Mapped with a user time of zero, which tells the window manager not to
    // give it the focus; later activations by the operator work as usual.
    const bool quiet = window->testAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    if (window->isMinimized())
      window->showNormal();
    else
      window->show();
    window->setAttribute(Qt::WA_ShowWithoutActivating, quiet);
  }
  if (!window->isActiveWindow()) CDesktopServices::Get().FlashWindow(window);
}

bool CWindowArrival::IsInSight(const QWidget* window) {
  if (window == nullptr || !window->isVisible() || window->isMinimized()) return false;
  return PlacesWindows() || window->isActiveWindow();
}

bool CWindowArrival::PlacesWindows() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }
