#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class CWaylandCompositor;

// A desktop of the test's own: a private session bus, an X server (Xvfb)
// with a window manager (openbox), a panel with a system tray (tint2) and a
// notification daemon (dunst). On Wayland: a headless sway with a panel
// whose tray is a StatusNotifierItem host (waybar) and dunst, or a weston
// without a seat and nothing else. Everything it starts ends with it.
class CDesktopRig {
 public:
  enum class Desktop { X11, X11WithoutTray, Sway, SeatlessWeston };

  // The screen's size in pixels (a laptop's 2560 x 1600, say).
  explicit CDesktopRig(const QSize& screen = QSize(1600, 1000), Desktop desktop = Desktop::X11);
  ~CDesktopRig();
  CDesktopRig(const CDesktopRig&) = delete;
  CDesktopRig& operator=(const CDesktopRig&) = delete;

  // Empty when the desktop is up, else what went wrong.
  QString Error() const { return m_strError; }
  // DISPLAY, the bus and a temporary home for everything run on this desktop.
  QProcessEnvironment Environment() const { return m_env; }
  QString Folder() const { return m_dir.path(); }
  bool IsWayland() const { return m_desktop == Desktop::Sway || m_desktop == Desktop::SeatlessWeston; }
  // The Qt platform plugin the programs run on: xcb or wayland.
  QString Platform() const { return IsWayland() ? QStringLiteral("wayland") : QStringLiteral("xcb"); }

  // Runs a tool (xdotool, xprop, dunstctl, ...) on this desktop and returns
  // its standard output; ok tells whether it ended with status 0.
  QString Run(const QString& program, const QStringList& arguments, bool* ok = nullptr) const;
  // A program that lives as long as the rig, or until StopChild.
  QProcess* StartChild(const QString& program, const QStringList& arguments, const QString& logName,
                       const QProcessEnvironment& env);
  static void StopChild(QProcess* child);
  // Ends the X11 tray's panel, as a panel that crashes.
  void StopTray() { StopChild(m_pPanel); }

  // Where talvero and talvero-service are: $TALVERO_PROGRAM_DIR (to test
  // another build) or this build's folder.
  static QString ProgramDir();

 private:
  bool StartBus();
  bool StartXServer(const QSize& screen);
  bool StartDesktopPrograms(bool withTray);
  bool StartCompositor(const QSize& screen);
  bool StartWaylandPanels();
  bool WaitForNotifications();
  QString WriteDunstConfig() const;

  Desktop m_desktop;
  QTemporaryDir m_dir;
  QProcess* m_pPanel = nullptr;  // tint2
  // Ends after every program started on it.
  std::unique_ptr<CWaylandCompositor> m_pCompositor;
  QProcessEnvironment m_env;
  std::vector<std::unique_ptr<QProcess>> m_children;
  QString m_strError;
};
