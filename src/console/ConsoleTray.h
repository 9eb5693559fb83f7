#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QIcon;
class QMenu;
class QWidget;

// The console's tray icon and its menu: Show Dialog (the default, grayed
// while the console is in view), Always on top, LogOut and Exit.
class CConsoleTray : public QObject {
  Q_OBJECT

 public:
  // logOut(forgetLogin) leaves the session as the console's LogOut does.
  CConsoleTray(QWidget* console, std::function<void()> restore, std::function<void(bool)> logOut);

  // Where the desktop has no tray, says once where alerts appear instead.
  void Show();
  void Remove();

  // "Always on top", checked as the preference stands, in a menu.
  static QAction* AddAlwaysOnTop(QMenu* menu);

  // The tray's picture: the program's icon, greyed while the operator is
  // offline, with the number of chat requests waiting on a red badge.
  static QIcon Picture(bool bOnline, int waiting);
  // Its tooltip: "Talvero Online" only while online, and what waits.
  static QString ToolTip(bool bOnline, int waiting, bool bConnectionAlert = false);

 private:
  static void TellWhereAlertsAppear();

  QPointer<QWidget> m_pConsole;
  std::function<void()> m_restore;
  QMenu* m_pMenu = nullptr;
};
