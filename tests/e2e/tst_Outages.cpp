// The console against a service that goes away, answers slowly or answers
// nonsense: a console with open chats, short periods, and the service's
// fault injection.
#include "ChatDlg.h"
#include "ChatRichEd.h"
#include "ChatWindows.h"
#include "ConsoleParts.h"
#include "ConsoleSession.h"
#include "ConsoleController.h"
#include "MainDlg.h"
#include "OperatorList.h"
#include "Presence.h"
#include "RefreshCycle.h"
#include "SystemEvents.h"
#include "VisitorTableModel.h"
#include "MySpellEditCtrl.h"
#include "SessionFixture.h"
#include "VisitorActions.h"
#include "VisitorDtlsDlg.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

constexpr int kPeriodMs = 300;  // console and chat periods alike

// A bus of the test's own in place of the system bus, on which the test
// speaks for logind and NetworkManager. The console's connection to "the
// system bus" is made on first use, so this must come first.
class CStandInSystemBus {
 public:
  bool Start() {
    m_daemon.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address"});
    if (!m_daemon.waitForReadyRead(5000)) return false;
    const QByteArray address = m_daemon.readLine().trimmed();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
    QDBusConnection services = QDBusConnection::connectToBus(QString::fromUtf8(address), kName);
    return services.isConnected() && services.registerService("org.freedesktop.login1") &&
           services.registerService("org.freedesktop.NetworkManager");
  }
  ~CStandInSystemBus() {
    QDBusConnection::disconnectFromBus(kName);
    m_daemon.kill();
    m_daemon.waitForFinished();
  }
  void PrepareForSleep(bool bSleeping) {
    QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                                     "PrepareForSleep");
    signal << bSleeping;
    QDBusConnection(kName).send(signal);
  }
  void NetworkState(uint state) {
    QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/NetworkManager", "org.freedesktop.NetworkManager",
                                                     "StateChanged");
    signal << state;
    QDBusConnection(kName).send(signal);
  }

 private:
  static inline const QString kName = QStringLiteral("stand-in system services");
  QProcess m_daemon;
};

int ThreadCount() { return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size()); }

}  // namespace

using namespace ConsoleParts;

class TestOutages : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CSessionFixture> m_pSession;
  CServiceFixture* m_pService = nullptr;
  CMainDlg* m_pConsole = nullptr;
  QStringList m_visitors;  // one per chat, in the order of m_chats
  QList<QPointer<CChatDlg>> m_chats;
  CStandInSystemBus m_bus;
  bool m_bBus = false;

  // anna's console with a chat open with each of n visitors, every window
  // polling every kPeriodMs. False when it could not be made: the test has
  // failed already and must stop, or it would use windows that are not there.
  [[nodiscard]] bool StartConsoleWithChats(int n, int connectMs = 3000, int totalMs = 5000) {
    OpenConsoleWithChats(n, connectMs, totalMs);
    return !QTest::currentTestFailed();
  }
  void OpenConsoleWithChats(int n, int connectMs, int totalMs) {
    m_pSession = std::make_unique<CSessionFixture>();
    m_pSession->Engine().SetTimeouts(connectMs, totalMs);
    CServiceConfig config = CServiceConfig::Demo();
    config.sites[0].consolePeriod = 1;
    config.sites[0].chatPeriod = 1;
    m_pService = &m_pSession->UseService(config);
    QVERIFY(m_pService->Login("anna", "anna").startsWith("true"));
    m_pSession->LogIn();
    CSession& session = m_pSession->Engine().Session();
    session.consolePeriodMs = session.chatPeriodMs = session.operChatPeriodMs = kPeriodMs;
    m_pConsole = &m_pSession->Console();
    for (int i = 0; i < n; ++i) {
      const QString visitor = m_pService->Control("visitor/add", {{"name", QString("V%1").arg(i)}});
      m_pService->Control("visitor/chat", {{"csesid", visitor}});
      m_pSession->Controller().VisitorActions().AcceptChat(visitor);
      QTRY_VERIFY(m_pSession->Controller().ChatWindows().Find(visitor) != nullptr);
      m_visitors.append(visitor);
      m_chats.append(qobject_cast<CChatDlg*>(m_pSession->Controller().ChatWindows().Find(visitor)));
    }
    QTRY_VERIFY_WITH_TIMEOUT(TableShowsEveryChat(), 10 * kPeriodMs);
  }
  QStringList TableIds() const {
    QStringList ids;
    for (const CSiteVisitor& v : m_pConsole->Session().Visitors().Visitors()) ids.append(v.m_line.sessionId);
    return ids;
  }
  bool TableShowsEveryChat() const {
    QStringList ids;
    for (const CSiteVisitor& v : m_pConsole->Session().Visitors().Visitors()) ids.append(v.m_line.sessionId);
    for (const QString& v : m_visitors)
      if (!ids.contains(v)) return false;
    return true;
  }
  void Say(int chat, const QString& text) {
    QCOMPARE(m_pService->Control("visitor/say", {{"csesid", m_visitors[chat]}, {"text", text}}), QString("ok"));
  }
  QString Transcript(int chat) const { return m_chats[chat] ? m_chats[chat]->Transcript()->toPlainText() : QString(); }
  bool HasLines(int chat, const QStringList& lines) const {
    const QString text = Transcript(chat);
    for (const QString& line : lines)
      if (!text.contains(line)) return false;
    return true;
  }
  int FailureBoxes() const {
    int n = 0;
    for (const auto& box : m_pSession->Desktop().messageBoxes) n += box.caption == "Internet Connection";
    return n;
  }

 private slots:
  void initTestCase() { m_bBus = m_bus.Start(); }
  void cleanup() {
    m_chats.clear();
    m_visitors.clear();
    m_pSession.reset();
  }

  // The service answers every request with a proxy's 502 for longer than
  // thirteen periods while three chats are open. The warning comes once
  // and stays open, as a real box would, and holds nothing up: requests go
  // on, lines sent meanwhile come back to their boxes. Once the service
  // answers, the warning closes by itself, the table is current, and every
  // chat polls again; no line shows twice.
  void anOutageWithTheWarningOpen() {
    if (!StartConsoleWithChats(3)) return;
    CChatManager& engine = m_pSession->Engine();
    CRecordingDesktopServices& desktop = m_pSession->Desktop();
    const int outageMs = 40 * kPeriodMs;
    QElapsedTimer clock;
    clock.start();
    m_pService->Control("fault", {{"kind", "badgateway"}, {"for", QString::number(outageMs)}});
    for (int chat = 0; chat < 3; ++chat) Say(chat, "said while down");
    QTRY_COMPARE_WITH_TIMEOUT(desktop.OpenWarnings(), 1, outageMs);
    QCOMPARE(desktop.warnings.first().text, QString("No Response from Server. Please check your internet connection."));
    QVERIFY(m_pConsole->Session().Refresh().IsConnectionAlert());
    QCOMPARE(TableIds(), m_visitors);  // the table stays, stale
    QVERIFY(m_pConsole->Session().Visitors().IsStale());
    const int failuresAtWarning = engine.Failures();
    for (int chat = 0; chat < 3; ++chat) {
      m_chats[chat]->EntryBox()->setPlainText(QString("typed while down %1").arg(chat));
      m_chats[chat]->SendChatLine();
    }
    // With the warning open the refresh, the polls and the lines go on failing.
    QTRY_VERIFY_WITH_TIMEOUT(engine.Failures() >= failuresAtWarning + 6, outageMs);
    for (int chat = 0; chat < 3; ++chat)
      QTRY_COMPARE_WITH_TIMEOUT(m_chats[chat]->EntryBox()->toPlainText(), QString("typed while down %1").arg(chat), outageMs);
    QCOMPARE(desktop.OpenWarnings(), 1);

    QTRY_VERIFY_WITH_TIMEOUT(!m_pConsole->Session().Refresh().IsConnectionAlert(), outageMs + 10 * kPeriodMs);
    qInfo("the table was current %lld ms after the service answered again (console period %d ms)",
          clock.elapsed() - outageMs, kPeriodMs);
    QTRY_COMPARE_WITH_TIMEOUT(desktop.OpenWarnings(), 0, 2 * kPeriodMs);
    QVERIFY(desktop.warnings.first().closedByProgram);
    QVERIFY(!m_pConsole->Session().Visitors().IsStale());
    for (int chat = 0; chat < 3; ++chat) {
      QVERIFY(m_chats[chat]->Session()->IsPolling());
      m_chats[chat]->SendChatLine();  // the line kept in the box, once more
      Say(chat, "back again");
    }
    for (int chat = 0; chat < 3; ++chat) {
      const QStringList expected{QString("V%1: said while down").arg(chat), QString("anna: typed while down %1").arg(chat),
                                 QString("V%1: back again").arg(chat)};
      QTRY_VERIFY_WITH_TIMEOUT(HasLines(chat, expected), 10 * kPeriodMs);
      for (const QString& line : expected) QCOMPARE(Transcript(chat).count(line), 1);
    }
    QCOMPARE(FailureBoxes(), 1);

    // A console that goes without a log-out takes its chat windows along.
    m_pSession->DestroyConsole();
    QTRY_VERIFY(m_chats[0].isNull() && m_chats[1].isNull() && m_chats[2].isNull());
  }

  // A colleague hands a chat over while the accept of it gets lost on the
  // way: the service offers it again, and the console accepts it again.
  void aTransferWhoseAcceptIsLostIsAcceptedAgain() {
    if (!StartConsoleWithChats(0)) return;
    const QString visitor = m_pService->Control("visitor/add", {{"name", "Tess"}});
    m_pService->Control("visitor/chat", {{"csesid", visitor}});
    QCOMPARE(m_pService->Login("ben", "ben").left(4), QString("true"));
    QVERIFY(m_pService->Get(QString("/cpn/w-adc.php?csesid=%1&ipaddr=&adminid=ben&sid=1001").arg(visitor)).startsWith("true"));
    m_pService->Control("fault", {{"kind", "lost"}, {"script", "w-adc.php"}, {"count", "2"}});
    QCOMPARE(m_pService->Get(QString("/cpn/w-ctransf.php?csesid=%1&adid=anna&sid=1001&adminid=ben&action=trans").arg(visitor)),
             QString("true"));
    QTRY_VERIFY_WITH_TIMEOUT(m_pSession->Controller().ChatWindows().Find(visitor) != nullptr, 20 * kPeriodMs);
    QTRY_VERIFY_WITH_TIMEOUT(m_pService->Control("visitor/show", {{"csesid", visitor}}).contains("anna has taken over"),
                             10 * kPeriodMs);
  }

  // Sleep and the network, as the system bus tells them. Asleep, nothing
  // that fails counts. The requests out when the machine slept hang on a
  // dead connection (here: held by the service for far longer than the
  // test): on waking, the table, the presence and the chat's poll go out
  // at once instead of waiting for them. A network that goes is said at
  // once; one that comes back is caught up with at once.
  void sleepAndTheNetworkOnTheSystemBus() {
    if (!m_bBus) QSKIP("no stand-in system bus (dbus-daemon)");
    if (!StartConsoleWithChats(1)) return;
    CSystemEvents machine;
    QVERIFY(machine.IsListening());
    m_pConsole->Session().Follow(machine);
    CChatManager& engine = m_pSession->Engine();

    m_bus.PrepareForSleep(true);
    QTRY_VERIFY(engine.IsSuspended());
    m_pService->Control("fault", {{"kind", "drop"}, {"for", "60000"}});
    QTRY_VERIFY_WITH_TIMEOUT(m_pConsole->Session().Refresh().IsConnectionAlert(), 10 * kPeriodMs);
    QCOMPARE(engine.Failures(), 0);
    m_pService->Control("fault", {{"kind", "delay"}, {"ms", "30000"}, {"for", "60000"}});
    QTRY_VERIFY(engine.RunningRequests() >= 2);  // the refresh and the poll, held
    m_pService->Control("fault", {{"kind", "none"}});  // those held stay held
    Say(0, "said while asleep");
    QSignalSpy staleMarks(&m_pConsole->Session(), &CConsoleSession::TableStale);
    QElapsedTimer woke;
    woke.start();
    m_bus.PrepareForSleep(false);
    QTRY_VERIFY(!engine.IsSuspended());
    QVERIFY(!staleMarks.isEmpty());  // marked stale until the catch-up's answer
    QTRY_VERIFY_WITH_TIMEOUT(HasLines(0, {"V0: said while asleep"}), 10 * kPeriodMs);
    QTRY_VERIFY_WITH_TIMEOUT(!m_pConsole->Session().Visitors().IsStale(), 10 * kPeriodMs);
    qInfo("after waking: the chat's line and a current table within %lld ms (held requests: 30000 ms)", woke.elapsed());

    m_pService->Control("fault", {{"kind", "drop"}, {"for", "60000"}});
    m_bus.NetworkState(20);  // disconnected
    QTRY_VERIFY_WITH_TIMEOUT(m_pConsole->Session().IsConnectionAlert(), 2 * kPeriodMs);
    QVERIFY(StatusLine(*m_pConsole)->text().startsWith("ALERT : Internet Connection is not available."));
    QVERIFY2(m_pSession->Desktop().trayTip.contains("No connection to the service"), qPrintable(m_pSession->Desktop().trayTip));
    m_pService->Control("fault", {{"kind", "none"}});
    m_bus.NetworkState(70);  // connected
    QTRY_VERIFY_WITH_TIMEOUT(!m_pConsole->Session().IsConnectionAlert(), 10 * kPeriodMs);
    QVERIFY(!m_pSession->Desktop().trayTip.contains("No connection"));
    QCOMPARE(Transcript(0).count("V0: said while asleep"), 1);
  }

  // Every reply takes six chat periods: the windows wait for their own
  // requests instead of piling them up, and keep answering the operator.
  void everyReplySlowerThanTheChatPeriod() {
    if (!StartConsoleWithChats(2)) return;
    CChatManager& engine = m_pSession->Engine();
    QTRY_COMPARE(engine.RunningRequests(), 0);
    const int threadsBefore = ThreadCount();
    const int slowMs = 12 * kPeriodMs;
    m_pService->Control("fault", {{"kind", "delay"}, {"ms", QString::number(6 * kPeriodMs)}, {"for", QString::number(slowMs)}});
    int maxRequests = 0, maxThreads = 0;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
      maxRequests = std::max(maxRequests, engine.RunningRequests());
      maxThreads = std::max(maxThreads, ThreadCount());
    });
    watch.start(20);

    // Meanwhile the operator types and sends; the event loop keeps turning.
    QTRY_VERIFY(engine.RunningRequests() >= 3);
    m_chats[0]->EntryBox()->setPlainText("typed while slow");
    m_chats[0]->SendChatLine();
    QCOMPARE(m_chats[0]->EntryBox()->toPlainText(), QString());
    bool bTurned = false;
    QTimer::singleShot(0, this, [&] { bTurned = true; });
    QTRY_VERIFY_WITH_TIMEOUT(bTurned, 2 * kPeriodMs);
    QTRY_VERIFY_WITH_TIMEOUT(Transcript(0).contains("anna: typed while slow"), slowMs + 20 * kPeriodMs);
    watch.stop();

    // Each chat window's poll, the refresh, one presence announcement, the
    // line sent; each counted twice, since a worker that has delivered may
    // still be leaving when its window's next request starts. Requests
    // that piled up would grow with the delay: six periods, six each.
    const int bound = 2 * (2 + 1 + 1 + 1);
    QVERIFY2(maxRequests <= bound, qPrintable(QString("%1 requests at once").arg(maxRequests)));
    QVERIFY2(maxThreads - threadsBefore <= bound, qPrintable(QString("%1 more threads").arg(maxThreads - threadsBefore)));
    QCOMPARE(Transcript(0).count("anna: typed while slow"), 1);
  }

  // Garbage, nothing, half a reply or 3 MB, to every request for a while:
  // nothing of it is ever shown, and the console is whole again after.
  void badRepliesAreNeverShown_data() {
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"garbage", "empty", "truncated", "huge"}) QTest::newRow(kind) << QString(kind);
  }
  void badRepliesAreNeverShown() {
    QFETCH(QString, kind);
    if (!StartConsoleWithChats(1)) return;
    Say(0, "before");
    QTRY_VERIFY(Transcript(0).contains("V0: before"));
    const QString newcomer = m_pService->Control("visitor/add", {{"name", "Nia"}});
    m_pService->Control("visitor/chat", {{"csesid", newcomer}});
    const QStringList known{m_visitors[0], newcomer};
    QTRY_VERIFY_WITH_TIMEOUT(m_pConsole->Session().Visitors().Visitors().size() == 2, 10 * kPeriodMs);

    QStringList shownUnknown;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
      for (const CSiteVisitor& v : m_pConsole->Session().Visitors().Visitors())
        if (!known.contains(v.m_line.sessionId)) shownUnknown.append(v.m_line.sessionId);
      const QString name = Details(*m_pConsole)->Details().fields[VisitorDetails::VisitorName];
      if (!name.isEmpty() && name != "V0" && name != "Nia") shownUnknown.append(name);
    });
    watch.start(20);
    const int faultMs = 8 * kPeriodMs;
    m_pService->Control("fault", {{"kind", kind}, {"for", QString::number(faultMs)}});
    // Every kind of request goes out while the replies are spoiled.
    m_pSession->Controller().VisitorActions().AcceptChat(newcomer);
    m_chats[0]->EntryBox()->setPlainText("sent meanwhile");
    m_chats[0]->SendChatLine();
    Say(0, "said meanwhile");
    Table(*m_pConsole)->selectRow(0);
    QTest::mouseClick(Table(*m_pConsole)->viewport(), Qt::LeftButton, {},
                      Table(*m_pConsole)->visualRect(Table(*m_pConsole)->model()->index(0, 0)).center());
    QTRY_VERIFY_WITH_TIMEOUT(HasLines(0, {"anna: sent meanwhile", "V0: said meanwhile"}), faultMs + 20 * kPeriodMs);
    QTRY_VERIFY_WITH_TIMEOUT(TableShowsEveryChat(), 10 * kPeriodMs);
    watch.stop();

    QCOMPARE(shownUnknown, QStringList());
    const QString text = Transcript(0);
    for (const char* line : {"V0: before", "anna: sent meanwhile", "V0: said meanwhile"}) QCOMPARE(text.count(line), 1);
    QVERIFY(!text.contains(QChar::ReplacementCharacter) && !text.contains("xxxxxxxx") && !text.contains("<"));
    for (const auto& box : m_pSession->Desktop().messageBoxes)
      QVERIFY2(!box.text.contains(QChar::ReplacementCharacter) && !box.text.contains("xxxxxxxx"), qPrintable(box.text));
    QVERIFY(m_chats[0]->Session()->IsPolling());
  }

  // The operator logs out while every request hangs: the console ends
  // within its wait for the log-out request, and the engine, destroyed,
  // leaves no worker behind however long the requests would have hung.
  void logOutWhileRequestsHang() {
    const int threadsBefore = ThreadCount();
    if (!StartConsoleWithChats(2, 3000, 20000)) return;
    CChatManager& engine = m_pSession->Engine();
    const int hangMs = 15000;
    m_pService->Control("fault", {{"kind", "delay"}, {"ms", QString::number(hangMs)}, {"for", "60000"}});
    QTRY_VERIFY(engine.RunningRequests() >= 3);

    QElapsedTimer clock;
    clock.start();
    m_pConsole->LogOut(true);
    QVERIFY(m_pConsole->Session().IsEnded());
    QVERIFY2(clock.elapsed() < 5000 + 2000, qPrintable(QString("the log-out took %1 ms").arg(clock.elapsed())));
    QTRY_VERIFY(m_chats[0].isNull() && m_chats[1].isNull());

    clock.restart();
    m_pSession->DestroyConsole();
    const int hanging = engine.RunningRequests();
    QVERIFY(hanging > 0);
    m_pSession.reset();  // the engine, then the service
    QVERIFY2(clock.elapsed() < 4000, qPrintable(QString("%1 hanging requests held the end for %2 ms").arg(hanging).arg(clock.elapsed())));
    QTRY_VERIFY_WITH_TIMEOUT(ThreadCount() <= threadsBefore, 2000);
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TestOutages test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_Outages.moc"
