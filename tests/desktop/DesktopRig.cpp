#include "DesktopRig.h"

#include "WaylandCompositor.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

constexpr int kStartMs = 20000;
constexpr int kToolMs = 15000;

}  // namespace

QString CDesktopRig::ProgramDir() {
  const QString chosen = qEnvironmentVariable("TALVERO_PROGRAM_DIR");
  return chosen.isEmpty() ? QStringLiteral(TALVERO_BUILD_DIR) : chosen;
}

CDesktopRig::CDesktopRig(const QSize& screen, Desktop desktop) : m_desktop(desktop) {
  if (!m_dir.isValid()) {
    m_strError = QStringLiteral("no temporary folder");
    return;
  }
  // Nothing run here reads or writes the real home, and no other desktop
  // or bus of the machine leaks in.
  m_env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"WAYLAND_DISPLAY", "DBUS_SESSION_BUS_PID", "QT_QPA_PLATFORM", "SESSION_MANAGER", "QT_IM_MODULE", "XDG_SESSION_TYPE"})
    m_env.remove(QString::fromLatin1(name));
  for (const char* sub : {"home", "config", "data", "cache", "runtime"}) QDir(m_dir.path()).mkdir(QString::fromLatin1(sub));
  QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  m_env.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
  m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
  m_env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
  m_env.insert(QStringLiteral("XDG_CACHE_HOME"), m_dir.filePath(QStringLiteral("cache")));
  m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
  m_env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
  if (!StartBus()) return;
  if (IsWayland()) {
    if (StartCompositor(screen) && desktop == Desktop::Sway) StartWaylandPanels();
  } else if (StartXServer(screen)) {
    StartDesktopPrograms(desktop == Desktop::X11);
  }
}

CDesktopRig::~CDesktopRig() {
  while (!m_children.empty()) {
    StopChild(m_children.back().get());
    m_children.pop_back();
  }
}

bool CDesktopRig::StartCompositor(const QSize& screen) {
  const auto kind = m_desktop == Desktop::Sway ? CWaylandCompositor::Kind::Sway : CWaylandCompositor::Kind::SeatlessWeston;
  m_pCompositor = std::make_unique<CWaylandCompositor>(kind, m_dir.path(), screen);
  m_strError = m_pCompositor->Error();
  if (!m_strError.isEmpty()) return false;
  m_pCompositor->AddTo(m_env);
  return true;
}

bool CDesktopRig::StartWaylandPanels() {
  // A panel with only a tray: waybar hosts StatusNotifierItems and owns the
  // watcher the programs register with.
  const QString config = m_dir.filePath(QStringLiteral("waybar.json"));
  QFile file(config);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(R"({"layer": "top", "position": "bottom", "height": 30, "modules-right": ["tray"], "tray": {"icon-size": 22}})");
  file.close();
  if (!StartChild(QStringLiteral("waybar"), {QStringLiteral("--config"), config}, QStringLiteral("waybar.log"), m_env))
    return false;
  if (!StartChild(QStringLiteral("dunst"), {QStringLiteral("-config"), WriteDunstConfig()}, QStringLiteral("dunst.log"), m_env))
    return false;
  if (!QTest::qWaitFor([&] {
        return Run(QStringLiteral("dbus-send"), {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                                                  QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                                  QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                                                  QStringLiteral("string:org.kde.StatusNotifierWatcher")})
            .contains(QLatin1String("boolean true"));
      }, kStartMs)) {
    QFile log(m_dir.filePath(QStringLiteral("waybar.log")));
    log.open(QIODevice::ReadOnly);
    m_strError = QStringLiteral("waybar did not host a tray: ") + QString::fromLocal8Bit(log.readAll().right(2000));
    return false;
  }
  return WaitForNotifications();
}

bool CDesktopRig::WaitForNotifications() {
  bool ok = false;
  if (!QTest::qWaitFor([&] {
        Run(QStringLiteral("dunstctl"), {QStringLiteral("count")}, &ok);
        return ok;
      }, kStartMs)) {
    m_strError = QStringLiteral("dunst did not take the notification service");
    return false;
  }
  return true;
}

QProcess* CDesktopRig::StartChild(const QString& program, const QStringList& arguments, const QString& logName,
                                  const QProcessEnvironment& env) {
  auto child = std::make_unique<QProcess>();
  child->setProcessEnvironment(env);
  if (!logName.isEmpty()) {
    child->setStandardOutputFile(m_dir.filePath(logName), QIODevice::Append);
    child->setStandardErrorFile(m_dir.filePath(logName), QIODevice::Append);
  }
  child->start(program, arguments);
  if (!child->waitForStarted(kStartMs)) {
    m_strError = program + QStringLiteral(" did not start: ") + child->errorString();
    return nullptr;
  }
  m_children.push_back(std::move(child));
  return m_children.back().get();
}

void CDesktopRig::StopChild(QProcess* child) {
  if (child == nullptr || child->state() == QProcess::NotRunning) return;
  child->terminate();
  if (!child->waitForFinished(5000)) {
    child->kill();
    child->waitForFinished(5000);
  }
}

bool CDesktopRig::StartBus() {
  // The bus prints its address once it listens.
  QProcess* bus = StartChild(QStringLiteral("dbus-daemon"),
                             {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")},
                             QString(), m_env);
  if (bus == nullptr) return false;
  bus->setStandardErrorFile(QProcess::nullDevice());
  if (!bus->waitForReadyRead(kStartMs)) {
    m_strError = QStringLiteral("the session bus did not start");
    return false;
  }
  m_env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(bus->readLine()).trimmed());
  return true;
}

bool CDesktopRig::StartXServer(const QSize& screen) {
  // -displayfd: the server picks a free display and names it once it takes
  // connections. -noreset: it does not start afresh (refusing connections
  // meanwhile) whenever its last client has gone, as between two tools.
  QProcess* x = StartChild(QStringLiteral("Xvfb"),
                           {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                            QStringLiteral("-noreset")},
                           QString(), m_env);
  if (x == nullptr) return false;
  if (!x->waitForReadyRead(kStartMs)) {
    m_strError = QStringLiteral("the X server did not start: ") + QString::fromLocal8Bit(x->readAllStandardError());
    return false;
  }
  m_env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + QString::fromLatin1(x->readLine()).trimmed());
  return true;
}

QString CDesktopRig::WriteDunstConfig() const {
  // A left click invokes the notification's one action (Accept), as a
  // desktop set up for it does; notifications stay until they are used.
  const QString path = m_dir.filePath(QStringLiteral("dunstrc"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return QString();
  file.write("[global]\n"
             "    mouse_left_click = do_action, close_current\n"
             "    mouse_right_click = close_all\n"
             "    origin = top-right\n"
             "    offset = 10x40\n"
             "[urgency_normal]\n"
             "    timeout = 0\n");
  return path;
}

bool CDesktopRig::StartDesktopPrograms(bool withTray) {
  bool ok = false;
  if (!StartChild(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")}, QStringLiteral("openbox.log"), m_env))
    return false;
  if (!QTest::qWaitFor([&] { return !Run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")}, &ok).contains(QLatin1String("not found")) && ok; }, kStartMs)) {
    m_strError = QStringLiteral("openbox did not take the screen");
    return false;
  }
  if (!StartChild(QStringLiteral("dunst"), {QStringLiteral("-config"), WriteDunstConfig()}, QStringLiteral("dunst.log"), m_env))
    return false;
  if (!withTray) return WaitForNotifications();
  QProcess* panel = StartChild(QStringLiteral("tint2"), {}, QStringLiteral("tint2.log"), m_env);
  if (panel == nullptr) return false;
  // The tray must be there before a console asks for it, and the
  // notification daemon on the bus. Now and then tint2 gives up at once
  // ("could not open display") on a display that openbox already serves:
  // it is started again, twice at most.
  int restarts = 0;
  if (!QTest::qWaitFor([&] {
        if (panel->state() == QProcess::NotRunning && restarts < 2) {
          ++restarts;
          panel = StartChild(QStringLiteral("tint2"), {}, QStringLiteral("tint2.log"), m_env);
          if (panel == nullptr) return true;  // said below
        }
        Run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--class"), QStringLiteral("tint2")}, &ok);
        return ok;
      }, kStartMs) || panel == nullptr) {
    QFile log(m_dir.filePath(QStringLiteral("tint2.log")));
    log.open(QIODevice::ReadOnly);
    m_strError = QStringLiteral("tint2 did not show its panel: ") + QString::fromLocal8Bit(log.readAll().right(2000));
    return false;
  }
  m_pPanel = panel;
  return WaitForNotifications();
}

QString CDesktopRig::Run(const QString& program, const QStringList& arguments, bool* ok) const {
  QProcess tool;
  tool.setProcessEnvironment(m_env);
  tool.start(program, arguments);
  const bool finished = tool.waitForStarted(kToolMs) && tool.waitForFinished(kToolMs);
  if (!finished) tool.kill();
  if (ok) *ok = finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
  return QString::fromUtf8(tool.readAllStandardOutput());
}
