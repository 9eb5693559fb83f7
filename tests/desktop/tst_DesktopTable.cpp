// The console's visitor table from the keyboard on a real desktop: the
// arrow keys move what the buttons act on, and Accept (Alt+C or Enter)
// takes only a visitor who asked for a chat.
#include "DesktopScenario.h"

#include <QTest>

class tst_DesktopTable : public QObject {
  Q_OBJECT

 private:
  CDesktopScenario m_desk;
  CConsoleProcess* m_pConsole = nullptr;

 private slots:
  void initTestCase() { QVERIFY2(m_desk.StartDesktop(), qPrintable(m_desk.Error())); }
  void init() { QVERIFY(m_desk.StartService()); }
  void cleanup() {
    m_desk.ReportFailure();
    m_desk.EndScenario();
    m_pConsole = nullptr;
  }

  // Zoe asks for a chat, Carl only looks around. After a click on Zoe's row
  // and a Down arrow, the accept key must not accept Carl; back on Zoe,
  // the key takes her chat.
  void arrowKeysThenAccept_data() {
    QTest::addColumn<QString>("acceptKey");
    QTest::newRow("Alt+C") << QStringLiteral("alt+c");
    QTest::newRow("Enter") << QStringLiteral("Return");
  }
  void arrowKeysThenAccept() {
    QFETCH(QString, acceptKey);
    m_pConsole = &m_desk.StartConsole(QStringLiteral("demo"));
    QVERIFY(m_desk.LogIn(*m_pConsole, QStringLiteral("demo"), QStringLiteral("demo")));
    const QString zoe = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
    m_desk.Service().Control(
        QStringLiteral("visitor/add"), {{QStringLiteral("name"), QStringLiteral("Carl")}, {QStringLiteral("ip"), QStringLiteral("10.7.7.7")}});
    QVERIFY(m_desk.WaitForRefreshes(2));
    QVERIFY(m_desk.FocusConsole(*m_pConsole));
    const XWindow console = *m_desk.ConsoleWindow(*m_pConsole);
    m_desk.Windows().Click(console.id, CDesktopScenario::ConsoleRow(console, 0));

    m_desk.Windows().Key(QStringLiteral("Down"));
    m_desk.Windows().Key(acceptKey);
    // Two whole refreshes later (the log is in order) no accept has been
    // asked for anyone.
    QVERIFY(m_desk.WaitForRefreshes(2));
    QCOMPARE(m_desk.Service().CountRequests(QStringLiteral("/w-adc.php")), 0);
    QCOMPARE(m_desk.Windows().ActiveWindowId(), m_desk.ConsoleWindow(*m_pConsole)->id);  // Enter closed nothing

    m_desk.Windows().Key(QStringLiteral("Up"));
    m_desk.Windows().Key(acceptKey);
    QVERIFY2(m_desk.WaitForActive(QStringLiteral("Chatting with:Zoe")), "the accept key on Zoe's row opened no chat");
    // The service's log may come a little after the window.
    QTRY_COMPARE_WITH_TIMEOUT(m_desk.Service().CountRequests(QStringLiteral("/w-adc.php?csesid=") + zoe), 1,
                              CDesktopScenario::kWindowMs);
    QCOMPARE(m_desk.Service().CountRequests(QStringLiteral("/w-adc.php")), 1);
  }
};

QTEST_GUILESS_MAIN(tst_DesktopTable)
#include "tst_DesktopTable.moc"
