// The console in the background: its tray icon and menu, minimising into
// the tray, and "Always on top" in the tray menu and the window's own menu.
#include "MainDlg.h"

#include "AppIdentity.h"
#include "DesktopServices.h"
#include "Preferences.h"

#include <QContextMenuEvent>
#include <QIcon>
#include <QMenu>
#include <QTimer>

void CMainDlg::SetTrayIcon(bool bShow) {
  CDesktopServices& desktop = CDesktopServices::Get();
  if (!bShow) {
    desktop.RemoveTrayIcon();
    return;
  }
  if (m_pTrayMenu == nullptr) {
    m_pTrayMenu = new QMenu(this);
    QAction* show = m_pTrayMenu->addAction(QStringLiteral("Show &Dialog"), this, &CMainDlg::RestoreConsole);
    m_pTrayMenu->setDefaultAction(show);
    AlwaysOnTopAction(m_pTrayMenu);
    m_pTrayMenu->addAction(QStringLiteral("&LogOut"), this, [this] { LogOut(true); });
    m_pTrayMenu->addAction(QStringLiteral("E&xit"), this, [this] { LogOut(false); });
    // Grayed while there is nothing to show.
    connect(m_pTrayMenu, &QMenu::aboutToShow, this, [this, show] { show->setEnabled(!isVisible() || isMinimized()); });
  }
  desktop.ShowTrayIcon(AppIcon(), QStringLiteral("Talvero Online"), m_pTrayMenu,
                       [this] { RestoreConsole(); });
}

QAction* CMainDlg::AlwaysOnTopAction(QMenu* menu) {
  QAction* top = menu->addAction(QStringLiteral("Always on top"), this, &CMainDlg::ToggleAlwaysOnTop);
  top->setCheckable(true);
  top->setChecked(IsAlwaysOnTop());
  connect(&CPreferences::Instance(), &CPreferences::AlwaysOnTopChanged, top, &QAction::setChecked);
  return top;
}

void CMainDlg::ToggleAlwaysOnTop() { SetAlwaysOnTop(!IsAlwaysOnTop()); }

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
  AlwaysOnTopAction(menu);
  menu->popup(event->globalPos());
}
