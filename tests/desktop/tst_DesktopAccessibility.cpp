// The console as a screen reader sees it, through AT-SPI on the rig's own
// accessibility bus: the console's buttons by name and state, a chat taken
// with the Accept button pressed through accessibility, and the newest line
// of its transcript read out.
#include "DesktopScenario.h"

#include <QTest>

class tst_DesktopAccessibility : public QObject {
  Q_OBJECT

 private:
  CDesktopScenario m_desk;

  // Runs the AT-SPI client on one talvero; its output, and its status in *status.
  QString Reader(qint64 pid, const QStringList& command, int* status = nullptr);
  // The client's output once it succeeds (within the window time), else empty.
  QString WaitForReader(qint64 pid, const QStringList& command);

 private slots:
  void initTestCase();
  void cleanupTestCase();
  void init();
  void cleanup();
  void buttonsAcceptAndTheNewestLine();
};

namespace {

const QString kClient = QStringLiteral(TALVERO_SOURCE_DIR "/tests/desktop/atspi-console.py");

}  // namespace

void tst_DesktopAccessibility::initTestCase() {
  // Skipped only where no AT-SPI client can be had; scripts/test installs
  // python3-pyatspi and at-spi2-core with the rest.
  if (!CDesktopScenario::HasAtSpi()) QSKIP("no AT-SPI client here: python3-pyatspi and at-spi2-core are not installed");
  QVERIFY2(m_desk.StartDesktop(), qPrintable(m_desk.Error()));
  // The accessibility bus first, on the rig's session bus; it ends with
  // the rig, and with it the registry it started.
  QVERIFY2(m_desk.StartAccessibilityBus(), "the accessibility bus did not start");
}

void tst_DesktopAccessibility::cleanupTestCase() { m_desk.EndScenario(); }

void tst_DesktopAccessibility::init() { QVERIFY(m_desk.StartService()); }

void tst_DesktopAccessibility::cleanup() {
  m_desk.ReportFailure();
  m_desk.EndScenario();
}

QString tst_DesktopAccessibility::Reader(qint64 pid, const QStringList& command, int* status) {
  QProcess client;
  client.setProcessEnvironment(m_desk.Rig().Environment());
  client.start(CDesktopScenario::kAtSpiPython, QStringList{kClient, QString::number(pid)} + command);
  const bool done = client.waitForFinished(CDesktopScenario::kWindowMs);
  if (!done) client.kill();
  if (status) *status = done && client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1;
  if (client.exitCode() == 2) qWarning("%s", client.readAllStandardError().constData());
  return QString::fromUtf8(client.readAllStandardOutput());
}

QString tst_DesktopAccessibility::WaitForReader(qint64 pid, const QStringList& command) {
  QString output;
  int status = -1;
  QTest::qWaitFor([&] {
    output = Reader(pid, command, &status);
    return status == 0;
  }, CDesktopScenario::kWindowMs);
  return status == 0 ? output : QString();
}

void tst_DesktopAccessibility::buttonsAcceptAndTheNewestLine() {
  QProcessEnvironment accessible;
  accessible.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
  CConsoleProcess& console = m_desk.StartConsole(QStringLiteral("demo"), accessible);
  QVERIFY(m_desk.LogIn(console, QStringLiteral("demo"), QStringLiteral("demo")));
  const QString chatId = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY(m_desk.WaitForRefreshes(2));

  // Every button of the console by its name, the selected view tab among them.
  const QString title = QStringLiteral("Talvero");
  QString listing;
  QVERIFY(QTest::qWaitFor([&] {
    listing = WaitForReader(console.Pid(), {QStringLiteral("buttons"), title});
    return listing.contains(QLatin1String("|Accept|enabled"));
  }, CDesktopScenario::kWindowMs));
  qInfo("The console's controls as AT-SPI lists them (role|name|states):\n%s", qPrintable(listing));
  const QStringList lines = listing.split(u'\n', Qt::SkipEmptyParts);
  const auto row = [&](const QString& name) {
    for (const QString& line : lines)
      if (line.section(u'|', 1, 1) == name) return line;
    return QString();
  };
  for (const char* name : {"View Details", "Foot Prints", "Accept", "Busy", "Invite", "Delete", "Join", "Block IP", "Send",
                           "Send Message", "Preferences", "View Message", "Control Panel", "Transcripts", "LogOut",
                           "Operator LogOut", "Online", "Offline"})
    QVERIFY2(!row(QLatin1String(name)).isEmpty(), name);
  QVERIFY2(row(QStringLiteral("All Visitors")).startsWith(QLatin1String("page tab|")), qPrintable(row(QStringLiteral("All Visitors"))));
  QVERIFY2(row(QStringLiteral("All Visitors")).contains(QLatin1String("selected")), qPrintable(listing));
  for (const char* tab : {"Chats Only", "Operators"}) {
    QVERIFY(row(QLatin1String(tab)).startsWith(QLatin1String("page tab|")));
    QVERIFY2(!row(QLatin1String(tab)).contains(QLatin1String("selected")), qPrintable(row(QLatin1String(tab))));
  }
  QVERIFY(row(QStringLiteral("Online")).contains(QLatin1String("checked")));
  QVERIFY(!listing.contains(u'&'));

  // Accept, pressed as a screen reader presses it, opens the chat.
  int status = -1;
  Reader(console.Pid(), {QStringLiteral("press"), title, QStringLiteral("Accept")}, &status);
  QCOMPARE(status, 0);
  QVERIFY(m_desk.WaitForWindow(QStringLiteral("Chatting with:Zoe")));

  // The visitor's answer is the newest line the reader reads.
  const QString answer = QStringLiteral("Thanks, the blue one please");
  m_desk.Service().Control(QStringLiteral("visitor/say"), {{QStringLiteral("csesid"), chatId}, {QStringLiteral("text"), answer}});
  QString newest;
  QVERIFY2(QTest::qWaitFor([&] {
             newest = Reader(console.Pid(), {QStringLiteral("newest-line"), QStringLiteral("Chatting with:Zoe")}).trimmed();
             return newest == QStringLiteral("Zoe: ") + answer;
           }, CDesktopScenario::kWindowMs),
           qPrintable(newest));
}

QTEST_GUILESS_MAIN(tst_DesktopAccessibility)
#include "tst_DesktopAccessibility.moc"
