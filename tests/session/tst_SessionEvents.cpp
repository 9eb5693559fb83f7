// The logged-in session with no console window: what a sequence of refresh
// replies means, presence, the open chats and the end of the session.
#include "ChatWindows.h"
#include "ConsoleSession.h"
#include "Presence.h"
#include "RefreshCycle.h"
#include "OperatorChatSession.h"
#include "ReplyBuilders.h"
#include "SessionFixture.h"
#include "StandInChat.h"
#include "VisitorChatSession.h"
#include "VisitorTableModel.h"

#include <httplib.h>

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

class TestSessionEvents : public QObject {
  Q_OBJECT

  std::unique_ptr<CSessionFixture> m_pFixture;
  std::unique_ptr<CConsoleSession> m_pSession;
  QStringList m_events;

  CConsoleSession& S() { return *m_pSession; }
  int Sent(const char* what) { return int(m_pFixture->Server().Targets().filter(what).size()); }
  void Apply(const QString& reply) { S().Refresh().Apply(reply); }
  CChatSession* VisitorChat(const char* id) {
    return new CVisitorChatSession(m_pFixture->Engine(), &S(), "10.0.0.9", id, "", "", true);
  }
  CChatSession* OperatorChat(const char* id) { return new COperatorChatSession(m_pFixture->Engine(), "ben", id); }

 private slots:
  void init() {
    m_pFixture = std::make_unique<CSessionFixture>();
    m_pFixture->UseScriptedServer([](const httplib::Request& req) {
      if (req.get_param_value("action") == "lgon") return CScriptedServer::Reply{200, "online"};
      if (req.get_param_value("action") == "lgof") return CScriptedServer::Reply{200, "offline"};
      return CScriptedServer::Reply{200, ""};
    });
    m_pFixture->LogIn();
    m_pSession = std::make_unique<CConsoleSession>(m_pFixture->Engine());
    m_events.clear();
    CConsoleSession* s = m_pSession.get();
    connect(s, &CConsoleSession::ChatRequested, this, [this](const VisitorLine& v) { m_events << "request " + v.sessionId; });
    connect(s, &CConsoleSession::OperatorAsksForChat, this,
            [this](const OperatorEntry& e) { m_events << "operator " + e.name; });
    connect(s, &CConsoleSession::ChatTakenElsewhere, this, [this](const QString& id) { m_events << "taken " + id; });
    connect(s, &CConsoleSession::TransferOffered, this, [this](const QString& id) { m_events << "transfer " + id; });
    connect(s, &CConsoleSession::MessagesWaiting, this, [this] { m_events << "messages"; });
    connect(s, &CConsoleSession::VisitorsArrived, this, [this](int n) { m_events << QString("arrived %1").arg(n); });
  }
  void cleanup() {
    m_pSession.reset();
    m_pFixture.reset();
  }

  // Each refresh of the sequence, and the events it gives: a request once
  // while it waits, gone once when it goes without opening here, nothing
  // from a failed refresh, one offer per transfer.
  void aRefreshSequenceGivesEachEventOnce() {
    const QString asking = "ben<subfld>oc1<subfld>op_chat<subfld>Online";
    const struct {
      QString reply;
      QStringList events;
    } steps[] = {
        {RefreshReplyText({{"a", "Chat Request"}, {"b", "In Site", "0:00:03"}}, "2", "sound1", asking, "chat_trans<fld>t1"),
         {"request a", "operator ben", "arrived 1", "transfer t1"}},
        {RefreshReplyText({{"a", "Chat Request"}, {"b"}}, "2", "sound1", asking, "chat_trans<fld>t1"), {}},
        {"half a reply<blk>", {}},
        {RefreshReplyText({{"a", "Chat Request"}, {"c", "Chat Request"}}, "2", "", asking, "message"),
         {"request c", "messages"}},
        {RefreshReplyText({{"b"}}, "1", "", "", "message"), {"taken a", "taken c", "taken oc1", "messages"}},
        {RefreshReplyText({{"d", "Chat Request"}}, "1", "", "", "chat_trans<fld>t1"), {"request d", "transfer t1"}},
    };
    for (const auto& step : steps) {
      m_events.clear();
      Apply(step.reply);
      m_events.sort();
      QStringList expected = step.events;
      expected.sort();
      QCOMPARE(m_events, expected);
    }
    // A request whose chat opened here is not taken elsewhere.
    S().Chats().Add(VisitorChat("d"), this);
    m_events.clear();
    Apply(RefreshReplyText({{"b"}}));
    QCOMPARE(m_events, QStringList());
  }

  // Announced after every refresh, one at a time, unless the operator chose
  // Offline; only his choice changes that.
  void presenceIsAnnouncedAfterEachRefreshUnlessOffline() {
    QSignalSpy confirmed(&S().Presence(), &CPresence::Confirmed);
    for (int i = 1; i <= 3; ++i) {
      Apply(RefreshReplyText({{"a"}}));
      QTRY_COMPARE(Sent("action=lgon"), i);
      QTRY_COMPARE(confirmed.size(), i);
    }
    QVERIFY(S().Presence().IsOnline());
    S().Presence().ChooseOffline();
    QTRY_VERIFY(!S().Presence().IsOnline());
    Apply(RefreshReplyText({{"a"}}));
    Apply(RefreshReplyText({{"a"}}));
    QTRY_COMPARE(Sent("action=lgof"), 1);
    QTest::qWait(200);
    QCOMPARE(Sent("action=lgon"), 3);
    QCOMPARE(confirmed.size(), 3);  // the buttons keep the operator's choice
    S().Presence().ChooseOnline();
    QTRY_COMPARE(Sent("action=lgon"), 4);
  }

  // An "online" answered after the operator chose Offline is old news.
  void aLateOnlineDoesNotUndoOffline() {
    m_pFixture->Server().SetScript([](const httplib::Request& req) {
      const bool online = req.get_param_value("action") == "lgon";
      return CScriptedServer::Reply{200, online ? "online" : "offline", online ? 300 : 0};
    });
    S().Presence().Announce();
    S().Presence().ChooseOffline();
    QTRY_COMPARE(m_pFixture->Engine().RunningRequests(), 0);
    QVERIFY(!S().Presence().IsOnline());
  }

  // The end tells the service once, closes the list of chats and their
  // windows, and no later reply reaches the models.
  void theEndClosesTheChatsOnce() {
    CChatWindows windows(S().Chats(), CChatList::Kind::Visitor);
    QPointer<QWidget> window =
        windows.Open("c1", [this] { return StandInChat(m_pFixture->Engine(), "c1", ChatKind::Visitor); });
    QPointer<CChatSession> operatorChat = OperatorChat("oc1");
    S().Chats().Add(operatorChat, this);
    QSignalSpy ended(&S(), &CConsoleSession::SessionEnded);
    S().End(false, false);
    S().End(false, false);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(Sent("w-adminout.php"), 1);
    QCOMPARE(S().Chats().Count(), 0);
    QCOMPARE(windows.Count(), 0);
    QTRY_VERIFY(window.isNull() && operatorChat.isNull());
    Apply(RefreshReplyText({{"a", "Chat Request"}}));
    QCOMPARE(S().Visitors().rowCount(), 0);
    QVERIFY(m_events.isEmpty());
  }

  // A view change is said once, whoever asks for it; asking for the view
  // shown says nothing.
  void theViewChangesOnce() {
    QSignalSpy changed(&S(), &CConsoleSession::ViewChanged);
    for (CConsoleSession::View view : {CConsoleSession::View::Operators, CConsoleSession::View::Operators,
                                       CConsoleSession::View::ChatsOnly, CConsoleSession::View::AllVisitors})
      S().SetView(view);
    QCOMPARE(changed.size(), 3);
    QCOMPARE(changed[1][0].value<CConsoleSession::View>(), CConsoleSession::View::ChatsOnly);
  }

  // The one list of open chats through opening, reopening, closing and the
  // end: in the order they opened, each once, a reopened chat at the end
  // with its new session and view, which its old view's going leaves
  // listed. A chat taken out closes and goes; the end closes them all.
  void theListOfChats() {
    CChatList& chats = S().Chats();
    QObject zoe, ben, yuri, zoeAgain;
    QPointer<CChatSession> first = VisitorChat("s1"), operatorChat = OperatorChat("o1"), again = VisitorChat("s1");
    chats.Add(first, &zoe);
    chats.Add(operatorChat, &ben);
    chats.Add(VisitorChat("s2"), &yuri);
    QCOMPARE(chats.Views(), (QList<QObject*>{&zoe, &ben, &yuri}));
    QCOMPARE(chats.Ids(CChatList::Kind::Visitor), (QStringList{"s1", "s2"}));
    QCOMPARE(chats.View("o1", CChatList::Kind::Operator), &ben);
    QCOMPARE(chats.View("o1", CChatList::Kind::Visitor), nullptr);
    chats.Add(again, &zoeAgain);  // reopened
    QCOMPARE(chats.Views(), (QList<QObject*>{&ben, &yuri, &zoeAgain}));
    QCOMPARE(chats.Session("s1"), again.data());
    QVERIFY(first->IsClosed());
    chats.Remove("s1", &zoe);  // the old view going
    QCOMPARE(chats.Count(), 3);
    chats.Remove("o1", &ben);
    QCOMPARE(chats.Ids(CChatList::Kind::Operator), QStringList());
    QTRY_VERIFY(first.isNull() && operatorChat.isNull());
    QSignalSpy closing(&chats, &CChatList::CloseRequested);
    S().End(false, false);
    QCOMPARE(closing.size(), 1);
    QCOMPARE(chats.Count(), 0);
    QVERIFY(again->IsClosed());
    QTRY_VERIFY(again.isNull());
  }

  // A chat reopened while its old window waits for deletion: the old
  // window going must not take the new one out of the list.
  void aReopenedChatStaysRegisteredWhenItsOldWindowGoes() {
    CChatWindows windows(S().Chats(), CChatList::Kind::Visitor);
    const auto standIn = [this] { return StandInChat(m_pFixture->Engine(), "c1", ChatKind::Visitor); };
    QWidget* old = windows.Open("c1", standIn);
    old->hide();  // closing: hidden now, deleted later
    QWidget* reopened = windows.Open("c1", standIn);
    QVERIFY(reopened != old);
    delete old;
    QCOMPARE(windows.Find("c1"), reopened);
    QVERIFY(S().Chats().Contains("c1"));
    delete reopened;
    QVERIFY(!S().Chats().Contains("c1"));
  }
};

QTEST_MAIN(TestSessionEvents)
#include "tst_SessionEvents.moc"
