// The request catalogue against the templates of the protocol, with a
// login id and ids that hold the query's own delimiters.
#include "Requests.h"

#include <QTest>

class TestRequests : public QObject {
  Q_OBJECT

 private slots:
  void everyRequestFillsItsTemplate_data() {
    CSession session;
    session.loginId = "op&1";
    session.siteId = "77";
    session.admin = true;
    const Requests r(session);
    const QString id = "s=1&x";  // encoded: s%3D1%26x
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    const struct {
      const char* name;
      QString actual;
      const char* expected;
    } rows[] = {
        {"login", Requests::Login("op&1", "77", "p=w+"), "/wn-login.php?loginid=op%261&stid=77&pwd=p%3Dw%2B"},
        {"parameters", Requests::Parameters("7&7"), "/w-param.php?stid=7%267&nvar=Y"},
        {"refresh", r.Refresh(false), "/wn-allonlineu.php?nadminid=op%261&nsid=77&nvar=Y"},
        {"refresh, chats only", r.Refresh(true), "/wn-allonlineu.php?nadminid=op%261&nsid=77&nvar=Y&conly=Y"},
        {"online", r.Status(true), "/w-mrefresh.php?sid=77&adminid=op%261&action=lgon"},
        {"offline", r.Status(false), "/w-mrefresh.php?sid=77&adminid=op%261&action=lgof"},
        {"log-out", r.LogOut(), "/w-adminout.php?adminid=op%261&sid=77"},
        {"action", r.Action("remove", id), "/wn-action.php?action=remove&csesid=s%3D1%26x&sid=77&adminid=op%261"},
        {"proactive pop", r.ProactivePop(id, "Y", "http://shop/?a=1&b=2"),
         "/w-prop.php?csesid=s%3D1%26x&prop=A&popwin=Y&ppurl=http%3A%2F%2Fshop%2F%3Fa%3D1%26b%3D2"},
        {"accept", r.Accept(id, "10.0.0.1"), "/w-adc.php?csesid=s%3D1%26x&ipaddr=10.0.0.1&adminid=op%261&sid=77"},
        {"details", r.VisitorDetails(id), "/wn-lmudets.php?csesid=s%3D1%26x&nvar=Y"},
        {"foot prints", r.FootPrints(id), "/w-lmfprint.php?csesid=s%3D1%26x"},
        {"save message", r.SaveMessage("ben&co", "hi & bye"),
         "/w-admsg.php?adid=ben%26co&action=save&admsg=hi%20%26%20bye&adminid=op%261&sid=77"},
        {"waiting messages", r.WaitingMessages(), "/w-admsg.php?action=dsp&snd=p&adminid=op%261&sid=77"},
        {"all messages", r.AllMessages(), "/w-admsg.php?action=dspall&adminid=op%261&sid=77"},
        {"log out operator", r.LogOutOperator("ben&co"), "/wn-opout.php?id2out=ben%26co&sid=77"},
        {"accept operator chat", r.AcceptOperatorChat(id), "/wn-opacpt_chts.php?csesid=s%3D1%26x"},
        {"invite operator", r.InviteOperator("ben=1"), "/wn-opacpt_chts.php?op2=ben%3D1&adminid=op%261&init=Y&sid=77"},
        {"close operator chat", r.CloseOperatorChat(id), "/wn-opclchat.php?csesid=s%3D1%26x"},
        {"canned messages", r.CannedMessages(), "/wn-amespc.php?adminid=op%261&sid=77"},
        {"send line", r.SendLine("2+2=4 \xE2\x82\xAC", id),
         "/w-amessub.php?say=2%2B2%3D4%20%E2%82%AC&csesid=s%3D1%26x&adminid=op%261&sid=77"},
        {"poll chat", r.PollChat(id, "10.0.0.1", "12"),
         "/wn-achats.php?uname=&adminid=op%261&csesid=s%3D1%26x&ipadd=10.0.0.1&sid=77&lastnum=12"},
        {"operator typing", r.OperatorTyping(id), "/w-otype.php?csesid=s%3D1%26x&stat=otype&sid=77"},
        {"transfer", r.TransferChat(id, "ben&co"),
         "/w-ctransf.php?csesid=s%3D1%26x&adid=ben%26co&sid=77&adminid=op%261&action=trans"},
        {"name and e-mail", r.NameAndEmail(id), "/w-browser.php?csesid=s%3D1%26x&loginid=op%261&stid=77&opurl=namemail"},
        {"operator send line", r.OperatorSendLine("a&b", id),
         "/wn-op_messub.php?say=a%26b&csesid=s%3D1%26x&adminid=op%261&sid=77"},
        {"operator poll", r.OperatorPoll(id, "1.2.3.4&", "0"), "/wn-opachats.php?csesid=s%3D1%26x&ipadd=1.2.3.4%26&sid=77&lastnum=0"},
        {"operator typing query", r.OperatorTypingQuery(id), "/wn-op_type.php?csesid=s%3D1%26x&stat=&sid=77"},
        {"operator typing notice", r.OperatorTypingNotice(id), "/wn-op_type.php?csesid=s%3D1%26x&stat=otype&sid=1&ct="},
        {"transcripts page", r.TranscriptsPage(), "/w-browser.php?loginid=op%261&stid=77&adm=Y&opurl=transcript"},
        {"control panel page", r.ControlPanelPage(), "/w-browser.php?loginid=op%261&stid=77&adm=Y&opurl=control"},
        {"chat history page", r.ChatHistoryPage("10.0.0.1"),
         "/w-browser.php?loginid=op%261&stid=77&adm=Y&opurl=vchathist&ipadd=10.0.0.1"},
        {"file transfer page", r.FileTransferPage(id), "/wn-fuploadweb.php?adminid=op%261&sid=77&csesid=s%3D1%26x"},
        {"operator transcripts page", r.OperatorTranscriptsPage(),
         "/w-browser.php?loginid=op%261&stid=77&adm=Y&opurl=optranscript"},
    };
    for (const auto& row : rows) QTest::newRow(row.name) << row.actual << QString::fromUtf8(row.expected);
  }
  void everyRequestFillsItsTemplate() {
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
  }

  void plainIdsAndTheAdminFlag() {
    CSession session;
    session.loginId = "anna";
    session.siteId = "1001";
    const Requests r(session);
    // Plain ids are unchanged by the encoding; a plain operator has no adm value.
    QCOMPARE(r.PollChat("c1", "10.0.0.1", "3"),
             QString("/wn-achats.php?uname=&adminid=anna&csesid=c1&ipadd=10.0.0.1&sid=1001&lastnum=3"));
    QCOMPARE(r.ControlPanelPage(), QString("/w-browser.php?loginid=anna&stid=1001&adm=&opurl=control"));
    // The catalogue reads the session as it is now, not as it was made.
    session.loginId = "ben";
    QCOMPARE(r.LogOut(), QString("/w-adminout.php?adminid=ben&sid=1001"));
  }
};

QTEST_GUILESS_MAIN(TestRequests)
#include "tst_Requests.moc"
