// Whole flows through the service over real HTTP: chats with visitors,
// operator chats, transfers, messages and log-outs.
#include "Separators.h"
#include "ServiceFixture.h"
#include "ServiceState.h"
#include "DemoSimulation.h"
#include "SplitReply.h"

#include <httplib.h>

#include <QTest>

namespace {

QStringList Blocks(const QString& reply) { return SplitReply(reply, kSepBlock); }

}  // namespace

class TestServiceFlows : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CServiceFixture> m_pService;
  CServiceFixture& S() { return *m_pService; }

  QStringList Refresh(const QString& who) {
    return Blocks(S().Get(QStringLiteral("/cpn/wn-allonlineu.php?nadminid=%1&nsid=1001&nvar=Y").arg(who)));
  }
  // Poll of a visitor chat: {lines, number, third, sound, typing}.
  QStringList Poll(const QString& who, const QString& chat, const QString& lastNum) {
    const QStringList parts = SplitReply(
        S().Get(QString("/cpn/wn-achats.php?uname=&adminid=%1&csesid=%2&ipadd=x&sid=1001&lastnum=%3").arg(who, chat, lastNum)),
        kSepChatType);
    if (parts.size() != 2) return {};
    return SplitReply(parts[0], kSepChatBlock) << parts[1];
  }
  QStringList OperatorPoll(const QString& chat, const QString& other, const QString& lastNum) {
    return SplitReply(S().Get(QString("/cpn/wn-opachats.php?csesid=%1&ipadd=%2&sid=1001&lastnum=%3").arg(chat, other, lastNum)),
                      kSepChatBlock);
  }
  QString Accept(const QString& who, const QString& chat) {
    return SplitReply(S().Get(QString("/cpn/w-adc.php?csesid=%1&ipaddr=x&adminid=%2&sid=1001").arg(chat, who)), kSepField)
        .first();
  }
  QStringList OperatorEntry(const QString& viewer, const QString& name) {
    for (const QString& e : SplitReply(Refresh(viewer)[5], kSepField))
      if (SplitReply(e, kSepSubField).first() == name) return SplitReply(e, kSepSubField);
    return {};
  }

 private slots:
  void init() {
    m_pService = std::make_unique<CServiceFixture>();
    QVERIFY(S().IsRunning());
    for (const char* op : {"demo", "anna", "ben"}) QVERIFY(S().Login(op, op).startsWith("true"));
  }
  void cleanup() { m_pService.reset(); }

  void visitorChatFromRequestToClose() {
    const QString v = S().Control("visitor/add", {{"name", "Zoe"}});
    QCOMPARE(S().Control("visitor/chat", {{"csesid", v}}), QString("ok"));
    QCOMPARE(Refresh("anna")[3], QString("sound1"));

    // The first to accept gets the chat; a second operator is refused.
    QCOMPARE(Accept("anna", v), QString("true"));
    QVERIFY(Accept("ben", v).contains("already been accepted by anna"));
    QCOMPARE(SplitReply(Refresh("ben")[0], kSepField)[3], QString("Chatting with: anna"));

    QStringList p = Poll("anna", v, "1");
    QCOMPARE(p[0], QString("Notice:Now user has join the chat"));
    QString last = p[1];

    S().Control("visitor/typing", {{"csesid", v}, {"on", "1"}});
    QCOMPARE(Poll("anna", v, last)[4], QString("vt"));
    S().Control("visitor/say", {{"csesid", v}, {"text", "Hi, where is my parcel?"}});
    p = Poll("anna", v, last);
    QCOMPARE(p[0], QString("Zoe: Hi, where is my parcel?"));
    QCOMPARE(p[3], QString("sound4"));
    QCOMPARE(p[4], QString());  // writing ends the typing
    last = p[1];

    QCOMPARE(S().Get(QString("/cpn/w-amessub.php?say=On%20its%20way%20%235&csesid=%1&adminid=anna&sid=1001").arg(v)),
             QString("true"));
    QCOMPARE(S().Get(QString("/cpn/w-amessub.php?say=mine&csesid=%1&adminid=ben&sid=1001").arg(v)), QString("false"));
    S().Get(QString("/cpn/w-otype.php?csesid=%1&stat=otype&sid=1001").arg(v));
    QVERIFY(S().Control("visitor/show", {{"csesid", v}}).contains("operator_typing=Y"));
    p = Poll("anna", v, last);
    QCOMPARE(p[0], QString("anna: On its way #5"));
    QCOMPARE(p[3], QString());  // the operator's own line rings nothing

    // The visitor leaves: the poll brings the closing notice, with the
    // number and third field empty.
    S().Control("visitor/leave", {{"csesid", v}});
    QCOMPARE(Poll("anna", v, p[1]), QStringList({"Notice: Chat Closed by User.", "", "", "", ""}));
    QCOMPARE(Refresh("anna")[0], QString("No Users Online"));
    QCOMPARE(S().Get(QString("/cpn/wn-action.php?action=endchatcl&csesid=%1&sid=1001&adminid=anna").arg(v)),
             QString("true"));
    // The chat is kept for the transcripts.
    QVERIFY(S().Get("/cpn/w-browser.php?loginid=anna&stid=1001&adm=&opurl=transcript").contains("Zoe: Hi, where is my parcel?"));
  }

  void operatorEndsTheChat() {
    const QString v = S().Control("visitor/add", {{"name", "Li"}, {"ip", "10.0.0.9"}});
    S().Control("visitor/chat", {{"csesid", v}});
    Accept("ben", v);
    QCOMPARE(S().Get(QString("/cpn/wn-action.php?action=endchatcl&csesid=%1&sid=1001&adminid=anna").arg(v)),
             QString("false"));  // not his chat
    QCOMPARE(S().Get(QString("/cpn/wn-action.php?action=endchatcl&csesid=%1&sid=1001&adminid=ben").arg(v)),
             QString("true"));
    QCOMPARE(SplitReply(Refresh("ben")[0], kSepField)[3], QString("In Site"));
    QVERIFY(S().Get("/cpn/w-browser.php?loginid=x&stid=1001&adm=&opurl=vchathist&ipadd=10.0.0.9").contains("Li"));
    // The next chat of the visitor is flagged for its history.
    S().Control("visitor/chat", {{"csesid", v}});
    QCOMPARE(SplitReply(S().Get(QString("/cpn/w-adc.php?csesid=%1&ipaddr=x&adminid=ben&sid=1001").arg(v)), kSepField)[3],
             QString("Y"));
  }

  void administratorJoinsARunningChat() {
    const QString v = S().Control("visitor/add", {{"name", "Ann"}});
    S().Control("visitor/chat", {{"csesid", v}});
    Accept("anna", v);
    QCOMPARE(Accept("demo", v), QString("true"));
    QCOMPARE(S().Get(QString("/cpn/w-amessub.php?say=hello&csesid=%1&adminid=demo&sid=1001").arg(v)), QString("true"));
  }

  void visitorActions() {
    const QString v = S().Control("visitor/add", {{"name", "Kim"}, {"ip", "10.9.9.9"}});
    const QString action = "/cpn/wn-action.php?action=%1&csesid=%2&sid=1001&adminid=demo";
    QCOMPARE(S().Get(action.arg("cinvt", v)), QString("Kim (10.9.9.9)"));
    QCOMPARE(SplitReply(Refresh("demo")[0], kSepField)[8], QString());  // invited once
    S().Control("visitor/chat", {{"csesid", v}});
    QCOMPARE(S().Get(action.arg("refuse", v)), QString());
    QCOMPARE(SplitReply(Refresh("demo")[0], kSepField)[3], QString("In Site"));
    QCOMPARE(S().Get(QString("/cpn/w-prop.php?csesid=%1&prop=A&popwin=R&ppurl=http://x.example/a").arg(v)), QString("true"));
    QVERIFY(S().Control("visitor/show", {{"csesid", v}}).contains("proactive=http://x.example/a"));

    // Blocking takes every visitor of the address and keeps them out.
    const QString twin = S().Control("visitor/add", {{"ip", "10.9.9.9"}});
    QCOMPARE(S().Get(action.arg("blockip", v)), QString("10.9.9.9"));
    QCOMPARE(Refresh("demo")[0], QString("No Users Online"));
    QCOMPARE(S().ControlStatus("visitor/add", {{"ip", "10.9.9.9"}}), 403);
    Q_UNUSED(twin);

    const QString other = S().Control("visitor/add", {{"name", "Bo"}});
    QCOMPARE(S().Get(action.arg("remove", other)), QString());
    QCOMPARE(Refresh("demo")[1], QString("0"));
  }

  void operatorChat() {
    const QStringList opened = SplitReply(S().Get("/cpn/wn-opacpt_chts.php?op2=ben&adminid=anna&init=Y&sid=1001"), kSepField);
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened[0], QString("ben"));
    const QString id = opened[1];
    QCOMPARE(OperatorEntry("ben", "anna"), QStringList({"anna", id, "op_chat", "Online"}));
    QCOMPARE(OperatorEntry("anna", "ben"), QStringList({"ben", id, "chat_initiated", "Online"}));
    QCOMPARE(OperatorEntry("demo", "ben"), QStringList({"ben", "", "Initiate", "Online"}));

    QCOMPARE(SplitReply(S().Get("/cpn/wn-opacpt_chts.php?csesid=" + id), kSepField), QStringList({"anna", id}));
    QCOMPARE(OperatorEntry("ben", "anna")[2], QString("op_chat_picked"));
    QCOMPARE(OperatorEntry("anna", "ben")[2], QString("Chatting"));

    S().Get(QString("/cpn/wn-op_messub.php?say=lunch%3F&csesid=%1&adminid=anna&sid=1001").arg(id));
    QStringList p = OperatorPoll(id, "anna", "1");  // ben asks
    QCOMPARE(p, QStringList({"anna: lunch?", "2", "open", "sound4"}));
    QCOMPARE(OperatorPoll(id, "ben", "1")[3], QString());  // anna's own line

    QCOMPARE(S().Get(QString("/cpn/wn-op_type.php?csesid=%1&stat=&sid=1001").arg(id)), QString("blank"));
    S().Get(QString("/cpn/wn-op_type.php?csesid=%1&stat=otype&sid=1&ct=").arg(id));
    OperatorPoll(id, "anna", "2");  // ben polls, then asks who types
    QCOMPARE(S().Get(QString("/cpn/wn-op_type.php?csesid=%1&stat=&sid=1001").arg(id)), QString("anna"));

    QCOMPARE(S().Get("/cpn/wn-opclchat.php?csesid=" + id), QString("true"));
    QCOMPARE(OperatorPoll(id, "anna", "2"), QStringList({"Notice: Chat Closed by Operator.", "", "", ""}));
    QCOMPARE(OperatorEntry("ben", "anna")[2], QString("Initiate"));
    QVERIFY(S().Get("/cpn/w-browser.php?loginid=x&stid=1001&adm=&opurl=optranscript").contains("anna: lunch?"));
  }

  void chatTransfer() {
    const QString v = S().Control("visitor/add", {{"name", "Eve"}});
    S().Control("visitor/chat", {{"csesid", v}});
    Accept("anna", v);
    const QString transfer = "/cpn/w-ctransf.php?csesid=%1&adid=%2&sid=1001&adminid=anna&action=trans";
    QCOMPARE(S().Get(transfer.arg(v, "nobody")), QString("false"));
    S().Get("/cpn/w-mrefresh.php?sid=1001&adminid=ben&action=lgof");
    QCOMPARE(S().Get(transfer.arg(v, "ben")), QString("false"));  // offline
    S().Get("/cpn/w-mrefresh.php?sid=1001&adminid=ben&action=lgon");
    QCOMPARE(S().Get(transfer.arg(v, "ben")), QString("true"));

    QStringList blocks = Refresh("ben");
    QCOMPARE(blocks[3], QString("chat_tran_snd"));
    QCOMPARE(blocks[4], QString("chat_trans") + kSepField + v);
    QCOMPARE(Refresh("ben")[4], QString("chat_trans") + kSepField + v);  // offered until taken
    QCOMPARE(Accept("ben", v), QString("true"));
    QCOMPARE(Refresh("ben")[4], QString());
    QCOMPARE(SplitReply(Refresh("demo")[0], kSepField)[3], QString("Chatting with: ben"));
    QCOMPARE(S().Get(QString("/cpn/w-amessub.php?say=here&csesid=%1&adminid=ben&sid=1001").arg(v)), QString("true"));
  }

  void messages() {
    QCOMPARE(S().Get("/cpn/w-admsg.php?adid=nobody&action=save&admsg=x&adminid=anna&sid=1001"),
             QString("There is no operator nobody."));
    S().Get("/cpn/w-admsg.php?adid=ben&action=save&admsg=hi&adminid=anna&sid=1001");
    S().Control("message", {{"from", "demo"}, {"to", "ben"}, {"text", "yo"}});
    QCOMPARE(Refresh("ben")[4], QString("message"));
    QCOMPARE(S().Get("/cpn/w-admsg.php?action=dsp&snd=p&adminid=ben&sid=1001"),
             QString("anna<ln>hi<fld>demo<ln>yo<blk>sound3"));
    QCOMPARE(Refresh("ben")[4], QString());
    QCOMPARE(S().Get("/cpn/w-admsg.php?action=dsp&snd=p&adminid=ben&sid=1001"), QString("No new messages.<blk>"));
    QCOMPARE(S().Get("/cpn/w-admsg.php?action=dspall&adminid=ben&sid=1001"), QString("anna<ln>hi<fld>demo<ln>yo<blk>"));
  }

  void forcedLogOutAndLogOut() {
    QCOMPARE(S().Get("/cpn/wn-opout.php?id2out=ben&sid=1001"), QString("true"));
    QCOMPARE(Refresh("ben").join(kSepBlock), QString("logout"));
    QCOMPARE(Refresh("ben").join(kSepBlock), QString("logout"));
    QVERIFY(S().Login("ben", "ben").startsWith("true"));  // may come back at once

    QCOMPARE(S().Get("/cpn/w-adminout.php?adminid=anna&sid=1001"), QString("true"));
    QCOMPARE(Refresh("anna").join(kSepBlock), QString("logout"));
    QCOMPARE(OperatorEntry("demo", "anna")[3], QString("Offline"));
  }

  void operatorNotHeardFromGoesOffline() {
    CServiceConfig config = CServiceConfig::Demo();
    config.sites[0].consolePeriod = 1;
    m_pService = std::make_unique<CServiceFixture>(config);
    S().Login("demo", "demo");
    S().Login("anna", "anna");
    QCOMPARE(OperatorEntry("demo", "anna")[3], QString("Online"));
    QTRY_COMPARE_WITH_TIMEOUT(OperatorEntry("demo", "anna")[3], QString("Offline"), 10000);
    // Gone that long, a new login is no longer "already".
    QVERIFY(S().Login("anna", "anna").startsWith("true"));
  }

  void fileTransfer() {
    const QString v = S().Control("visitor/add", {{"name", "Fay"}});
    S().Control("visitor/chat", {{"csesid", v}});
    Accept("anna", v);
    QVERIFY(S().Get(QString("/cpn/wn-fuploadweb.php?adminid=anna&sid=1001&csesid=%1").arg(v)).contains("type=\"file\""));
    httplib::Client client("127.0.0.1", S().Server().Port());
    const httplib::MultipartFormDataItems form = {{"adminid", "anna", "", ""},
                                                  {"sid", "1001", "", ""},
                                                  {"csesid", v.toStdString(), "", ""},
                                                  {"file", std::string("line one\n\0two", 13), "my notes.txt", "text/plain"}};
    const auto posted = client.Post("/cpn/wn-fuploadweb.php", form);
    QVERIFY(posted && posted->status == 200);
    QVERIFY(QString::fromStdString(posted->body).contains("my notes.txt was sent"));
    const QString line = Poll("anna", v, "2")[0];
    const QString address = "http://" + S().Host() + "/cpn/files/1/my%20notes.txt";
    QCOMPARE(line, "anna: File sent: my notes.txt " + address);
    const auto file = client.Get("/cpn/files/1/my%20notes.txt");
    QVERIFY(file && file->status == 200);
    QCOMPARE(file->body, std::string("line one\n\0two", 13));
    // Without a running chat nothing is stored.
    const auto refused = client.Post("/cpn/wn-fuploadweb.php",
                                     httplib::MultipartFormDataItems{{"csesid", "nope", "", ""}, {"file", "x", "x.txt", ""}});
    QVERIFY(QString::fromStdString(refused->body).contains("not running"));
  }

  void surrogatePairsArriveWhole() {
    const QString v = S().Control("visitor/add", {{"name", "Uma"}});
    S().Control("visitor/chat", {{"csesid", v}});
    Accept("anna", v);
    // U+1F600 as the console sends it: each surrogate half as three bytes.
    S().Get(QString("/cpn/w-amessub.php?say=ok%ED%A0%BD%ED%B8%80&csesid=%1&adminid=anna&sid=1001").arg(v));
    QCOMPARE(Poll("anna", v, "2")[0], QString("anna: ok") + QString::fromUcs4(U"\U0001F600"));
  }

  void demoSimulationKeepsTheSiteLively() {
    CServiceState& state = S().Server().State();
    CDemoSimulation demo(state, 3);
    std::lock_guard<std::mutex> guard(state.lock);
    Site& site = state.sites.first();
    for (int i = 0; i < 400; ++i) demo.Step(site);
    int present = 0;
    for (const Visitor& v : site.visitors) present += v.departed ? 0 : 1;
    QVERIFY(present >= 5);
    // A visitor in a chat answers the operator.
    auto it = std::find_if(site.visitors.rbegin(), site.visitors.rend(), [](const Visitor& x) { return !x.departed; });
    QVERIFY(it != site.visitors.rend());
    Visitor& v = *it;
    v.hasChat = true;
    v.name = "Sim";
    v.chat.state = VisitorChat::Active;
    v.chat.operatorId = "anna";
    v.chat.participants = {"anna"};
    CServiceState::AppendLine(v.chat.lines, "anna: Hello!", false, "anna", state.Now() - 60000);
    for (int i = 0; i < 3 && !v.chat.lines.last().fromVisitor; ++i) demo.Step(site);
    QVERIFY(v.chat.lines.last().fromVisitor);
    QVERIFY(v.chat.lines.last().text.startsWith("Sim: "));
  }
};

QTEST_GUILESS_MAIN(TestServiceFlows)
#include "tst_ServiceFlows.moc"
