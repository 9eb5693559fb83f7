#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A headless Wayland compositor of the rig's own: sway (with a seat, its IPC
// socket for the window tree) or weston (without any seat). Both refuse to
// run as root, so under root it runs as nobody with a runtime folder of that
// user's; the clients keep their own runtime folder and reach the
// compositor by the socket's full path.
class CWaylandCompositor {
 public:
  enum class Kind { Sway, SeatlessWeston };

  // Its log goes to logFolder/compositor.log.
  CWaylandCompositor(Kind kind, const QString& logFolder, const QSize& screen);
  ~CWaylandCompositor();
  CWaylandCompositor(const CWaylandCompositor&) = delete;
  CWaylandCompositor& operator=(const CWaylandCompositor&) = delete;

  // Empty once clients can connect, else what went wrong (the compositor
  // missing from the machine included).
  QString Error() const { return m_strError; }
  // WAYLAND_DISPLAY (a full path), and SWAYSOCK for sway, laid over env.
  void AddTo(QProcessEnvironment& env) const;

  // Whether this machine has the compositor at all.
  static bool IsInstalled(Kind kind);

 private:
  QString WriteSwayConfig(const QSize& screen) const;
  QString FindInFolder(const QString& pattern) const;

  Kind m_kind;
  // The compositor's runtime folder: in /tmp under root, which any user
  // reaches whatever TMPDIR says.
  QTemporaryDir m_folder;
  QString m_strFolder;
  std::unique_ptr<QProcess> m_pProcess;
  QString m_strSocket;
  QString m_strSwaySocket;
  QString m_strError;
};
