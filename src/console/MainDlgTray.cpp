// The console in the background: coming back from the tray, minimising
// into it, and "Always on top" in the window's own menu.
#include "MainDlg.h"

#include "ConsoleTray.h"
#include "DesktopServices.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

void CMainDlg::RestoreConsole() {
  showNormal();
  raise();
  activateWindow();
}

void CMainDlg::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  // Minimised, the console lives in the tray; with no tray it minimises as
  // any window does, so there is always a way back.
  if (event->type() == QEvent::WindowStateChange && isMinimized() && !m_session.IsEnded() &&
      CDesktopServices::Get().IsTrayAvailable())
    QTimer::singleShot(0, this, [this] {
      if (isMinimized()) hide();
    });
}

void CMainDlg::contextMenuEvent(QContextMenuEvent* event) {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  CConsoleTray::AddAlwaysOnTop(menu);
  menu->popup(event->globalPos());
}
