// The session's end told by the service ("logout" in a refresh, after an
// administrator logged the operator out), when logging out must also clear
// the remembered login from a keyring that is not there or never answers;
// the session's server pages, shown by a process of their own (a returning
// visitor's beside his chat); and a login
// while the service holds its answer.
#include "DesktopScenario.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

class tst_DesktopSession : public QObject {
  Q_OBJECT

 private:
  CDesktopScenario m_desk;
  // Started on the rig's bus: it owns the secret service's name and never
  // answers.
  QProcess* StartSilentKeyring();
  // A window of the page viewer started by this console.
  std::optional<XWindow> ViewerWindow(const CConsoleProcess& console) const;
  // Alt+T in the console: its transcripts page, once the viewer shows it.
  std::optional<XWindow> OpenTranscripts(const CConsoleProcess& console);

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void loggedOutByService_data();
  void loggedOutByService();
  void serverPagesInTheViewer();
  void aPageSavesADownloadAndOpensAWindow();
  void earlierChatsOpenBesideTheChat();
  void loginWhileTheServiceStalls_data();
  void loginWhileTheServiceStalls();
  void theOutageWarningWhileTheServiceComesBack();
  void theViewerEndsWithAKilledConsole();
};

namespace {

// The web engine and the graphics stack a process has mapped. Qt's GUI
// library links the small vendor-neutral dispatch libraries (libGLX, libEGL,
// libOpenGL) anyway; a GL context loads a vendor library (libGLX_mesa), its
// driver and, for software GL, LLVM.
QStringList EngineAndGraphics(qint64 pid) {
  QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
  if (!maps.open(QIODevice::ReadOnly)) return {QStringLiteral("(no maps)")};
  static const QRegularExpression heavy(QStringLiteral("/(libQt6WebEngine\\w*|libGLX_\\w+|libEGL_\\w+|libLLVM|\\w+_dri|libgallium)[^/]*$"));
  QStringList found;
  for (const QByteArray& line : maps.readAll().split('\n'))
    if (const QRegularExpressionMatch m = heavy.match(QString::fromUtf8(line)); m.hasMatch() && !found.contains(m.captured(1)))
      found.append(m.captured(1));
  return found;
}

bool Alive(qint64 pid) { return QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)); }

}  // namespace

std::optional<XWindow> tst_DesktopSession::OpenTranscripts(const CConsoleProcess& console) {
  if (!m_desk.FocusConsole(console)) return std::nullopt;
  m_desk.Windows().Key(QStringLiteral("alt+t"));
  std::optional<XWindow> page;
  QTest::qWaitFor([&] { return (page = ViewerWindow(console)).has_value(); }, CDesktopScenario::kWindowMs);
  return page;
}

std::optional<XWindow> tst_DesktopSession::ViewerWindow(const CConsoleProcess& console) const {
  for (const XWindow& w : m_desk.Windows().Windows())
    if (w.pid != 0 && w.pid != console.Pid() &&
        QFileInfo(QStringLiteral("/proc/%1/exe").arg(w.pid)).symLinkTarget().endsWith(QStringLiteral("/talvero-pages")))
      return w;
  return std::nullopt;
}

void tst_DesktopSession::initTestCase() { QVERIFY2(m_desk.StartDesktop(), qPrintable(m_desk.Error())); }

void tst_DesktopSession::init() { QVERIFY(m_desk.StartService()); }

void tst_DesktopSession::cleanup() {
  m_desk.ReportFailure();
  m_desk.EndScenario();
}

QProcess* tst_DesktopSession::StartSilentKeyring() {
  // A tool of this build's tests, also when the programs come from another.
  const QString helper = QStringLiteral(TALVERO_BUILD_DIR "/talvero-silent-secrets");
  if (!QFileInfo(helper).isExecutable()) return nullptr;
  QProcess* keyring = m_desk.Rig().StartChild(helper, {}, QString(), m_desk.Rig().Environment());
  if (keyring == nullptr || !keyring->waitForReadyRead(CDesktopScenario::kWindowMs)) return nullptr;
  return keyring->readLine().startsWith("ready") ? keyring : nullptr;
}

void tst_DesktopSession::loggedOutByService_data() {
  QTest::addColumn<bool>("silentKeyring");
  QTest::newRow("no session bus") << false;
  QTest::newRow("keyring never answers") << true;
}

void tst_DesktopSession::loggedOutByService() {
  QFETCH(bool, silentKeyring);
  QProcessEnvironment noBus;
  noBus.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + m_desk.Rig().Folder() + QStringLiteral("/no-bus"));
  QProcess* keyring = nullptr;
  if (silentKeyring && (keyring = StartSilentKeyring()) == nullptr)
    QSKIP("talvero-silent-secrets is not in this build (make talvero-silent-secrets)");

  // Remembered where no keyring is: the operator is asked, once, whether
  // the password may be kept in the settings file in a reversible form, and
  // says yes.
  CConsoleProcess& first = m_desk.StartConsole(QStringLiteral("demo"), noBus);
  QVERIFY(m_desk.LogIn(first, QStringLiteral("demo"), QStringLiteral("demo"), true));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Talvero")));
  m_desk.Windows().Key(QStringLiteral("alt+y"));
  QVERIFY(m_desk.WaitForRefreshes(1));
  auto windowsNamedTalvero = [&] {
    int n = 0;
    for (const XWindow& w : m_desk.Windows().Windows()) n += w.pid == first.Pid() && w.name == QStringLiteral("Talvero") ? 1 : 0;
    return n;
  };
  QTRY_COMPARE_WITH_TIMEOUT(windowsNamedTalvero(), 1, CDesktopScenario::kWindowMs);  // the question went
  QVERIFY(m_desk.FocusConsole(first));
  m_desk.Windows().Key(QStringLiteral("alt+F4"));  // closing keeps the remembered login
  QTRY_VERIFY_WITH_TIMEOUT(!first.IsRunning(), CDesktopScenario::kWindowMs);

  // The next start logs in by itself, and saves the login again: into the
  // keyring, if one answers.
  CConsoleProcess& console = m_desk.StartConsole(QStringLiteral("demo"), silentKeyring ? QProcessEnvironment() : noBus);
  QElapsedTimer start;
  start.start();
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.ConsoleWindow(console).has_value(), CDesktopScenario::kWindowMs);
  QVERIFY2(start.elapsed() < 8000, qPrintable(QStringLiteral("the remembered login took %1 ms").arg(start.elapsed())));

  QCOMPARE(m_desk.Service().Get(QStringLiteral("/cpn/wn-opout.php?id2out=demo&sid=1001")), QStringLiteral("true"));
  QVERIFY(m_desk.WaitForRefreshes(1));
  // From the refresh that said "logout" to the box: log-out forgets the
  // remembered login, keyring and all, and must not wait on it.
  QElapsedTimer told;
  told.start();
  QVERIFY(m_desk.WaitForWindow(QStringLiteral("Logged Out")));
  QVERIFY2(told.elapsed() < 2000, qPrintable(QStringLiteral("the box came after %1 ms").arg(told.elapsed())));
  CDesktopRig::StopChild(keyring);
}

void tst_DesktopSession::serverPagesInTheViewer() {
  CConsoleProcess& console = m_desk.StartConsole(QStringLiteral("demo"));
  QVERIFY(m_desk.LogIn(console, QStringLiteral("demo"), QStringLiteral("demo")));
  QVERIFY(m_desk.WaitForRefreshes(1));
  // On a real X server too, the console holds no graphics stack of its own.
  QVERIFY2(EngineAndGraphics(console.Pid()).isEmpty(), qPrintable(EngineAndGraphics(console.Pid()).join(u' ')));

  // Transcripts open in the page viewer, a process of the program's own,
  // in front with the keyboard, and say which page they are.
  auto pageWindow = [&] { return ViewerWindow(console); };
  std::optional<XWindow> page = OpenTranscripts(console);
  QVERIFY(page);
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Windows().ActiveWindowId(), page->id, CDesktopScenario::kWindowMs);
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.Windows().ActiveWindowName().startsWith(QStringLiteral("Chat transcripts of ")) &&
                               m_desk.Windows().ActiveWindowName().endsWith(QStringLiteral(" - Talvero")),
                           CDesktopScenario::kWindowMs);
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.Service().CountRequests(QStringLiteral("opurl=transcript")) > 0, CDesktopScenario::kWindowMs);
  QVERIFY2(EngineAndGraphics(console.Pid()).isEmpty(), qPrintable(EngineAndGraphics(console.Pid()).join(u' ')));

  // A second page, asked for from the console while the viewer runs, comes
  // to the front too, though the viewer saw none of the operator's keys.
  QVERIFY(m_desk.FocusConsole(console));
  m_desk.Windows().Key(QStringLiteral("alt+t"));
  auto secondPage = [&]() -> std::optional<XWindow> {
    for (const XWindow& w : m_desk.Windows().Windows())
      if (w.pid == page->pid && w.id != page->id) return w;
    return std::nullopt;
  };
  std::optional<XWindow> second;
  QTRY_VERIFY_WITH_TIMEOUT((second = secondPage()).has_value(), CDesktopScenario::kWindowMs);
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Windows().ActiveWindowId(), second->id, CDesktopScenario::kWindowMs);
  QVERIFY(!secondPage()->states.contains(QStringLiteral("DEMANDS_ATTENTION")));

  // The operator closes them as page windows are closed: Escape the one in
  // front, Ctrl+W the other; the viewer and the engine's helpers end soon
  // after.
  const qint64 viewer = page->pid;
  m_desk.Windows().Key(QStringLiteral("Escape"));
  QTRY_VERIFY_WITH_TIMEOUT(!secondPage(), CDesktopScenario::kWindowMs);
  m_desk.Windows().Activate(page->id);
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Windows().ActiveWindowId(), page->id, CDesktopScenario::kWindowMs);
  m_desk.Windows().Key(QStringLiteral("ctrl+w"));
  QTRY_VERIFY_WITH_TIMEOUT(!pageWindow(), CDesktopScenario::kWindowMs);
  QTRY_VERIFY_WITH_TIMEOUT(!Alive(viewer), 10000);

  // A viewer that dies with a page open leaves the console running, and the
  // console says in the page's place why it is gone.
  QVERIFY((page = OpenTranscripts(console)).has_value());
  ::kill(pid_t(page->pid), SIGKILL);
  auto notice = [&] {
    for (const XWindow& w : m_desk.Windows().Windows())
      if (w.pid == console.Pid() && w.name == QStringLiteral("Talvero") && w.id != m_desk.ConsoleWindow(console)->id) return true;
    return false;
  };
  QTRY_VERIFY_WITH_TIMEOUT(notice(), CDesktopScenario::kWindowMs);
  const int refreshes = m_desk.Refreshes(QStringLiteral("demo"));
  QVERIFY(console.IsRunning());
  QVERIFY(m_desk.WaitForRefreshes(refreshes + 2, QStringLiteral("demo")));
}

// A server page's download and new window, from the keyboard: the
// transcripts' "Export as text" asks where to save and saves there, and
// "Open in a new window" opens a second window of the viewer.
void tst_DesktopSession::aPageSavesADownloadAndOpensAWindow() {
  QTemporaryDir saved;
  const QString target = saved.filePath(QStringLiteral("chats.txt"));
  CConsoleProcess& console = m_desk.StartConsole(QStringLiteral("demo"));
  QVERIFY(m_desk.LogIn(console, QStringLiteral("demo"), QStringLiteral("demo")));
  std::optional<XWindow> page = OpenTranscripts(console);
  QVERIFY(page);
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Service().CountRequests(QStringLiteral("opurl=transcript")), 1, CDesktopScenario::kWindowMs);
  // The page read to its end, links and all: the answer alone may come
  // well before the viewer has the page.
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.Service().CountRequests(QStringLiteral("transcripts-read.png")) >= 1, CDesktopScenario::kWindowMs);
  auto pageWindows = [&] {
    int n = 0;
    for (const XWindow& w : m_desk.Windows().Windows()) n += w.pid == page->pid ? 1 : 0;
    return n;
  };
  m_desk.Windows().Activate(page->id);
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Windows().ActiveWindowId(), page->id, CDesktopScenario::kWindowMs);

  // The second link: the export, saved only where the operator says.
  m_desk.Windows().Key(QStringLiteral("Tab"));
  m_desk.Windows().Key(QStringLiteral("Tab"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Save Download As")));
  m_desk.Windows().Key(QStringLiteral("ctrl+a"));
  m_desk.Windows().Type(target);
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(target).size() > 0, CDesktopScenario::kWindowMs);
  QFile file(target);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QVERIFY(file.readAll().startsWith("Chat transcripts of"));
  QCOMPARE(QDir(saved.path()).entryList(QDir::Files), QStringList{QStringLiteral("chats.txt")});

  // The first link: a window of its own, the page loaded again in it.
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Windows().ActiveWindowId(), page->id, CDesktopScenario::kWindowMs);
  m_desk.Windows().Key(QStringLiteral("shift+Tab"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(pageWindows(), 2, CDesktopScenario::kWindowMs);
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Service().CountRequests(QStringLiteral("opurl=transcript")), 2, CDesktopScenario::kWindowMs);
  // Its windows would outlive the console the scenario ends; the next
  // scenario must not find them.
  ::kill(pid_t(page->pid), SIGKILL);
  QTRY_VERIFY_WITH_TIMEOUT(!Alive(page->pid), 10000);
}

// A returning visitor's earlier chats come up by themselves as his chat
// opens: beside the chat window, and without taking the keys the operator
// is typing into it.
void tst_DesktopSession::earlierChatsOpenBesideTheChat() {
  CConsoleProcess& console = m_desk.StartConsole(QStringLiteral("demo"));
  QVERIFY(m_desk.LogIn(console, QStringLiteral("demo"), QStringLiteral("demo")));
  const QString chatId = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"), true);
  QVERIFY(m_desk.WaitForRefreshes(2));
  m_desk.Windows().Key(QStringLiteral("alt+c"));
  const QString chatName = QStringLiteral("Chatting with:Zoe");
  QVERIFY(m_desk.WaitForActive(chatName));
  m_desk.Windows().Type(QStringLiteral("hel"));
  std::optional<XWindow> page;
  QTRY_VERIFY_WITH_TIMEOUT((page = ViewerWindow(console)).has_value(), CDesktopScenario::kWindowMs);
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.Service().CountRequests(QStringLiteral("opurl=vchathist")) > 0, CDesktopScenario::kWindowMs);
  m_desk.Windows().Type(QStringLiteral("lo"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.Service().ChatLines(chatId).contains(QStringLiteral("demo: hello")), CDesktopScenario::kWindowMs);
  QCOMPARE(m_desk.Windows().ActiveWindowName(), chatName);
  const std::optional<XWindow> chat = m_desk.Windows().Find(chatName);
  QVERIFY(chat);
  page = ViewerWindow(console);
  QVERIFY(page);
  QVERIFY(m_desk.Windows().WorkArea().contains(page->frame));
  QVERIFY2(!page->geometry.intersects(chat->geometry),
           qPrintable(QStringLiteral("page %1,%2 %3x%4 over chat %5,%6 %7x%8")
                          .arg(page->geometry.x()).arg(page->geometry.y()).arg(page->geometry.width()).arg(page->geometry.height())
                          .arg(chat->geometry.x()).arg(chat->geometry.y()).arg(chat->geometry.width()).arg(chat->geometry.height())));
}

void tst_DesktopSession::loginWhileTheServiceStalls_data() {
  QTest::addColumn<QString>("cancelKey");
  QTest::newRow("Alt+A") << QStringLiteral("alt+a");
  QTest::newRow("Escape") << QStringLiteral("Escape");
}

// The service holds the parameters request for a minute: the login window
// goes on taking typing, the key cancels the wait, and the next Enter logs
// in with what was typed meanwhile, long before the held request ends.
void tst_DesktopSession::loginWhileTheServiceStalls() {
  QFETCH(QString, cancelKey);
  CConsoleProcess& console = m_desk.StartConsole(QStringLiteral("stall"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Talvero Executive Login:")));
  QCOMPARE(m_desk.Service().Control(QStringLiteral("fault"), {{QStringLiteral("kind"), QStringLiteral("delay")},
                                                             {QStringLiteral("ms"), QStringLiteral("60000")},
                                                             {QStringLiteral("script"), QStringLiteral("w-param.php")}}),
           QStringLiteral("ok"));
  CWindowSystem& x = m_desk.Windows();
  QElapsedTimer pressed;
  pressed.start();
  QVERIFY(m_desk.TypeLogIn(QStringLiteral("demo"), QStringLiteral("wrong")));
  x.Key(QStringLiteral("Return"));  // held by the service
  x.Key(QStringLiteral("ctrl+a"));  // the password typed again meanwhile
  x.Type(QStringLiteral("demo"));
  x.Key(cancelKey);
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Talvero Executive Login:")));  // the window stays
  // Alt+A clicks Cancel after the button's short press animation: an Enter
  // before that is one more Enter while connecting, which does nothing.
  for (int presses = 0; presses < 3 && !m_desk.ConsoleWindow(console); ++presses) {
    x.Key(QStringLiteral("Return"));
    QTest::qWaitFor([&] { return m_desk.ConsoleWindow(console).has_value(); }, 5000);
  }
  QVERIFY(m_desk.ConsoleWindow(console).has_value());
  QVERIFY2(pressed.elapsed() < 30000, qPrintable(QStringLiteral("logged in after %1 ms").arg(pressed.elapsed())));
  // The service logs a request once it has answered it.
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Service().CountRequests(QStringLiteral("wn-login.php")), 1, CDesktopScenario::kWindowMs);
  const QStringList logins = m_desk.Service().Requests().filter(QStringLiteral("wn-login.php"));
  QVERIFY2(logins[0].contains(QStringLiteral("pwd=demo")), qPrintable(logins[0]));
}

// The service answers 502 for a while: the "No Response from Server" box
// comes up without taking the keyboard, the console goes on asking the
// service while it is open, and once the service answers again the box goes
// by itself and the table is current.
void tst_DesktopSession::theOutageWarningWhileTheServiceComesBack() {
  CConsoleProcess& console = m_desk.StartConsole(QStringLiteral("demo"));
  QVERIFY(m_desk.LogIn(console, QStringLiteral("demo"), QStringLiteral("demo")));
  QVERIFY(m_desk.WaitForRefreshes(1));
  const int outageMs = 20000;
  QElapsedTimer clock;
  clock.start();
  m_desk.Service().Control(QStringLiteral("fault"), {{QStringLiteral("kind"), QStringLiteral("badgateway")},
                                                     {QStringLiteral("for"), QString::number(outageMs)}});
  const QString caption = QStringLiteral("Internet Connection");
  QVERIFY(m_desk.WaitForWindow(caption));
  const qint64 shownAt = clock.elapsed();
  QVERIFY2(shownAt < outageMs - 4000, qPrintable(QStringLiteral("the warning came after %1 ms").arg(shownAt)));
  QVERIFY(m_desk.Windows().ActiveWindowName() != caption);
  // Refreshes still go out, and are answered 502, while the box is open.
  const int refreshes = m_desk.Refreshes(QStringLiteral("demo"));
  QVERIFY(m_desk.WaitForRefreshes(2, QStringLiteral("demo")));
  QVERIFY(m_desk.Windows().Find(caption).has_value());

  // The service is back: the box goes, and a refresh is answered again.
  QTRY_VERIFY_WITH_TIMEOUT(!m_desk.Windows().Find(caption).has_value(), outageMs + 10000);
  qInfo("the warning went %lld ms after the service answered again (console period 1 s)", clock.elapsed() - outageMs);
  QVERIFY(clock.elapsed() >= outageMs);
  QVERIFY(m_desk.Refreshes(QStringLiteral("demo")) > refreshes + 2);
  QVERIFY(m_desk.WaitForRefreshes(1, QStringLiteral("demo")));
  QVERIFY(console.IsRunning());
}

// A console killed outright (no chance to close its pages) takes its page
// viewer along: the kernel tells the viewer its parent died.
void tst_DesktopSession::theViewerEndsWithAKilledConsole() {
  CConsoleProcess& console = m_desk.StartConsole(QStringLiteral("demo"));
  QVERIFY(m_desk.LogIn(console, QStringLiteral("demo"), QStringLiteral("demo")));
  std::optional<XWindow> page = OpenTranscripts(console);
  QVERIFY(page);
  const qint64 viewer = page->pid;
  ::kill(pid_t(console.Pid()), SIGKILL);
  QTRY_VERIFY_WITH_TIMEOUT(!Alive(viewer), 10000);
}

QTEST_GUILESS_MAIN(tst_DesktopSession)
#include "tst_DesktopSession.moc"
