// Two operators on one desktop: an operator chat between their consoles,
// and the keyboard staying in it while a visitor's request waits.
#include "DesktopScenario.h"

#include <QTest>

class tst_DesktopOperators : public QObject {
  Q_OBJECT

 private:
  CDesktopScenario m_desk;
  CConsoleProcess* m_pDemo = nullptr;
  CConsoleProcess* m_pAnna = nullptr;

  bool LogInBoth();
  // demo asks anna from the Operators view; anna accepts from hers. True
  // when both chat windows are open, anna's active.
  bool OpenOperatorChat();
  bool ShowOperatorsAndPick(CConsoleProcess& console, const QString& name);
  // Brings a chat window forward, types a line there and sends it with Enter.
  bool Say(const QString& window, const QString& line);

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void operatorChatBothWays();
  void waitingRequestLeavesTheKeyboardAlone();
  void messagesGoByEnterWithoutABox();
};

void tst_DesktopOperators::initTestCase() { QVERIFY2(m_desk.StartDesktop(), qPrintable(m_desk.Error())); }

void tst_DesktopOperators::init() { QVERIFY(m_desk.StartService()); }

void tst_DesktopOperators::cleanup() {
  m_desk.ReportFailure();
  m_desk.EndScenario();
}

bool tst_DesktopOperators::LogInBoth() {
  m_pDemo = &m_desk.StartConsole(QStringLiteral("demo"));
  if (!m_desk.LogIn(*m_pDemo, QStringLiteral("demo"), QStringLiteral("demo"))) return false;
  m_pAnna = &m_desk.StartConsole(QStringLiteral("anna"));
  return m_desk.LogIn(*m_pAnna, QStringLiteral("anna"), QStringLiteral("anna"));
}

bool tst_DesktopOperators::ShowOperatorsAndPick(CConsoleProcess& console, const QString& name) {
  if (!m_desk.FocusConsole(console)) return false;
  const XWindow window = *m_desk.ConsoleWindow(console);
  m_desk.Windows().Click(window.id, CDesktopScenario::InConsole(window, QPoint(328, 65)));  // the Operators tab
  // The service lists the operators in its configuration's order.
  const int row = QStringList{QStringLiteral("demo"), QStringLiteral("anna"), QStringLiteral("ben")}.indexOf(name);
  m_desk.Windows().Click(window.id, CDesktopScenario::ConsoleRow(window, row));
  return true;
}

bool tst_DesktopOperators::OpenOperatorChat() {
  if (!m_desk.WaitForRefreshes(2, QStringLiteral("demo")) || !ShowOperatorsAndPick(*m_pDemo, QStringLiteral("anna"))) return false;
  // Request Chat, by its key: the buttons under the table move with the
  // rows the table keeps.
  m_desk.Windows().Key(QStringLiteral("alt+r"));
  if (!m_desk.WaitForActive(QStringLiteral("Chatting with:anna"))) return false;
  // anna's console shows the request at its next refresh.
  if (!m_desk.WaitForRefreshes(2, QStringLiteral("anna")) || !ShowOperatorsAndPick(*m_pAnna, QStringLiteral("demo"))) return false;
  m_desk.Windows().Key(QStringLiteral("alt+c"));
  return m_desk.WaitForActive(QStringLiteral("Chatting with:demo"));
}

bool tst_DesktopOperators::Say(const QString& window, const QString& line) {
  if (!m_desk.Focus(window)) return false;
  m_desk.Windows().Type(line, 120);
  m_desk.Windows().Key(QStringLiteral("Return"));
  return true;
}

void tst_DesktopOperators::operatorChatBothWays() {
  QVERIFY(LogInBoth());
  QVERIFY2(OpenOperatorChat(), "the operator chat did not open in both consoles");
  const QString fromAnna = QStringLiteral("Can you take the order #55 & the refund +2");
  QVERIFY(Say(QStringLiteral("Chatting with:demo"), fromAnna));
  const QString fromDemo = QStringLiteral("Yes = done, Ольга knows too");
  QVERIFY(Say(QStringLiteral("Chatting with:anna"), fromDemo));
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.CopyTranscript().contains(QStringLiteral("anna: ") + fromAnna), CDesktopScenario::kWindowMs);
  QVERIFY(m_desk.Focus(QStringLiteral("Chatting with:demo")));
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.CopyTranscript().contains(QStringLiteral("demo: ") + fromDemo), CDesktopScenario::kWindowMs);
}

void tst_DesktopOperators::waitingRequestLeavesTheKeyboardAlone() {
  QVERIFY(LogInBoth());
  QVERIFY(OpenOperatorChat());
  QVERIFY(m_desk.Focus(QStringLiteral("Chatting with:anna")));

  // A visitor's request waits while demo types, refresh after refresh.
  m_desk.Service().VisitorAsksForChat(QStringLiteral("Walt"));
  const QStringList pieces = {QStringLiteral("I will "), QStringLiteral("take the "), QStringLiteral("next one "),
                              QStringLiteral("in a minute")};
  for (const QString& piece : pieces) {
    m_desk.Windows().Type(piece, 80);
    QVERIFY(m_desk.WaitForRefreshes(1, QStringLiteral("demo")));
    QCOMPARE(m_desk.Windows().ActiveWindowName(), QStringLiteral("Chatting with:anna"));
  }
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.CopyTranscript().contains(QStringLiteral("demo: ") + pieces.join(QString())),
                           CDesktopScenario::kWindowMs);
}

// Enter in the console's message box sends the message to the operator
// chosen beside it, and the next can be typed at once: no box to dismiss.
void tst_DesktopOperators::messagesGoByEnterWithoutABox() {
  QVERIFY(LogInBoth());
  QVERIFY(m_desk.WaitForRefreshes(2, QStringLiteral("demo")));
  QVERIFY(m_desk.FocusConsole(*m_pDemo));
  const XWindow demo = *m_desk.ConsoleWindow(*m_pDemo);
  m_desk.Windows().Click(demo.id, CDesktopScenario::InConsole(demo, QPoint(477, 562)));  // the message box
  const auto sent = [this](const QString& encoded) {
    return m_desk.Service().CountRequests(QStringLiteral("/w-admsg.php?adid=anna&action=save&admsg=") + encoded);
  };
  m_desk.Windows().Type(QStringLiteral("Lunch at one & back"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(sent(QStringLiteral("Lunch%20at%20one%20%26%20back")), 1, CDesktopScenario::kWindowMs);
  m_desk.Windows().Type(QStringLiteral("Back now"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(sent(QStringLiteral("Back%20now")), 1, CDesktopScenario::kWindowMs);
  QVERIFY(m_desk.WaitForRefreshes(2, QStringLiteral("demo")));
  for (const XWindow& window : m_desk.Windows().Windows())
    QVERIFY2(window.pid != m_pDemo->Pid() || window.id == demo.id, qPrintable(window.name + QStringLiteral(" opened")));
  QCOMPARE(m_desk.Windows().ActiveWindowId(), demo.id);
}

QTEST_GUILESS_MAIN(tst_DesktopOperators)
#include "tst_DesktopOperators.moc"
