#include "WaylandCompositor.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kStartMs = 20000;
constexpr uid_t kNobody = 65534;

QString Program(CWaylandCompositor::Kind kind) {
  return kind == CWaylandCompositor::Kind::Sway ? QStringLiteral("sway") : QStringLiteral("weston");
}

}  // namespace

bool CWaylandCompositor::IsInstalled(Kind kind) {
  return !QStandardPaths::findExecutable(Program(kind)).isEmpty();
}

CWaylandCompositor::CWaylandCompositor(Kind kind, const QString& logFolder, const QSize& screen)
    : m_kind(kind),
      m_folder(::geteuid() == 0 ? QStringLiteral("/tmp/talvero-compositor-XXXXXX") : QString()),
      m_strFolder(m_folder.path()) {
  if (!IsInstalled(kind)) {
    m_strError = Program(kind) + QStringLiteral(" is not installed");
    return;
  }
  if (!m_folder.isValid()) {
    m_strError = QStringLiteral("no folder for the compositor");
    return;
  }
  const bool asRoot = ::geteuid() == 0;
  const QString folder = m_strFolder;
  if (asRoot && ::chown(QFile::encodeName(folder).constData(), kNobody, kNobody) != 0) {
    m_strError = QStringLiteral("cannot hand the compositor's folder to nobody");
    return;
  }
  ::chmod(QFile::encodeName(folder).constData(), 0700);

  // Nothing of the test's own session: a runtime folder, a home and a
  // headless output with no GPU and no input devices of the machine.
  QProcessEnvironment env;
  env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
  env.insert(QStringLiteral("HOME"), folder);
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
  env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
  QStringList arguments;
  if (kind == Kind::Sway) {
    env.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    env.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    env.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    arguments = {QStringLiteral("sway"), QStringLiteral("--config"), WriteSwayConfig(screen)};
  } else {
    // The headless backend offers no seat at all.
    arguments = {QStringLiteral("weston"), QStringLiteral("--backend=headless-backend.so"),
                 QStringLiteral("--width=%1").arg(screen.width()), QStringLiteral("--height=%1").arg(screen.height()),
                 QStringLiteral("--socket=wayland-talvero"), QStringLiteral("--idle-time=0")};
  }
  if (asRoot)
    arguments = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                            QStringLiteral("--")} + arguments;
  m_pProcess = std::make_unique<QProcess>();
  m_pProcess->setProcessEnvironment(env);
  const QString log = logFolder + QStringLiteral("/compositor.log");
  m_pProcess->setStandardOutputFile(log);
  m_pProcess->setStandardErrorFile(log);
  const QString program = asRoot ? QStringLiteral("setpriv") : arguments.takeFirst();
  m_pProcess->start(program, arguments);
  if (!QTest::qWaitFor([&] {
        m_strSocket = FindInFolder(QStringLiteral("wayland-*"));
        if (kind == Kind::Sway) m_strSwaySocket = FindInFolder(QStringLiteral("sway-ipc.*.sock"));
        return m_pProcess->state() == QProcess::NotRunning ||
               (!m_strSocket.isEmpty() && (kind != Kind::Sway || !m_strSwaySocket.isEmpty()));
      }, kStartMs) || m_pProcess->state() == QProcess::NotRunning) {
    QFile file(log);
    file.open(QIODevice::ReadOnly);
    m_strError = Program(kind) + QStringLiteral(" did not start: ") + QString::fromLocal8Bit(file.readAll().right(2000));
  }
}

CWaylandCompositor::~CWaylandCompositor() {
  if (!m_pProcess || m_pProcess->state() == QProcess::NotRunning) return;
  m_pProcess->terminate();
  if (!m_pProcess->waitForFinished(5000)) {
    m_pProcess->kill();
    m_pProcess->waitForFinished(5000);
  }
}

void CWaylandCompositor::AddTo(QProcessEnvironment& env) const {
  env.insert(QStringLiteral("WAYLAND_DISPLAY"), m_strSocket);
  env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
  if (!m_strSwaySocket.isEmpty()) env.insert(QStringLiteral("SWAYSOCK"), m_strSwaySocket);
  env.remove(QStringLiteral("DISPLAY"));
}

QString CWaylandCompositor::FindInFolder(const QString& pattern) const {
  const QDir folder(m_strFolder);
  for (const QString& name : folder.entryList({pattern}, QDir::System | QDir::Files | QDir::Hidden))
    if (!name.endsWith(QLatin1String(".lock"))) return folder.filePath(name);
  return QString();
}

QString CWaylandCompositor::WriteSwayConfig(const QSize& screen) const {
  // Windows float as on a stacking desktop, and a window's own activation
  // request (xdg-activation) is honoured on a visible workspace, else it
  // turns urgent; no bar: the rig starts its own panel for the tray.
  const QString path = m_strFolder + QStringLiteral("/sway.conf");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return QString();
  file.write(QStringLiteral("output HEADLESS-1 resolution %1x%2 position 0 0\n"
                            "for_window [app_id=\".*\"] floating enable\n"
                            "focus_on_window_activation smart\n"
                            "default_border normal\n")
                 .arg(screen.width())
                 .arg(screen.height())
                 .toUtf8());
  file.close();
  file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
  return path;
}
