// Every request of the catalogue answers with the layout its parser expects.
#include "Separators.h"
#include "ServiceFixture.h"
#include "SplitReply.h"

#include <QTest>

#include <random>

class TestServiceProtocol : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CServiceFixture> m_pService;
  QString m_strVisitor;  // a visitor of the demo site in a chat with demo

  CServiceFixture& S() { return *m_pService; }
  QString Refresh(const QString& who = QStringLiteral("demo")) {
    return S().Get(QStringLiteral("/cpn/wn-allonlineu.php?nadminid=%1&nsid=1001&nvar=Y").arg(who));
  }

 private slots:
  void init() {
    m_pService = std::make_unique<CServiceFixture>();
    QVERIFY(S().IsRunning());
    QCOMPARE(SplitReply(S().Login("demo", "demo"), kSepField).first(), QString("true"));
    m_strVisitor = S().Control("visitor/add", {{"name", "Zoe"}, {"ip", "10.1.1.7"}, {"email", "zoe@mail.example"}});
  }
  void cleanup() { m_pService.reset(); }

  void parameters() {
    const QStringList f = S().GetPieces("/cpn/w-param.php?stid=1001&nvar=Y", kSepField);
    QCOMPARE(f.size(), 6);
    QCOMPARE(f[0], QString("5"));
    QCOMPARE(f[1], QString("3"));
    QCOMPARE(f[2], S().Host());
    QCOMPARE(f[3], QString("cpn"));
    QCOMPARE(f[5], QString(TALVERO_VERSION));
    // An unknown site still gets the service's parameters.
    QCOMPARE(S().GetPieces("/cpn/w-param.php?stid=nope", kSepField).size(), 6);
  }

  void loginResults() {
    const QStringList ok = SplitReply(S().Login("anna", "anna"), kSepField);
    QCOMPARE(ok, QStringList({"true", "", "http://www.example-shop.com"}));
    QCOMPARE(SplitReply(S().Login("nobody", "x"), kSepField), QStringList({"false", "", ""}));
    QCOMPARE(SplitReply(S().Login("ben", "wrong"), kSepField), QStringList({"incorrect", "", ""}));
    QCOMPARE(SplitReply(S().Login("anna", "anna"), kSepField).first(), QString("already"));
    QCOMPARE(SplitReply(S().Login("ben", "ben", "9999"), kSepField).first(), QString("noaccount"));
    QCOMPARE(S().Get("/cpn/wn-login.php?loginid=ben"), kInvalidRequestText());
    // The login id is not case-sensitive, the password is.
    QCOMPARE(SplitReply(S().Login("BEN", "ben"), kSepField).first(), QString("true"));
    QCOMPARE(SplitReply(S().Login("demo", "DEMO"), kSepField).first(), QString("incorrect"));
  }
  static QString kInvalidRequestText() { return QStringLiteral("invalid request"); }

  void refreshLayout() {
    const QStringList blocks = SplitReply(Refresh(), kSepBlock);
    QCOMPARE(blocks.size(), 7);
    QCOMPARE(blocks[6], QString());
    const QStringList lines = SplitReply(blocks[0], kSepLine);
    QCOMPARE(lines.size(), 1);
    const QStringList f = SplitReply(lines[0], kSepField);
    QCOMPARE(f.size(), 13);
    QCOMPARE(f[0], m_strVisitor);
    QCOMPARE(f[1], QString("10.1.1.7"));
    QCOMPARE(f[3], QString("In Site"));
    QVERIFY(QRegularExpression("^\\d+:\\d\\d:\\d\\d$").match(f[4]).hasMatch());
    QCOMPARE(f[5], QString("Zoe"));
    QCOMPARE(QStringList(f.mid(6, 5)), QStringList({"Delete", "", "Invite", "BlockIP", "Pro-Pop"}));
    QCOMPARE(f[12], QString());
    QCOMPARE(blocks[1], QString("1"));
    QCOMPARE(blocks[3], QString("NewVisitor"));  // arrived since the login
    QCOMPARE(blocks[4], QString());
    const QStringList entries = SplitReply(blocks[5], kSepField);
    QCOMPARE(entries.size(), 3);
    for (const QString& e : entries) QCOMPARE(SplitReply(e, kSepSubField).size(), 4);
    QCOMPARE(SplitReply(entries[0], kSepSubField), QStringList({"demo", "", "", "Online"}));
    QCOMPARE(SplitReply(entries[1], kSepSubField), QStringList({"anna", "", "", "Offline"}));
    // Nothing new since the last refresh: no sound.
    QCOMPARE(SplitReply(Refresh(), kSepBlock)[3], QString());
  }

  void refreshChatsOnlyAndEmptySite() {
    QCOMPARE(SplitReply(S().Get("/cpn/wn-allonlineu.php?nadminid=demo&nsid=1001&nvar=Y&conly=Y"), kSepBlock)[0],
             QString("No Users Online"));
    S().Control("visitor/chat", {{"csesid", m_strVisitor}});
    const QStringList blocks =
        SplitReply(S().Get("/cpn/wn-allonlineu.php?nadminid=demo&nsid=1001&nvar=Y&conly=Y"), kSepBlock);
    QCOMPARE(SplitReply(blocks[0], kSepField)[3], QString("Chat Request"));
    QCOMPARE(QStringList(SplitReply(blocks[0], kSepField).mid(6, 5)), QStringList({"Delete", "Busy", "", "BlockIP", ""}));
    QCOMPARE(blocks[3], QString("sound1"));
    S().Control("visitor/leave", {{"csesid", m_strVisitor}});
    QCOMPARE(SplitReply(Refresh(), kSepBlock)[0], QString("No Users Online"));
  }

  void refreshOfSomebodyNotLoggedIn() {
    QCOMPARE(Refresh("anna"), QString("logout"));
    QCOMPARE(Refresh("nobody"), QString("logout"));
  }

  void presence() {
    QCOMPARE(S().Get("/cpn/w-mrefresh.php?sid=1001&adminid=demo&action=lgof"), QString("offline"));
    QVERIFY(SplitReply(SplitReply(Refresh(), kSepBlock)[5], kSepField)[0].endsWith("Offline"));
    QCOMPARE(S().Get("/cpn/w-mrefresh.php?sid=1001&adminid=demo&action=lgon"), QString("online"));
    QCOMPARE(S().Get("/cpn/w-mrefresh.php?sid=1001&adminid=anna&action=lgon"), QString("offline"));
    QCOMPARE(S().Get("/cpn/w-mrefresh.php?sid=1001&adminid=demo&action=dance"), QString("invalid request"));
  }

  void acceptReplyHasFivePieces() {
    QCOMPARE(SplitReply(S().Get(QString("/cpn/w-adc.php?csesid=%1&ipaddr=10.1.1.7&adminid=demo&sid=1001").arg(m_strVisitor)),
                        kSepField)
                 .size(),
             5);  // no chat was asked for: a refusal, still five pieces
    S().Control("visitor/chat", {{"csesid", m_strVisitor}});
    const QStringList f =
        SplitReply(S().Get(QString("/cpn/w-adc.php?csesid=%1&ipaddr=10.1.1.7&adminid=demo&sid=1001").arg(m_strVisitor)),
                   kSepField);
    QCOMPARE(f, QStringList({"true", "Zoe", "zoe@mail.example", "N", m_strVisitor}));
  }

  void detailsAndFootPrints() {
    const QStringList d = S().GetPieces(QString("/cpn/wn-lmudets.php?csesid=%1&nvar=Y").arg(m_strVisitor), kSepField);
    QCOMPARE(d.size(), 19);
    QCOMPARE(d[13], QString("Zoe"));
    QCOMPARE(d[14], QString("zoe@mail.example"));
    S().Control("visitor/browse", {{"csesid", m_strVisitor}, {"page", "http://www.example-shop.com/cart.html"}});
    const QStringList fp = S().GetPieces(QString("/cpn/w-lmfprint.php?csesid=%1").arg(m_strVisitor), kSepField);
    QCOMPARE(fp.size(), 2);
    for (const QString& piece : fp) {
      const qsizetype space = piece.indexOf(u' ');
      QVERIFY(space > 0);
      QVERIFY(piece.indexOf(u':', space) > space);  // the duration follows a colon after the space
    }
    QVERIFY(fp[1].startsWith("http://www.example-shop.com/cart.html Time:0:00:"));
    QCOMPARE(S().Get("/cpn/wn-lmudets.php?csesid=unknown&nvar=Y"), QString());
  }

  void cannedLists() {
    const QStringList parts = S().GetPieces("/cpn/wn-amespc.php?adminid=demo&sid=1001", kSepBlock);
    QCOMPARE(parts.size(), 2);
    for (const QString& push : SplitReply(parts[0], kSepField)) QCOMPARE(SplitReply(push, kSepLine).size(), 2);
    for (const QString& canned : SplitReply(parts[1], kSepField)) QCOMPARE(SplitReply(canned, kSepLine).size(), 3);
  }

  void chatPollLayout() {
    S().Control("visitor/chat", {{"csesid", m_strVisitor}});
    S().Get(QString("/cpn/w-adc.php?csesid=%1&ipaddr=10.1.1.7&adminid=demo&sid=1001").arg(m_strVisitor));
    const QString poll = QString("/cpn/wn-achats.php?uname=&adminid=demo&csesid=%1&ipadd=10.1.1.7&sid=1001&lastnum=%2");
    const QStringList parts = SplitReply(S().Get(poll.arg(m_strVisitor, "1")), kSepChatType);
    QCOMPARE(parts.size(), 2);
    const QStringList blocks = SplitReply(parts[0], kSepChatBlock);
    QCOMPARE(blocks.size(), 4);
    QCOMPARE(blocks[0], QString("Notice:Now user has join the chat"));
    QCOMPARE(blocks[1], QString("2"));
    QVERIFY(!blocks[2].isEmpty());
    // Nothing new: no lines, the same number.
    const QStringList again = SplitReply(SplitReply(S().Get(poll.arg(m_strVisitor, "2")), kSepChatType)[0], kSepChatBlock);
    QCOMPARE(again, QStringList({"", "2", blocks[2], ""}));
  }

  void operatorMessagesLayout() {
    QCOMPARE(S().Get("/cpn/w-admsg.php?adid=anna&action=save&admsg=hi%20there&adminid=demo&sid=1001"),
             QString("Message sent to anna."));
    QCOMPARE(S().Get("/cpn/w-admsg.php?action=dsp&snd=p&adminid=demo&sid=1001"),
             QString("No new messages.<blk>"));
  }

  void unknownPathsAndPages() {
    QCOMPARE(S().Get("/cpn/no-such-script.php"), QString("Not Found\n"));
    QCOMPARE(S().Get("/elsewhere"), QString("Not Found\n"));
    QVERIFY(S().Get("/winapp.html").contains("<html>"));
    for (const char* page : {"/order.php", "/contactus.php", "/forpass.php"})
      QVERIFY(S().Get(page).contains("</html>"));
    QVERIFY(S().Get("/cpn/w-browser.php?loginid=demo&stid=1001&adm=Y&opurl=control").contains("Control panel"));
  }

  void garbageQueriesNeverBreakIt() {
    static const char* const kScripts[] = {
        "w-param.php", "wn-login.php", "wn-allonlineu.php", "w-mrefresh.php", "w-adminout.php", "wn-opout.php",
        "w-admsg.php", "w-adc.php", "wn-action.php", "w-prop.php", "wn-lmudets.php", "w-lmfprint.php",
        "wn-amespc.php", "w-amessub.php", "wn-achats.php", "w-otype.php", "w-ctransf.php", "wn-opacpt_chts.php",
        "wn-opclchat.php", "wn-op_messub.php", "wn-opachats.php", "wn-op_type.php", "w-browser.php",
        "wn-fuploadweb.php"};
    static const char* const kNames[] = {"csesid", "sid", "stid", "adminid", "nadminid", "nsid", "loginid", "pwd",
                                         "action", "lastnum", "op2", "init", "opurl", "say", "adid", "ipadd"};
    static const char* const kValues[] = {"", "1001", "demo", "%00", "%FF%FE", "-1", "99999999999999999999",
                                          "<blk>", "%3Cfld%3E", "Y", "trans", "endchatcl", "blockip", "%ED%A0%80",
                                          "a%", "lgon", "transcript"};
    std::mt19937 random(7);
    for (int i = 0; i < 600; ++i) {
      QString target = QStringLiteral("/cpn/") + kScripts[random() % 24] + u'?';
      for (int p = int(random() % 6); p > 0; --p)
        target += QString::fromLatin1(kNames[random() % 16]) + u'=' + kValues[random() % 17] + u'&';
      const QString reply = S().Get(target);
      QVERIFY2(reply != kDisconnect, qPrintable(target));
    }
    // ...and it still works.
    QCOMPARE(SplitReply(Refresh(), kSepBlock).size(), 7);
  }
};

QTEST_GUILESS_MAIN(TestServiceProtocol)
#include "tst_ServiceProtocol.moc"
