// The console against a service that goes away, answers slowly or answers
// nonsense: a console with open chats, short periods, and the service's
// fault injection.
#include "ChatDlg.h"
#include "ChatRichEd.h"
#include "ChatWindows.h"
#include "MainDlg.h"
#include "OperatorList.h"
#include "Presence.h"
#include "RefreshCycle.h"
#include "MySpellEditCtrl.h"
#include "SessionFixture.h"
#include "VisitorActions.h"
#include "VisitorDtlsDlg.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

constexpr int kPeriodMs = 300;  // console and chat periods alike

int ThreadCount() { return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size()); }

}  // namespace

class TestOutages : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CSessionFixture> m_pSession;
  CServiceFixture* m_pService = nullptr;
  CMainDlg* m_pConsole = nullptr;
  QStringList m_visitors;  // one per chat, in the order of m_chats
  QList<QPointer<CChatDlg>> m_chats;

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
      m_pConsole->VisitorActions().AcceptChat(visitor);
      QTRY_VERIFY(m_pConsole->ChatWindows().Find(visitor) != nullptr);
      m_visitors.append(visitor);
      m_chats.append(qobject_cast<CChatDlg*>(m_pConsole->ChatWindows().Find(visitor)));
    }
    QTRY_VERIFY_WITH_TIMEOUT(TableShowsEveryChat(), 10 * kPeriodMs);
  }
  bool TableShowsEveryChat() const {
    QStringList ids;
    for (const CSiteVisitor& v : m_pConsole->Visitors()) ids.append(v.m_line.sessionId);
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
  void cleanup() {
    m_chats.clear();
    m_visitors.clear();
    m_pSession.reset();
  }

  // Every request fails for longer than 13 console periods, then the
  // service is back: one warning, the alert, and all comes back by itself.
  void anOutageLongerThanThirteenPeriods() {
    if (!StartConsoleWithChats(2)) return;
    const int outageMs = 15 * kPeriodMs;
    m_pService->Control("fault", {{"kind", "drop"}, {"for", QString::number(outageMs)}});
    Say(0, "one while down");
    Say(1, "one while down");
    QTRY_VERIFY_WITH_TIMEOUT(m_pConsole->Session().Refresh().IsConnectionAlert(), outageMs);
    Say(0, "two while down");
    QTRY_COMPARE_WITH_TIMEOUT(FailureBoxes(), 1, outageMs);
    Say(1, "two while down");
    QTRY_VERIFY_WITH_TIMEOUT(!m_pConsole->Session().Refresh().IsConnectionAlert(), outageMs + 10 * kPeriodMs);
    Say(0, "back again");

    const QList<QStringList> lines{{"one while down", "two while down", "back again"},
                                   {"one while down", "two while down"}};
    for (int chat = 0; chat < 2; ++chat) {
      QStringList expected;
      for (const QString& line : lines[chat]) expected.append(QString("V%1: %2").arg(chat).arg(line));
      QTRY_VERIFY_WITH_TIMEOUT(HasLines(chat, expected), 10 * kPeriodMs);
      for (const QString& line : expected) QCOMPARE(Transcript(chat).count(line), 1);
      QVERIFY(m_chats[chat]->IsPolling());
    }
    QTRY_VERIFY_WITH_TIMEOUT(TableShowsEveryChat(), 10 * kPeriodMs);
    QCOMPARE(FailureBoxes(), 1);

    // A console that goes without a log-out takes its chat windows along.
    m_pSession->DestroyConsole();
    QTRY_VERIFY(m_chats[0].isNull() && m_chats[1].isNull());
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
    QTRY_VERIFY_WITH_TIMEOUT(m_pConsole->Visitors().size() == 2, 10 * kPeriodMs);

    QStringList shownUnknown;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
      for (const CSiteVisitor& v : m_pConsole->Visitors())
        if (!known.contains(v.m_line.sessionId)) shownUnknown.append(v.m_line.sessionId);
      const QString name = m_pConsole->Controls().details->Details().fields[VisitorDetails::VisitorName];
      if (!name.isEmpty() && name != "V0" && name != "Nia") shownUnknown.append(name);
    });
    watch.start(20);
    const int faultMs = 8 * kPeriodMs;
    m_pService->Control("fault", {{"kind", kind}, {"for", QString::number(faultMs)}});
    // Every kind of request goes out while the replies are spoiled.
    m_pConsole->VisitorActions().AcceptChat(newcomer);
    m_chats[0]->EntryBox()->setPlainText("sent meanwhile");
    m_chats[0]->SendChatLine();
    Say(0, "said meanwhile");
    m_pConsole->Controls().table->selectRow(0);
    QTest::mouseClick(m_pConsole->Controls().table->viewport(), Qt::LeftButton, {},
                      m_pConsole->Controls().table->visualRect(m_pConsole->Controls().table->model()->index(0, 0)).center());
    QTRY_VERIFY_WITH_TIMEOUT(HasLines(0, {"anna: sent meanwhile", "V0: said meanwhile"}), faultMs + 20 * kPeriodMs);
    QTRY_VERIFY_WITH_TIMEOUT(TableShowsEveryChat(), 10 * kPeriodMs);
    watch.stop();

    QCOMPARE(shownUnknown, QStringList());
    const QString text = Transcript(0);
    for (const char* line : {"V0: before", "anna: sent meanwhile", "V0: said meanwhile"}) QCOMPARE(text.count(line), 1);
    QVERIFY(!text.contains(QChar::ReplacementCharacter) && !text.contains("xxxxxxxx") && !text.contains("<"));
    for (const auto& box : m_pSession->Desktop().messageBoxes)
      QVERIFY2(!box.text.contains(QChar::ReplacementCharacter) && !box.text.contains("xxxxxxxx"), qPrintable(box.text));
    QVERIFY(m_chats[0]->IsPolling());
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
