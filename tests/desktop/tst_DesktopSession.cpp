// The session's end told by the service ("logout" in a refresh, after an
// administrator logged the operator out), when logging out must also clear
// the remembered login from a keyring that is not there or never answers.
#include "DesktopScenario.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

class tst_DesktopSession : public QObject {
  Q_OBJECT

 private:
  CDesktopScenario m_desk;
  // Started on the rig's bus: it owns the secret service's name and never
  // answers.
  QProcess* StartSilentKeyring();

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void loggedOutByService_data();
  void loggedOutByService();
};

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

  // Remembered where no keyring is: the password stays in the settings.
  CConsoleProcess& first = m_desk.StartConsole(QStringLiteral("demo"), noBus);
  QVERIFY(m_desk.LogIn(first, QStringLiteral("demo"), QStringLiteral("demo"), true));
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

QTEST_GUILESS_MAIN(tst_DesktopSession)
#include "tst_DesktopSession.moc"
