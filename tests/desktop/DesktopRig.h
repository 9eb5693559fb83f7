#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// A desktop of the test's own: a private session bus, an X server (Xvfb)
// with a window manager (openbox), a panel with a system tray (tint2) and a
// notification daemon (dunst). Everything it starts ends with it.
class CDesktopRig {
 public:
  // The screen's size in pixels (a laptop's 2560 x 1600, say).
  explicit CDesktopRig(const QSize& screen = QSize(1600, 1000));
  ~CDesktopRig();
  CDesktopRig(const CDesktopRig&) = delete;
  CDesktopRig& operator=(const CDesktopRig&) = delete;

  // Empty when the desktop is up, else what went wrong.
  QString Error() const { return m_strError; }
  // DISPLAY, the bus and a temporary home for everything run on this desktop.
  QProcessEnvironment Environment() const { return m_env; }
  QString Folder() const { return m_dir.path(); }

  // Runs a tool (xdotool, xprop, dunstctl, ...) on this desktop and returns
  // its standard output; ok tells whether it ended with status 0.
  QString Run(const QString& program, const QStringList& arguments, bool* ok = nullptr) const;
  // A program that lives as long as the rig, or until StopChild.
  QProcess* StartChild(const QString& program, const QStringList& arguments, const QString& logName,
                       const QProcessEnvironment& env);
  static void StopChild(QProcess* child);

  // Where talvero and talvero-service are: $TALVERO_PROGRAM_DIR (to test
  // another build) or this build's folder.
  static QString ProgramDir();

 private:
  bool StartBus();
  bool StartXServer(const QSize& screen);
  bool StartDesktopPrograms();
  QString WriteDunstConfig() const;

  QTemporaryDir m_dir;
  QProcessEnvironment m_env;
  std::vector<std::unique_ptr<QProcess>> m_children;
  QString m_strError;
};
