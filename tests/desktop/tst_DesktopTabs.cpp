// Chats in tabs of one window on a real desktop, with real keys and a real
// mouse: four chats taken into one window, a line in a tab not shown
// marking the window, Ctrl+3 and Ctrl+Tab reaching the right chat, a tab
// dragged out into a window of its own and dropped back, the layout
// coming back after the console dies and is started again, and Ctrl+W
// closing a tab with the chat window's question.
#include "DesktopScenario.h"

#include <QTest>

class tst_DesktopTabs : public QObject {
  Q_OBJECT

 private:
  CDesktopScenario m_desk;
  CConsoleProcess* m_pConsole = nullptr;

  static QString Chatting(const QString& visitor) { return QStringLiteral("Chatting with:") + visitor; }
  // The console's chat windows (each a window of tabs).
  QList<XWindow> ChatWindows() const {
    QList<XWindow> windows;
    for (const XWindow& window : m_desk.Windows().Windows())
      if (window.pid == m_pConsole->Pid() && window.name.startsWith(Chatting(QString()))) windows << window;
    return windows;
  }
  // The active window shows this visitor's chat (its title may go on with
  // the lines unread in the other tabs).
  bool WaitForChat(const QString& visitor) const {
    return QTest::qWaitFor(
        [&] {
          const QString active = m_desk.Windows().ActiveWindowName();
          return active == Chatting(visitor) || active.startsWith(Chatting(visitor) + QStringLiteral(" \u2013 "));
        },
        CDesktopScenario::kWindowMs);
  }
  bool Sent(const QString& chatId, const QString& line) {
    return m_desk.Service().ChatLines(chatId).contains(QStringLiteral("demo: ") + line);
  }
  // Alt+C takes the request of the row clicked once the console shows it;
  // Alt+J (Join) takes back an own chat still open at the service.
  bool Accept(const QString& visitor, int row, const QString& key = QStringLiteral("alt+c")) {
    if (!m_desk.WaitForRefreshes(2) || !m_desk.FocusConsole(*m_pConsole)) return false;
    const XWindow console = *m_desk.ConsoleWindow(*m_pConsole);
    m_desk.Windows().Click(console.id, CDesktopScenario::ConsoleRow(console, row));
    m_desk.Windows().Key(key);
    return WaitForChat(visitor);
  }
  void StartConsole() {
    m_pConsole = &m_desk.StartConsole(QStringLiteral("demo"));
    QVERIFY(m_desk.LogIn(*m_pConsole, QStringLiteral("demo"), QStringLiteral("demo")));
    QVERIFY(m_desk.FocusConsole(*m_pConsole));
    m_desk.Windows().Key(QStringLiteral("alt+h"));  // Chats Only: the rows in the order the chats came
  }

 private slots:
  void initTestCase() { QVERIFY2(m_desk.StartDesktop(), qPrintable(m_desk.Error())); }
  void init() { QVERIFY(m_desk.StartService()); }
  void cleanup() {
    m_desk.ReportFailure();
    m_desk.EndScenario();
    m_pConsole = nullptr;
  }

  void fourChatsInTabs();
};

void tst_DesktopTabs::fourChatsInTabs() {
  // The operator keeps his chats in tabs (the preference, from an earlier run).
  QVERIFY(m_desk.SeedSettings(QStringLiteral("demo"), "[Software\\TVR\\Client]\nChatTabs=sz:1\n"));
  StartConsole();
  const QStringList names{"Zoe", "Yuri", "Xena", "Walt"};
  QStringList ids;
  for (const QString& name : names) ids << m_desk.Service().VisitorAsksForChat(name);
  for (int row = 0; row < names.size(); ++row) QVERIFY(Accept(names[row], row));
  QCOMPARE(ChatWindows().size(), 1);

  // Zoe writes while Walt's tab is shown: the window says so in its title
  // (the tab itself is marked), and Walt's chat keeps the keyboard.
  m_desk.Service().Control(QStringLiteral("visitor/say"), {{QStringLiteral("csesid"), ids[0]}, {QStringLiteral("text"), QStringLiteral("hello?")}});
  QVERIFY(m_desk.WaitForActive(Chatting("Walt") + QStringLiteral(" \u2013 1 unread line in another tab")));
  m_desk.Windows().Key(QStringLiteral("ctrl+3"));
  QVERIFY(WaitForChat("Xena"));
  m_desk.Windows().Type(QStringLiteral("to x"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_VERIFY_WITH_TIMEOUT(Sent(ids[2], QStringLiteral("to x")), CDesktopScenario::kWindowMs);
  m_desk.Windows().Key(QStringLiteral("ctrl+Tab"));
  QVERIFY(WaitForChat("Walt"));
  m_desk.Windows().Key(QStringLiteral("ctrl+1"));  // Zoe's tab shown: her line is read
  QVERIFY(m_desk.WaitForActive(Chatting("Zoe")));

  // Zoe's tab (the first) dragged down out of the row: a window of its own,
  // with the keyboard. Dropped on the first window's tab row, it is a tab
  // there again, the last one.
  const XWindow tabs = ChatWindows().first();
  m_desk.Windows().Drag(tabs.geometry.topLeft() + QPoint(20, 12), tabs.geometry.topLeft() + QPoint(260, 420));
  QTRY_COMPARE_WITH_TIMEOUT(ChatWindows().size(), 2, CDesktopScenario::kWindowMs);
  QVERIFY(m_desk.WaitForActive(Chatting("Zoe")));
  const std::optional<XWindow> zoes = m_desk.Windows().Find(Chatting("Zoe"));
  QVERIFY(zoes);
  QVERIFY(!zoes->geometry.contains(tabs.geometry.topLeft() + QPoint(tabs.geometry.width() - 40, 12)));
  m_desk.Windows().Drag(zoes->geometry.topLeft() + QPoint(20, 12),
                        tabs.geometry.topLeft() + QPoint(tabs.geometry.width() - 40, 12));
  QTRY_COMPARE_WITH_TIMEOUT(ChatWindows().size(), 1, CDesktopScenario::kWindowMs);
  QVERIFY(WaitForChat("Zoe"));
  m_desk.Windows().Key(QStringLiteral("ctrl+4"));
  QVERIFY(WaitForChat("Zoe"));
  m_desk.Windows().Key(QStringLiteral("ctrl+1"));
  QVERIFY(WaitForChat("Yuri"));
  const QRect placed = ChatWindows().first().geometry;

  // The console dies with the chats open, and is started again: the chats,
  // still open at the service, are taken again and come back into one
  // window where it was, the tabs in their order. (The service keeps a
  // silent console's login for three refresh periods.)
  m_pConsole->Kill();
  QTest::qWait(4000);
  StartConsole();
  for (int row = 0; row < names.size(); ++row) QVERIFY(Accept(names[row], row, QStringLiteral("alt+j")));
  QCOMPARE(ChatWindows().size(), 1);
  QCOMPARE(ChatWindows().first().geometry, placed);
  for (const auto& [key, name] : {std::pair{"ctrl+1", "Yuri"}, {"ctrl+2", "Xena"}, {"ctrl+3", "Walt"}, {"ctrl+4", "Zoe"}}) {
    m_desk.Windows().Key(QString::fromLatin1(key));
    QVERIFY2(WaitForChat(QString::fromLatin1(name)), key);
  }

  // Ctrl+W on Zoe's tab asks first; No closes the tab, and what is typed
  // next goes to the tab shown then (Walt's), not to a button.
  m_desk.Windows().Key(QStringLiteral("ctrl+w"));
  QVERIFY(QTest::qWaitFor([&] { return m_desk.Windows().ActiveWindowName() == QStringLiteral("Talvero"); }, CDesktopScenario::kWindowMs));
  m_desk.Windows().Key(QStringLiteral("alt+n"));
  QVERIFY(WaitForChat("Walt"));
  m_desk.Windows().Type(QStringLiteral("after w"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_VERIFY_WITH_TIMEOUT(Sent(ids[3], QStringLiteral("after w")), CDesktopScenario::kWindowMs);
}

QTEST_GUILESS_MAIN(tst_DesktopTabs)
#include "tst_DesktopTabs.moc"
