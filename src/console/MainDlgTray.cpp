// The console in the background: coming back from the tray, minimising
// into it, and "Always on top" in the window's own menu.
#include "MainDlg.h"

#include "ConsoleTray.h"
#include "DesktopServices.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTableView>
#include <QTimer>
#include <QWindow>

void CMainDlg::RestoreConsole() {
  showNormal();
  raise();
  activateWindow();
}

void CMainDlg::KeepWithinReach() {
  // The tray's panel ended or its extension was turned off while the
  // console was in it: nothing could bring the console back but a second
  // start, so it comes back as a minimised window, where it was.
  if (isVisible() || m_session.IsEnded() || CDesktopServices::Get().IsTrayAvailable()) return;
  showMinimized();
}

void CMainDlg::showEvent(QShowEvent* event) {
  // Back from the tray (its icon, its menu, Ctrl+0, a second start): where
  // and as large as the operator left it, since the window manager places
  // a window mapped anew as it likes; and the keyboard in the table, since
  // the hidden window lost its focus widget and Qt would hand the keyboard
  // to the first box of the tab chain.
  if (m_trayPlace.isValid()) {
    setGeometry(m_trayPlace);
    m_trayPlace = QRect();
    m_ui.table->setFocus(Qt::ActiveWindowFocusReason);
  }
  QDialog::showEvent(event);
}

void CMainDlg::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  // Minimised, the console lives in the tray; with no tray it minimises as
  // any window does, so there is always a way back.
  if (event->type() == QEvent::WindowStateChange && isMinimized() && !m_session.IsEnded() &&
      CDesktopServices::Get().IsTrayAvailable())
    QTimer::singleShot(0, this, [this] {
      if (!isMinimized()) return;
      m_trayPlace = geometry();
      hide();
    });
}

void CMainDlg::contextMenuEvent(QContextMenuEvent* event) {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  CConsoleTray::AddAlwaysOnTop(menu);
  for (const QPointer<QAction>& command : std::as_const(m_windowCommands))
    if (command) menu->addAction(command);
  menu->popup(event->globalPos());
}

void CMainDlg::KeepOnTop(bool bOn) {
  const Qt::WindowFlags flags = bOn ? windowFlags() | Qt::WindowStaysOnTopHint : windowFlags() & ~Qt::WindowStaysOnTopHint;
  if (flags == windowFlags()) return;
  QWindow* native = windowHandle();
  if (!native) {
    setWindowFlags(flags);
    return;
  }
  // The native window takes the new stacking as it is (on X11 the window
  // manager's "above" state): setWindowFlags would destroy and re-create
  // it, which hides the console, loses its place and drops a menu or a
  // click that arrives meanwhile.
  overrideWindowFlags(flags);
  native->setFlags(flags);
}
