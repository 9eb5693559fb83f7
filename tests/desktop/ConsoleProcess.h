#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

class CDesktopRig;

// One talvero on the rig's X server, pointed at the service, with settings
// and data folders of its own (as a second operator's account would have).
class CConsoleProcess {
 public:
  // extraEnv is laid over the rig's environment (say, another bus address).
  CConsoleProcess(CDesktopRig& rig, const QString& name, const QString& serviceHost,
                  const QProcessEnvironment& extraEnv = {});
  ~CConsoleProcess();

  bool IsRunning() const { return m_pProcess && m_pProcess->state() == QProcess::Running; }
  qint64 Pid() const { return m_pProcess ? m_pProcess->processId() : 0; }
  // Ends the program at once, as a crash or a power cut does: nothing it
  // would do on its way out is done.
  void Kill();
  // What the program wrote, for a failure's message.
  QString Log() const;

 private:
  QProcess* m_pProcess = nullptr;
  QString m_strLog;
};
