// The console on a Wayland desktop: a headless sway with a seat, a panel
// whose tray is a StatusNotifierItem host (waybar) and a notification
// daemon (dunst), driven by real key events (the virtual-keyboard
// protocol). One compositor for every scenario: logging in and two chats
// from the keyboard (in windows, and in tabs of one window), a request while
// the console is put away, the outage warning.
#include "DesktopScenario.h"
#include "WaylandCompositor.h"

#include <QTest>

class tst_WaylandDesktop : public QObject {
  Q_OBJECT

 private:
  CDesktopScenario m_desk;
  CConsoleProcess* m_pConsole = nullptr;

  bool LogInDemo() {
    // Settings of its own per scenario: a fresh login window has the caret
    // in the site id box.
    m_pConsole = &m_desk.StartConsole(QString::fromLatin1(QTest::currentTestFunction()));
    return m_desk.LogInOnSway(*m_pConsole, QStringLiteral("demo"), QStringLiteral("demo"));
  }
  int TimesSent(const QString& chatId, const QString& line) {
    return int(m_desk.Service().ChatLines(chatId).count(QStringLiteral("demo: ") + line));
  }
  bool WaitForFocused(const QString& name) { return m_desk.Sway().WaitForFocused(name, CDesktopScenario::kWindowMs); }
  QString TrayItems();

 private slots:
  void initTestCase();
  void init();
  void cleanup();
  void chatsFromTheKeyboard();
  void chatsInTabsFromTheKeyboard();
  void requestWhileThePutAwayConsoleWaits();
  void theOutageWarning();
};

void tst_WaylandDesktop::initTestCase() {
  if (!CWaylandCompositor::IsInstalled(CWaylandCompositor::Kind::Sway)) QSKIP("sway is not installed: no Wayland desktop to run on");
  QVERIFY2(m_desk.StartDesktop(QSize(1600, 1000), CDesktopRig::Desktop::Sway), qPrintable(m_desk.Error()));
}

void tst_WaylandDesktop::init() { QVERIFY(m_desk.StartService()); }

void tst_WaylandDesktop::cleanup() {
  m_desk.ReportFailure();
  m_desk.EndScenario();
  m_pConsole = nullptr;
}

QString tst_WaylandDesktop::TrayItems() {
  return m_desk.Rig().Run(QStringLiteral("dbus-send"),
                          {QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=org.kde.StatusNotifierWatcher"),
                           QStringLiteral("/StatusNotifierWatcher"), QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                           QStringLiteral("string:org.kde.StatusNotifierWatcher"), QStringLiteral("string:RegisteredStatusNotifierItems")});
}

void tst_WaylandDesktop::chatsFromTheKeyboard() {
  QVERIFY2(LogInDemo(), "the console did not open after typing and Enter in the login window");
  QVERIFY(WaitForFocused(QStringLiteral("Talvero")));
  // The panel hosts the console's tray icon.
  QTRY_VERIFY_WITH_TIMEOUT(TrayItems().contains(QLatin1String("/StatusNotifierItem")), CDesktopScenario::kWindowMs);

  // Accepted with Alt+C: the chat window comes forward with the caret in its
  // entry box, and the typed line arrives exactly.
  const QString zoe = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY(m_desk.WaitForRefreshes(2));
  m_desk.Sway().Keys({QStringLiteral("alt+c")});
  QVERIFY2(WaitForFocused(QStringLiteral("Chatting with:Zoe")), "Alt+C did not bring the chat window forward with the keyboard");
  const QString line = QStringLiteral("a&b=c+d #7 Жёлтый é€, ok?");
  m_desk.Sway().Keys({u'=' + line, QStringLiteral("Return")});
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(zoe, line), 1, CDesktopScenario::kWindowMs);

  // The second request: back to the console by Ctrl+0, its row picked with
  // the arrow key; each chat keeps its own lines.
  const QString yuri = m_desk.Service().VisitorAsksForChat(QStringLiteral("Yuri"));
  QVERIFY(m_desk.WaitForRefreshes(2));
  m_desk.Sway().Keys({QStringLiteral("ctrl+0")});
  QVERIFY2(WaitForFocused(QStringLiteral("Talvero")), "Ctrl+0 did not bring the console forward");
  m_desk.Sway().Keys({QStringLiteral("Down"), QStringLiteral("alt+c")});
  QVERIFY(WaitForFocused(QStringLiteral("Chatting with:Yuri")));
  const QString second = QStringLiteral("Your order ships today");
  m_desk.Sway().Keys({u'=' + second, QStringLiteral("Return")});
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(yuri, second), 1, CDesktopScenario::kWindowMs);
  QCOMPARE(TimesSent(zoe, second), 0);
  QCOMPARE(TimesSent(zoe, line), 1);
}

// Chats kept in tabs of one window: Ctrl+1 shows the first tab with the
// caret in its box, and Ctrl+W closes a tab after its question, leaving the
// keyboard in the tab shown next.
void tst_WaylandDesktop::chatsInTabsFromTheKeyboard() {
  QVERIFY(m_desk.SeedSettings(QStringLiteral("chatsInTabsFromTheKeyboard"), "[Software\\TVR\\Client]\nChatTabs=sz:1\n"));
  QVERIFY(LogInDemo());
  QVERIFY(WaitForFocused(QStringLiteral("Talvero")));
  const QString zoe = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY(m_desk.WaitForRefreshes(2));
  m_desk.Sway().Keys({QStringLiteral("alt+c")});
  QVERIFY(WaitForFocused(QStringLiteral("Chatting with:Zoe")));
  const QString yuri = m_desk.Service().VisitorAsksForChat(QStringLiteral("Yuri"));
  QVERIFY(m_desk.WaitForRefreshes(2));
  m_desk.Sway().Keys({QStringLiteral("ctrl+0")});
  QVERIFY(WaitForFocused(QStringLiteral("Talvero")));
  m_desk.Sway().Keys({QStringLiteral("Down"), QStringLiteral("alt+c")});
  // Yuri's tab shows in the window already open. sway gives the keyboard to
  // a window mapped anew, but not to one that asks for it later than the
  // key that caused it (the accept's reply): Ctrl+2 takes it there.
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.Sway().Find(QStringLiteral("Chatting with:Yuri")).has_value(), CDesktopScenario::kWindowMs);
  m_desk.Sway().Keys({QStringLiteral("ctrl+2")});
  QVERIFY(WaitForFocused(QStringLiteral("Chatting with:Yuri")));

  m_desk.Sway().Keys({QStringLiteral("ctrl+1")});
  QVERIFY(WaitForFocused(QStringLiteral("Chatting with:Zoe")));
  m_desk.Sway().Keys({QStringLiteral("=to zoe"), QStringLiteral("Return")});
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(zoe, QStringLiteral("to zoe")), 1, CDesktopScenario::kWindowMs);
  m_desk.Sway().Keys({QStringLiteral("ctrl+w")});
  QVERIFY(WaitForFocused(QStringLiteral("Talvero")));  // "End the chat with Zoe?"
  m_desk.Sway().Keys({QStringLiteral("alt+n")});
  QVERIFY(WaitForFocused(QStringLiteral("Chatting with:Yuri")));
  m_desk.Sway().Keys({QStringLiteral("=to yuri"), QStringLiteral("Return")});
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(yuri, QStringLiteral("to yuri")), 1, CDesktopScenario::kWindowMs);
  QCOMPARE(TimesSent(zoe, QStringLiteral("to yuri")), 0);
}

// Put away (sway's scratchpad: no compositor tells the program), the console
// still takes requests: a request brings a desktop notification whose
// Accept opens the chat in front.
void tst_WaylandDesktop::requestWhileThePutAwayConsoleWaits() {
  QVERIFY(LogInDemo());
  const qint64 console = m_desk.ConsoleSwayWindow(*m_pConsole)->conId;
  m_desk.Sway().Command(QStringLiteral("[con_id=%1] move scratchpad").arg(console));
  QTRY_VERIFY_WITH_TIMEOUT(!m_desk.ConsoleSwayWindow(*m_pConsole)->visible, CDesktopScenario::kWindowMs);
  QVERIFY2(m_desk.WaitForRefreshes(2), "the console stopped polling when put away");

  m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.Rig().Run(QStringLiteral("dunstctl"), {QStringLiteral("count"), QStringLiteral("displayed")}).trimmed().toInt() > 0,
                           CDesktopScenario::kWindowMs);
  m_desk.Rig().Run(QStringLiteral("dunstctl"), {QStringLiteral("action"), QStringLiteral("0")});
  QVERIFY2(WaitForFocused(QStringLiteral("Chatting with:Zoe")), "the notification's Accept did not open the chat in front");
  QVERIFY(m_pConsole->IsRunning());
}

// The service answers 502 for a while: "No Response from Server" comes up,
// and goes by itself once the service answers again.
void tst_WaylandDesktop::theOutageWarning() {
  QVERIFY(LogInDemo());
  QVERIFY(m_desk.WaitForRefreshes(1));
  const int outageMs = 18000;
  m_desk.Service().Control(QStringLiteral("fault"), {{QStringLiteral("kind"), QStringLiteral("badgateway")},
                                                     {QStringLiteral("for"), QString::number(outageMs)}});
  const QString caption = QStringLiteral("Internet Connection");
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.Sway().Find(caption).has_value(), outageMs);
  QTRY_VERIFY_WITH_TIMEOUT(!m_desk.Sway().Find(caption).has_value(), outageMs + 10000);
  QVERIFY(m_desk.WaitForRefreshes(1, QStringLiteral("demo")));
  QVERIFY(m_pConsole->IsRunning());
}

QTEST_GUILESS_MAIN(tst_WaylandDesktop)
#include "tst_WaylandDesktop.moc"
