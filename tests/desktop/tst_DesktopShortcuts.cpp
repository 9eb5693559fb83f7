// Shortcuts of the operator's choosing, on a real desktop: a key changed in
// the preferences with real keys works at once in the chat windows already
// open, the old one no longer does, and a key that clashes is refused.
#include "DesktopScenario.h"

#include <QTest>

class tst_DesktopShortcuts : public QObject {
  Q_OBJECT

 private:
  CDesktopScenario m_desk;
  CConsoleProcess* m_pConsole = nullptr;

  int TimesSent(const QString& chatId, const QString& line) {
    return int(m_desk.Service().ChatLines(chatId).count(QStringLiteral("demo: ") + line));
  }
  // Alt+C takes the request of the row clicked (or of the one selected)
  // once the console shows it.
  bool Accept(const QString& visitor, int row = -1) {
    if (!m_desk.WaitForRefreshes(2)) return false;
    if (row >= 0) {
      if (!m_desk.FocusConsole(*m_pConsole)) return false;
      const XWindow console = *m_desk.ConsoleWindow(*m_pConsole);
      m_desk.Windows().Click(console.id, CDesktopScenario::ConsoleRow(console, row));
    }
    m_desk.Windows().Key(QStringLiteral("alt+c"));
    return m_desk.WaitForActive(QStringLiteral("Chatting with:") + visitor);
  }

 private slots:
  void initTestCase() { QVERIFY2(m_desk.StartDesktop(), qPrintable(m_desk.Error())); }
  void init() { QVERIFY(m_desk.StartService()); }
  void cleanup() {
    m_desk.ReportFailure();
    m_desk.EndScenario();
    m_pConsole = nullptr;
  }

  void changedInThePreferences();
};

void tst_DesktopShortcuts::changedInThePreferences() {
  // The operator gave Preferences a key of his own (F10) in an earlier run.
  QVERIFY(m_desk.SeedSettings(QStringLiteral("demo"), "[Software\\TVR\\Client\\Shortcuts]\nPreferences=sz:F10\n"));
  m_pConsole = &m_desk.StartConsole(QStringLiteral("demo"));
  QVERIFY(m_desk.LogIn(*m_pConsole, QStringLiteral("demo"), QStringLiteral("demo")));
  const QString zoe = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY(Accept(QStringLiteral("Zoe")));
  const QString yuri = m_desk.Service().VisitorAsksForChat(QStringLiteral("Yuri"));
  QVERIFY(Accept(QStringLiteral("Yuri"), 1));

  // From the console: F10, the Shortcuts page, "Next chat" (the first
  // command) gets F9; "Previous chat" may not take Ctrl+1, Chat 1's key.
  m_desk.Windows().Key(QStringLiteral("ctrl+0"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Talvero")));
  m_desk.Windows().Key(QStringLiteral("F10"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Talvero: Preferences")));
  for (const char* key : {"alt+h", "alt+m", "Home", "alt+p", "F9", "Down", "alt+p", "ctrl+1", "Return"})
    m_desk.Windows().Key(QString::fromLatin1(key));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Talvero")));

  // Yuri's window, open all along: F9 brings the next chat (Zoe's), and
  // Ctrl+Tab no longer does, so what is typed next stays in Zoe's chat.
  m_desk.Windows().Key(QStringLiteral("ctrl+2"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Yuri")));
  m_desk.Windows().Key(QStringLiteral("F9"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Zoe")));
  m_desk.Windows().Key(QStringLiteral("ctrl+Tab"));
  m_desk.Windows().Type(QStringLiteral("n t"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(zoe, QStringLiteral("n t")), 1, CDesktopScenario::kWindowMs);
  QCOMPARE(m_desk.Windows().ActiveWindowName(), QStringLiteral("Chatting with:Zoe"));
  // The refused key changed nothing: Previous chat keeps Ctrl+Shift+Tab,
  // and Ctrl+1 is still Chat 1's.
  m_desk.Windows().Key(QStringLiteral("ctrl+shift+Tab"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Yuri")));
  m_desk.Windows().Key(QStringLiteral("ctrl+1"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Zoe")));
  QVERIFY(m_desk.Service().ChatLines(yuri).filter(QStringLiteral("demo: ")).isEmpty());
}

QTEST_GUILESS_MAIN(tst_DesktopShortcuts)
#include "tst_DesktopShortcuts.moc"
