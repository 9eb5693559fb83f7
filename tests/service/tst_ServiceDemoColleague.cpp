// The demo's simulated colleague ben, driven second by second on the
// service's own clock while anna's console talks to the service over HTTP.
#include "DemoSimulation.h"
#include "Separators.h"
#include "ServiceFixture.h"
#include "ServiceState.h"
#include "SplitReply.h"

#include <QRegularExpression>
#include <QTest>

#include <functional>

class TestServiceDemoColleague : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CServiceFixture> m_pService;
  std::unique_ptr<CDemoSimulation> m_pDemo;
  CServiceFixture& S() { return *m_pService; }
  CServiceState& State() { return S().Server().State(); }

  void Tick() {
    State().AdvanceClock(1000);
    std::lock_guard<std::mutex> guard(State().lock);
    m_pDemo->Step(State().sites.first());
  }
  qint64 Now() { return State().Now(); }
  QStringList Refresh(const QString& who) {
    return SplitReply(S().Get(QString("/cpn/wn-allonlineu.php?nadminid=%1&nsid=1001&nvar=Y").arg(who)), kSepBlock);
  }
  // ben's entry in a refresh reply: name, chat id, chat state, presence.
  static QStringList Ben(const QStringList& blocks) {
    for (const QString& e : SplitReply(blocks.value(5), kSepField))
      if (SplitReply(e, kSepSubField).first() == "ben") return SplitReply(e, kSepSubField);
    return {};
  }
  // Runs the demo, anna's console refreshing every five seconds, until done
  // holds for a refresh reply or the time is up.
  bool RunUntil(int seconds, const std::function<bool(const QStringList&)>& done) {
    for (int s = 1; s <= seconds; ++s) {
      Tick();
      if (s % 5 == 0 && done(Refresh("anna"))) return true;
    }
    return false;
  }

 private slots:
  void init() {
    m_pService = std::make_unique<CServiceFixture>();
    QVERIFY(S().IsRunning());
    State().UseManualClock(1000);
    State().random.seed(7);
    m_pDemo = std::make_unique<CDemoSimulation>(State(), 7);
    QVERIFY(S().Login("anna", "anna").startsWith("true"));
  }
  void cleanup() {
    m_pDemo.reset();
    m_pService.reset();
  }

  // Two hours in which anna answers nothing: he comes and goes, and neither
  // his chat requests nor his messages flood her.
  void comesAndGoesAtAModestPace() {
    QString presence = "Offline";
    QStringList faults;
    int logins = 0, logouts = 0, messages = 0;
    QList<qint64> asked, messageTimes;
    QString asking;
    qint64 askedAt = 0;
    RunUntil(2 * 3600, [&](const QStringList& blocks) {
      const QStringList ben = Ben(blocks);
      if (ben.size() != 4) return false;
      if (ben[3] != presence) (ben[3] == "Online" ? logins : logouts) += 1;
      presence = ben[3];
      if (ben[2] == "op_chat" && ben[1] != asking) {
        asking = ben[1];
        askedAt = Now();
        asked.append(askedAt);
      } else if (ben[2] != "op_chat" && !asking.isEmpty()) {
        // Unanswered, he takes the request back after two minutes.
        if (Now() - askedAt > 130000) faults << "request kept: " + asking;
        asking.clear();
      }
      if (blocks[4] == "message") {
        const QString shown = S().Get("/cpn/w-admsg.php?action=dsp&snd=p&adminid=anna&sid=1001");
        if (!shown.startsWith("ben<ln>") || !shown.endsWith("<blk>sound3")) faults << shown;
        messages += int(shown.count("ben<ln>"));
        messageTimes.append(Now());
      }
      return false;
    });
    QCOMPARE(faults, QStringList());
    QVERIFY2(logins >= 3 && logouts >= 3, qPrintable(QString("%1 %2").arg(logins).arg(logouts)));
    QVERIFY(asked.size() >= 3 && messages >= 3);
    QCOMPARE(messages, messageTimes.size());  // one at a time
    for (const auto& [times, gap] : {std::pair(asked, 175000), std::pair(messageTimes, 120000)})
      for (qsizetype i = 1; i < times.size(); ++i) QVERIFY(times[i] - times[i - 1] >= gap);
  }

  void chatsAndClosesTheChat_data() {
    QTest::addColumn<bool>("heAsks");
    QTest::newRow("he asks anna") << true;
    QTest::newRow("anna asks him") << false;
  }
  void chatsAndClosesTheChat() {
    QFETCH(bool, heAsks);
    QString id;
    if (heAsks) {
      QVERIFY(RunUntil(1800, [&](const QStringList& b) { return Ben(b).value(2) == "op_chat" && !(id = Ben(b)[1]).isEmpty(); }));
      QCOMPARE(S().Get("/cpn/wn-opacpt_chts.php?csesid=" + id), "ben" + kSepField + id);
    } else {
      QVERIFY(RunUntil(600, [&](const QStringList& b) { return Ben(b).value(3) == "Online"; }));
      const QStringList opened = SplitReply(S().Get("/cpn/wn-opacpt_chts.php?op2=ben&adminid=anna&init=Y&sid=1001"), kSepField);
      QCOMPARE(opened.value(0), QString("ben"));
      id = opened.value(1);
      QVERIFY(RunUntil(10, [&](const QStringList& b) { return Ben(b).value(2) == "Chatting"; }));
    }
    // anna's window polls every three seconds and answers each of his lines.
    QString lastNum = "1";
    QStringList hisLines;
    bool typingSeen = false, closed = false;
    for (int s = 1; s <= 600 && !closed; ++s) {
      Tick();
      if (s % 3) continue;
      const QStringList p = SplitReply(
          S().Get(QString("/cpn/wn-opachats.php?csesid=%1&ipadd=ben&sid=1001&lastnum=%2").arg(id, lastNum)), kSepChatBlock);
      QCOMPARE(p.size(), 4);
      closed = p[0] == "Notice: Chat Closed by Operator." && p[1].isEmpty();
      typingSeen = typingSeen || S().Get(QString("/cpn/wn-op_type.php?csesid=%1&stat=&sid=1001").arg(id)) == "ben";
      const QStringList his = closed ? QStringList() : SplitReply(p[0], kSepChatLine).filter(QRegularExpression("^ben: "));
      QCOMPARE(p[3], his.isEmpty() ? QString() : QString("sound4"));  // not for her own lines
      if (closed || his.isEmpty()) continue;
      lastNum = p[1];
      QVERIFY2(typingSeen, "he types before each line");
      typingSeen = false;
      hisLines << his;
      QVERIFY(S().Get(QString("/cpn/wn-op_messub.php?say=ok&csesid=%1&adminid=anna&sid=1001").arg(id)) == "true");
    }
    QVERIFY(closed);
    QCOMPARE(hisLines.size(), 4);
    QVERIFY(hisLines.first().contains("anna") && hisLines.last().contains("anna"));  // greets her, says goodbye
    QCOMPARE(Ben(Refresh("anna")).value(2), QString("Initiate"));  // still online, free for another chat
  }

  // A console logged in as ben has him: the demo makes way and leaves him
  // alone, takes him back once the console has logged out, and an
  // administrator's forced log-out takes him offline.
  void makesWayForAConsole() {
    QVERIFY(RunUntil(1800, [&](const QStringList& b) { return Ben(b).value(2) == "op_chat"; }));
    QVERIFY(S().Login("ben", "ben").startsWith("true"));
    QCOMPARE(Ben(Refresh("anna")).mid(2), QStringList({"Initiate", "Online"}));  // his request went with him
    S().Get("/cpn/w-admsg.php?action=dsp&snd=p&adminid=anna&sid=1001");
    QVERIFY(!RunUntil(1800, [&](const QStringList& b) {
      const bool loggedOut = Refresh("ben").size() != 7;  // his console keeps refreshing
      return loggedOut || Ben(b).mid(2) != QStringList({"Initiate", "Online"}) || b[4] == "message";
    }));

    QCOMPARE(S().Get("/cpn/w-adminout.php?adminid=ben&sid=1001"), QString("true"));
    QVERIFY(RunUntil(300, [&](const QStringList& b) { return Ben(b).value(3) == "Online"; }));
    QCOMPARE(S().Get("/cpn/wn-opout.php?id2out=ben&sid=1001"), QString("true"));
    Tick();
    QCOMPARE(Ben(Refresh("anna")).value(3), QString("Offline"));
  }
};

QTEST_GUILESS_MAIN(TestServiceDemoColleague)
#include "tst_ServiceDemoColleague.moc"
