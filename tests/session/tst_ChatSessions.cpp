// Both kinds of chat session with no window at all, against talvero-service
// over real HTTP: lines both ways, each once and kept; typing; a refused
// line handed back; the ends and the transfer, each said once.
#include "AcceptReply.h"
#include "ChatManager.h"
#include "OperatorChatReply.h"
#include "OperatorChatSession.h"
#include "SessionFixture.h"
#include "VisitorChatSession.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Every signal of a session, counted, and the lines in the order they came.
struct Heard {
  explicit Heard(CChatSession& chat)
      : lines(&chat, &CChatSession::LinesArrived),
        typing(&chat, &CChatSession::TypingChanged),
        ended(&chat, &CChatSession::Ended),
        refused(&chat, &CChatSession::LineRefused),
        m_chat(chat) {}
  // How often a line of this text is kept; it must never be twice.
  int Kept(const QString& text) const {
    int n = 0;
    for (const TranscriptLine& line : m_chat.Lines()) n += line.text == text ? 1 : 0;
    return n;
  }
  TranscriptLine::Speaker SpeakerOf(const QString& text) const {
    for (const TranscriptLine& line : m_chat.Lines())
      if (line.text == text) return line.speaker;
    return TranscriptLine::Speaker::Notice;
  }
  QSignalSpy lines, typing, ended, refused;

 private:
  CChatSession& m_chat;
};

}  // namespace

class TestChatSessions : public QObject {
  Q_OBJECT

  std::unique_ptr<CSessionFixture> m_pAnna, m_pBen;
  CServiceFixture* m_pService = nullptr;

  CChatManager& Anna() { return m_pAnna->Engine(); }
  QString Control(const QString& command, const QMap<QString, QString>& query) {
    return m_pService->Control(command, query);
  }
  // A visitor asks for a chat and Anna takes it: the chat's session, polling.
  std::unique_ptr<CVisitorChatSession> AcceptVisitor(const QString& name) {
    const QString visitor = Control("visitor/add", {{"name", name}});
    Control("visitor/chat", {{"csesid", visitor}});
    QString reply;
    Anna().RequestSync(Anna().Catalogue().Accept(visitor, QString()), reply);
    const AcceptReply accepted = AcceptReply::Parse(reply);
    if (!accepted.accepted) return nullptr;
    auto chat = std::make_unique<CVisitorChatSession>(Anna(), nullptr, QString(), accepted.chatId,
                                                      accepted.visitorName, accepted.visitorEmail, true);
    chat->Start();
    return chat;
  }

 private slots:
  void init() {
    m_pAnna = std::make_unique<CSessionFixture>();
    CServiceConfig config = CServiceConfig::Demo();
    config.sites[0].chatPeriod = 1;
    m_pService = &m_pAnna->UseService(config);
    QVERIFY(m_pService->Login("anna", "anna").startsWith("true"));
    m_pAnna->LogIn();
    m_pBen = std::make_unique<CSessionFixture>();
    m_pBen->Engine().SetDefaultHost(m_pService->Host());
    QVERIFY(m_pService->Login("ben", "ben").startsWith("true"));
    m_pBen->LogIn({"ben"});
    for (CChatManager* engine : {&Anna(), &m_pBen->Engine()})
      engine->Session().chatPeriodMs = engine->Session().operChatPeriodMs = 200;
  }
  void cleanup() {
    m_pBen.reset();
    m_pAnna.reset();
  }

  void aVisitorChat() {
    const auto chat = AcceptVisitor("Zoe");
    QVERIFY(chat);
    const Heard heard(*chat);
    Control("visitor/typing", {{"csesid", chat->Id()}, {"on", "1"}});
    QTRY_VERIFY(!heard.typing.isEmpty());
    QCOMPARE(heard.typing[0][0].toString(), QString("Visitor"));
    Control("visitor/say", {{"csesid", chat->Id()}, {"text", "is the bag in stock?"}});
    QTRY_COMPARE(heard.Kept("Zoe: is the bag in stock?"), 1);
    QCOMPARE(heard.SpeakerOf("Zoe: is the bag in stock?"), TranscriptLine::Speaker::Other);
    QVERIFY(chat->Send("it is"));
    QVERIFY(!chat->Send("   "));
    QTRY_COMPARE(heard.Kept("anna: it is"), 1);
    QCOMPARE(heard.SpeakerOf("anna: it is"), TranscriptLine::Speaker::Own);
    // The service's failure: the line comes back, and a notice says so once.
    Control("fault", {{"kind", "drop"}, {"script", "w-amessub.php"}, {"count", "2"}});
    QVERIFY(chat->Send("one") && chat->Send("two"));
    QTRY_COMPARE(heard.refused.size(), 2);
    QCOMPARE(heard.refused[0][0].toString() + heard.refused[1][0].toString() == "onetwo" ||
                 heard.refused[0][0].toString() + heard.refused[1][0].toString() == "twoone",
             true);
    int notices = 0;
    for (const TranscriptLine& line : chat->Lines()) notices += line.text.contains("did not confirm your line");
    QCOMPARE(notices, 1);

    // Lines are kept once each, however many polls pass.
    QSignalSpy ticks(chat.get(), &CChatSession::Ticked);
    QTRY_VERIFY(ticks.size() >= 3 && !chat->IsPollOut());
    QCOMPARE(heard.Kept("Zoe: is the bag in stock?"), 1);
    QCOMPARE(heard.Kept("anna: it is"), 1);
    for (qsizetype i = 1; i < heard.typing.size(); ++i) QVERIFY(heard.typing[i] != heard.typing[i - 1]);

    Control("visitor/leave", {{"csesid", chat->Id()}});
    QTRY_COMPARE(heard.ended.size(), 1);
    QCOMPARE(heard.ended[0][0].value<CChatSession::EndReason>(), CChatSession::EndReason::VisitorLeft);
    QVERIFY(!chat->IsLive() && !chat->IsPolling() && !chat->Send("still there?"));
    QVERIFY(chat->Lines().last().text.startsWith("Notice: Chat Closed by User."));
  }

  // Ended by Close Chat, or handed to Ben: said once, and nothing more polled.
  void endingAndTransfer_data() {
    QTest::addColumn<bool>("transfer");
    QTest::newRow("Close Chat") << false;
    QTest::newRow("to ben") << true;
  }
  void endingAndTransfer() {
    QFETCH(bool, transfer);
    const auto chat = AcceptVisitor("Yuri");
    QVERIFY(chat);
    const Heard heard(*chat);
    transfer ? chat->Transfer("ben") : chat->End();
    QTRY_COMPARE(heard.ended.size(), 1);
    QCOMPARE(heard.ended[0][0].value<CChatSession::EndReason>(),
             transfer ? CChatSession::EndReason::Transferred : CChatSession::EndReason::EndedByOperator);
    QCOMPARE(heard.ended[0][1].toString(), transfer ? QString("ben") : QString());
    QVERIFY(!chat->IsPolling());
    chat->End();
    chat->Transfer("ben");
    QTRY_COMPARE(Anna().RunningRequests(), 0);
    QCOMPARE(heard.ended.size(), 1);
  }

  void anOperatorChat() {
    QString reply;
    Anna().RequestSync(Anna().Catalogue().InviteOperator("ben"), reply);
    const OperatorChatReply invited = OperatorChatReply::Parse(reply);
    QVERIFY(invited.wellFormed);
    CChatManager& ben = m_pBen->Engine();
    ben.RequestSync(ben.Catalogue().AcceptOperatorChat(invited.chatId), reply);
    QVERIFY(OperatorChatReply::Parse(reply).wellFormed);
    // Ben's side starts polling once Anna has seen him type: the service
    // tells who types by who polled last.
    COperatorChatSession annas(Anna(), "ben", invited.chatId), bens(ben, "anna", invited.chatId);
    const Heard anna(annas), benHeard(bens);
    QSignalSpy annaTicked(&annas, &CChatSession::Ticked);
    annas.Start();
    QVERIFY(annas.Send("lunch?"));
    QTRY_VERIFY(annaTicked.size() >= 1 && Anna().RunningRequests() == 0);
    bens.NotifyTyping(1);
    QTRY_COMPARE(anna.typing.size(), 1);
    QCOMPARE(anna.typing[0][0].toString(), QString("ben"));
    bens.Start();
    QTRY_COMPARE(benHeard.Kept("anna: lunch?"), 1);
    QVERIFY(bens.Send("yes"));
    QTRY_COMPARE(anna.Kept("ben: yes"), 1);
    QTRY_COMPARE(benHeard.Kept("ben: yes"), 1);
    QCOMPARE(benHeard.SpeakerOf("ben: yes"), TranscriptLine::Speaker::Own);
    QCOMPARE(anna.Kept("anna: lunch?"), 1);

    annas.End();
    QTRY_COMPARE(anna.ended.size(), 1);
    QCOMPARE(anna.ended[0][0].value<CChatSession::EndReason>(), CChatSession::EndReason::EndedByOperator);
    QTRY_COMPARE(benHeard.ended.size(), 1);
    QCOMPARE(benHeard.ended[0][0].value<CChatSession::EndReason>(), CChatSession::EndReason::EndedAtService);
    QCOMPARE(benHeard.ended[0][1].toString(), QString("anna"));
    QVERIFY(!bens.IsPolling() && !bens.Send("bye"));
  }
};

QTEST_MAIN(TestChatSessions)
#include "tst_ChatSessions.moc"
