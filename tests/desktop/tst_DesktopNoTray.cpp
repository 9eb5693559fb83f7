// A desktop without any tray (as a stock GNOME): the console says once where
// its alerts appear, minimises into the task bar instead of vanishing, and
// a request while it is minimised comes as a desktop notification whose
// Accept opens the chat in front.
#include "DesktopScenario.h"

#include <QTest>

class tst_DesktopNoTray : public QObject {
  Q_OBJECT

 private:
  CDesktopScenario m_desk;
  const QString kNote = QStringLiteral("Alerts - Talvero");

 private slots:
  void initTestCase();
  void init();
  void cleanup();
  void minimisedConsoleStaysWithinReach();
};

void tst_DesktopNoTray::initTestCase() {
  QVERIFY2(m_desk.StartDesktop(QSize(1600, 1000), CDesktopRig::Desktop::X11WithoutTray), qPrintable(m_desk.Error()));
}

void tst_DesktopNoTray::init() { QVERIFY(m_desk.StartService()); }

void tst_DesktopNoTray::cleanup() {
  m_desk.ReportFailure();
  m_desk.EndScenario();
}

void tst_DesktopNoTray::minimisedConsoleStaysWithinReach() {
  CConsoleProcess* console = &m_desk.StartConsole(QStringLiteral("demo"));
  QVERIFY(m_desk.LogIn(*console, QStringLiteral("demo"), QStringLiteral("demo")));
  // Told once, without taking the keyboard from the console.
  QVERIFY2(m_desk.WaitForWindow(kNote), "the console did not say where its alerts appear");
  QVERIFY(m_desk.Windows().ActiveWindowName() != kNote);
  QVERIFY(m_desk.Focus(kNote));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_VERIFY_WITH_TIMEOUT(!m_desk.Windows().Find(kNote), CDesktopScenario::kWindowMs);

  // Minimised, it stays listed in the task bar: a way back.
  const XWindow window = *m_desk.ConsoleWindow(*console);
  m_desk.Windows().Minimise(window.id);
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.ConsoleWindow(*console) && m_desk.ConsoleWindow(*console)->Has(QStringLiteral("HIDDEN")),
                           CDesktopScenario::kWindowMs);
  QVERIFY(m_desk.WaitForRefreshes(3));
  QVERIFY2(m_desk.ConsoleWindow(*console).has_value(), "the minimised console left the task bar with no tray to come back from");

  // A request while it is minimised: the notification's Accept (a click)
  // opens the chat in front.
  m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QTRY_VERIFY_WITH_TIMEOUT(!m_desk.Windows().Unmanaged(QStringLiteral("Dunst")).isEmpty(), CDesktopScenario::kWindowMs);
  m_desk.Windows().ClickAt(m_desk.Windows().Unmanaged(QStringLiteral("Dunst")).first().geometry.center());
  QVERIFY2(m_desk.WaitForActive(QStringLiteral("Chatting with:Zoe")), "the notification's Accept did not open the chat in front");
  QVERIFY(m_desk.FocusConsole(*console));

  // The next start with the same settings says nothing more.
  m_desk.EndScenario();
  QVERIFY(m_desk.StartService());
  console = &m_desk.StartConsole(QStringLiteral("demo"));
  QVERIFY(m_desk.LogIn(*console, QStringLiteral("demo"), QStringLiteral("demo")));
  QVERIFY(m_desk.WaitForRefreshes(3));
  QVERIFY2(!m_desk.Windows().Find(kNote), "the note came again");
}

QTEST_GUILESS_MAIN(tst_DesktopNoTray)
#include "tst_DesktopNoTray.moc"
