#include "DesktopScenario.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kLoginWindow = QStringLiteral("Talvero Executive Login:");
const QString kBusLauncher = QStringLiteral("/usr/libexec/at-spi-bus-launcher");

}  // namespace

// The system's Python, which Debian's python3-pyatspi belongs to (a python3
// earlier on the PATH, from a version manager, does not see it).
const QString CDesktopScenario::kAtSpiPython = QStringLiteral("/usr/bin/python3");

bool CDesktopScenario::HasAtSpi() {
  QProcess probe;
  probe.start(kAtSpiPython, {QStringLiteral("-c"), QStringLiteral("import pyatspi")});
  return probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0 &&
         QFileInfo(kBusLauncher).isExecutable();
}

bool CDesktopScenario::StartAccessibilityBus() {
  if (!m_pRig->StartChild(kBusLauncher, {QStringLiteral("--launch-immediately")},
                          QStringLiteral("at-spi-bus-launcher.log"), m_pRig->Environment()))
    return false;
  return QTest::qWaitFor([&] {
    return m_pRig->Run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("AT_SPI_BUS")})
        .contains(QLatin1String("unix:"));
  }, kWindowMs);
}

bool CDesktopScenario::StartDesktop(const QSize& screen, CDesktopRig::Desktop desktop) {
  EndScenario();
  m_pWindows.reset();
  m_pSway.reset();
  m_pRig.reset();
  m_pRig = std::make_unique<CDesktopRig>(screen, desktop);
  m_pWindows = std::make_unique<CWindowSystem>(*m_pRig);
  m_pSway = std::make_unique<CSwayWindows>(*m_pRig);
  return m_pRig->Error().isEmpty();
}

bool CDesktopScenario::StartService(int consolePeriod, int chatPeriod) {
  EndScenario();
  m_pService = std::make_unique<CServiceProcess>(*m_pRig, consolePeriod, chatPeriod);
  return m_pService->IsRunning();
}

void CDesktopScenario::EndScenario() {
  m_consoles.clear();
  m_pService.reset();
  if (!m_pRig) return;
  // Notifications of the last scenario must not be clicked in the next.
  m_pRig->Run(QStringLiteral("dunstctl"), {QStringLiteral("close-all")});
  m_pRig->Run(QStringLiteral("dunstctl"), {QStringLiteral("history-clear")});
}

CConsoleProcess& CDesktopScenario::StartConsole(const QString& name, const QProcessEnvironment& extraEnv) {
  m_consoles.push_back(std::make_unique<CConsoleProcess>(*m_pRig, name, m_pService->Host(), extraEnv));
  return *m_consoles.back();
}

bool CDesktopScenario::SeedSettings(const QString& name, const QByteArray& text) {
  const QDir config(m_pRig->Folder() + u'/' + name + QStringLiteral("/config/TVR"));
  QFile settings(config.filePath(QStringLiteral("Client.conf")));
  return config.mkpath(QStringLiteral(".")) && settings.open(QIODevice::WriteOnly) && settings.write(text) == text.size();
}

bool CDesktopScenario::TypeLogIn(const QString& loginId, const QString& password) {
  CWindowSystem& x = Windows();
  // The window may show the ids of the last login with the caret in the
  // password box: the site id box is clicked and its text replaced, and Tab
  // selects the text of the boxes after it.
  const std::optional<XWindow> login = x.Find(kLoginWindow);
  if (!login) return false;
  x.Click(login->id, QPoint(qRound(190 * login->geometry.width() / 404.0), qRound(63 * login->geometry.height() / 182.0)));
  x.Key(QStringLiteral("ctrl+a"));
  x.Type(QStringLiteral("1001"));
  x.Key(QStringLiteral("Tab"));
  x.Type(loginId);
  x.Key(QStringLiteral("Tab"));
  x.Type(password);
  return true;
}

bool CDesktopScenario::LogIn(CConsoleProcess& console, const QString& loginId, const QString& password, bool bRemember) {
  if (!WaitForActive(kLoginWindow) || !TypeLogIn(loginId, password)) return false;
  CWindowSystem& x = Windows();
  if (bRemember) x.Key(QStringLiteral("Tab space"));
  x.Key(QStringLiteral("Return"));
  return QTest::qWaitFor([&] { return ConsoleWindow(console).has_value(); }, kWindowMs);
}

std::optional<XWindow> CDesktopScenario::ConsoleWindow(const CConsoleProcess& console) const {
  for (const XWindow& window : m_pWindows->Windows())
    if (window.pid == console.Pid() && window.name == QLatin1String("Talvero") && window.types.contains(QLatin1String("DIALOG")))
      return window;
  return std::nullopt;
}

bool CDesktopScenario::LogInOnSway(CConsoleProcess& console, const QString& loginId, const QString& password) {
  // New windows take the keyboard on sway; a fresh login window has the
  // caret in the site id box.
  if (!m_pSway->WaitForFocused(kLoginWindow, kWindowMs)) return false;
  m_pSway->Keys({QStringLiteral("ctrl+a"), QStringLiteral("=1001"), QStringLiteral("Tab"), u'=' + loginId, QStringLiteral("Tab"),
                 u'=' + password, QStringLiteral("Return")});
  return QTest::qWaitFor([&] { return ConsoleSwayWindow(console).has_value(); }, kWindowMs);
}

std::optional<SwayWindow> CDesktopScenario::ConsoleSwayWindow(const CConsoleProcess& console) const {
  for (const SwayWindow& window : m_pSway->Windows())
    if (window.pid == console.Pid() && window.name == QLatin1String("Talvero")) return window;
  return std::nullopt;
}

std::optional<XWindow> CDesktopScenario::PopUpMenu(const XWindow& over) const {
  // A menu is no managed window; it belongs to the window it was opened on.
  const QList<XWindow> managed = m_pWindows->Windows();
  for (const XWindow& window : m_pWindows->Unmanaged(QStringLiteral("talvero"))) {
    const bool isManaged = std::any_of(managed.begin(), managed.end(), [&](const XWindow& w) { return w.id == window.id; });
    if (window.pid == over.pid && window.transientFor == over.id && !isManaged) return window;
  }
  return std::nullopt;
}

bool CDesktopScenario::WaitForActive(const QString& name, int ms) const {
  return QTest::qWaitFor([&] { return m_pWindows->ActiveWindowName() == name; }, ms);
}

bool CDesktopScenario::WaitForWindow(const QString& name, int ms) const {
  return QTest::qWaitFor([&] { return m_pWindows->Find(name).has_value(); }, ms);
}

bool CDesktopScenario::Focus(const QString& name) const {
  const std::optional<XWindow> window = m_pWindows->Find(name);
  if (!window) return false;
  m_pWindows->Activate(window->id);
  return WaitForActive(name);
}

bool CDesktopScenario::FocusConsole(const CConsoleProcess& console) const {
  const std::optional<XWindow> window = ConsoleWindow(console);
  if (!window) return false;
  m_pWindows->Activate(window->id);
  return QTest::qWaitFor([&] { return m_pWindows->ActiveWindowId() == window->id; }, kWindowMs);
}

int CDesktopScenario::Refreshes(const QString& loginId) {
  return m_pService->CountRequests(QStringLiteral("/wn-allonlineu.php?nadminid=") + loginId);
}

bool CDesktopScenario::WaitForRefreshes(int n, const QString& loginId) {
  const int target = Refreshes(loginId) + n;
  return QTest::qWaitFor([&] { return Refreshes(loginId) >= target; }, kWindowMs);
}

QString CDesktopScenario::CopyTranscript() const {
  // The transcript comes just before the entry box in the window's tab order.
  m_pWindows->Key(QStringLiteral("shift+Tab ctrl+a ctrl+c Tab ctrl+End"));
  return m_pWindows->Clipboard();
}

QString CDesktopScenario::CopyEntryBox() const {
  m_pWindows->Key(QStringLiteral("ctrl+a ctrl+c ctrl+End"));
  return m_pWindows->Clipboard();
}

QPoint CDesktopScenario::InConsole(const XWindow& console, const QPoint& at) {
  return QPoint(qRound(at.x() * console.geometry.width() / 802.0), qRound(at.y() * console.geometry.height() / 647.0));
}

QPoint CDesktopScenario::ConsoleRow(const XWindow& console, int row) {
  // The table's place in the console and its rows of 20 pixels, under a
  // header of about as much.
  return InConsole(console, QPoint(110, 80 + 24 + 20 * row + 10));
}

void CDesktopScenario::ReportFailure() {
  if (!QTest::currentTestFailed()) return;
  const QString scenario = QString::fromLatin1(QTest::currentTestFunction());
  QString report;
  for (const auto& console : m_consoles) report += console->Log();
  if (m_pService) {
    // The polls repeat every second; the rest tells what the consoles did.
    static const QRegularExpression polls(QStringLiteral("allonlineu|wn-status|w-mrefresh|wn-op_type|achats"));
    QStringList requests = m_pService->Requests();
    requests.removeIf([](const QString& target) { return target.contains(polls); });
    report += QStringLiteral("\nThe service's requests but the polls:\n") + requests.join(u'\n');
  }
  const QString shot = m_pRig->IsWayland() ? m_pSway->Screenshot(scenario + QStringLiteral(".png"))
                                            : m_pWindows->Screenshot(scenario + QStringLiteral(".png"));
  const QString kept = QDir::temp().filePath(QStringLiteral("talvero-desktop-") + scenario + QStringLiteral(".png"));
  QFile::remove(kept);
  if (!shot.isEmpty() && QFile::copy(shot, kept)) report += QStringLiteral("\nThe screen: ") + kept;
  qWarning("%s", qPrintable(report));
}
