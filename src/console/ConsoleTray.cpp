#include "ConsoleTray.h"

#include "AppIdentity.h"
#include "DesktopServices.h"
#include "Preferences.h"

#include <QIcon>
#include <QMenu>

CConsoleTray::CConsoleTray(QWidget* console, std::function<void()> restore, std::function<void(bool)> logOut)
    : QObject(console), m_pConsole(console), m_restore(std::move(restore)), m_pMenu(new QMenu(console)) {
  QAction* show = m_pMenu->addAction(QStringLiteral("Show &Dialog"), this, [this] { m_restore(); });
  m_pMenu->setDefaultAction(show);
  AddAlwaysOnTop(m_pMenu);
  m_pMenu->addAction(QStringLiteral("&LogOut"), this, [logOut] { logOut(true); });
  m_pMenu->addAction(QStringLiteral("E&xit"), this, [logOut] { logOut(false); });
  // Grayed while there is nothing to show.
  connect(m_pMenu, &QMenu::aboutToShow, this, [this, show] {
    show->setEnabled(m_pConsole && (!m_pConsole->isVisible() || m_pConsole->isMinimized()));
  });
}

void CConsoleTray::Show() {
  CDesktopServices::Get().ShowTrayIcon(AppIcon(), QStringLiteral("Talvero Online"), m_pMenu, [this] { m_restore(); });
}

void CConsoleTray::Remove() { CDesktopServices::Get().RemoveTrayIcon(); }

QAction* CConsoleTray::AddAlwaysOnTop(QMenu* menu) {
  QAction* top = menu->addAction(QStringLiteral("Always on top"), menu, [] { SetAlwaysOnTop(!IsAlwaysOnTop()); });
  top->setCheckable(true);
  top->setChecked(IsAlwaysOnTop());
  QObject::connect(&CPreferences::Instance(), &CPreferences::AlwaysOnTopChanged, top, &QAction::setChecked);
  return top;
}
