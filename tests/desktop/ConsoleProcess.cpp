#include "ConsoleProcess.h"

#include "DesktopRig.h"

#include <QDir>
#include <QFile>

CConsoleProcess::CConsoleProcess(CDesktopRig& rig, const QString& name, const QString& serviceHost,
                                 const QProcessEnvironment& extraEnv) {
  const QDir folder(rig.Folder());
  folder.mkpath(name + QStringLiteral("/config"));
  folder.mkpath(name + QStringLiteral("/data"));
  QProcessEnvironment env = rig.Environment();
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(name + QStringLiteral("/config")));
  env.insert(QStringLiteral("XDG_DATA_HOME"), folder.filePath(name + QStringLiteral("/data")));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), rig.Platform());
  // A rig has no sound card; the note of each sound would bury the rest.
  env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.multimedia*=false"));
  env.insert(extraEnv);
  m_pProcess = rig.StartChild(CDesktopRig::ProgramDir() + QStringLiteral("/talvero"),
                              {QStringLiteral("--service"), serviceHost}, name + QStringLiteral(".log"), env);
  m_strLog = folder.filePath(name + QStringLiteral(".log"));
}

CConsoleProcess::~CConsoleProcess() { CDesktopRig::StopChild(m_pProcess); }

QString CConsoleProcess::Log() const {
  QFile file(m_strLog);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll().right(4000)) : QString();
}

void CConsoleProcess::Kill() {
  if (!IsRunning()) return;
  m_pProcess->kill();
  m_pProcess->waitForFinished(5000);
}
