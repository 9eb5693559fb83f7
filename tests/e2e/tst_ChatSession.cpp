// A whole chat against talvero-service over real HTTP: a visitor asks, the
// operator accepts, lines flow both ways, the visitor types and leaves.
#include "ChatDlg.h"
#include "ChatRichEd.h"
#include "ChatWindows.h"
#include "MainDlg.h"
#include "MySpellEditCtrl.h"
#include "SessionFixture.h"
#include "VisitorActions.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>

class TestChatSession : public QObject {
  Q_OBJECT

 private slots:
  void aChatFromRequestToGoodbye() {
    CSessionFixture session;
    CServiceConfig config = CServiceConfig::Demo();
    config.sites[0].chatPeriod = 1;
    CServiceFixture& service = session.UseService(config);
    QVERIFY(service.Login("anna", "anna").startsWith("true"));
    session.LogIn();
    session.Engine().Session().chatPeriodMs = 300;
    CMainDlg& console = session.Console();

    const QString visitor = service.Control("visitor/add", {{"name", "Zoe"}});
    service.Control("visitor/chat", {{"csesid", visitor}});
    // Ben's console got there first? No: anna accepts, then ben is refused.
    console.VisitorActions().AcceptChat(visitor);
    QTRY_VERIFY(console.ChatWindows().Find(visitor) != nullptr);
    QPointer<CChatDlg> chat = qobject_cast<CChatDlg*>(console.ChatWindows().Find(visitor));
    QVERIFY(chat);

    service.Control("visitor/typing", {{"csesid", visitor}, {"on", "1"}});
    QTRY_COMPARE(chat->StatusLine()->text(), QString("Visitor is Typing"));
    service.Control("visitor/say", {{"csesid", visitor}, {"text", "Hello [:)] is http://shop.example/a in stock?"}});
    QTRY_VERIFY(chat->Transcript()->toPlainText().contains("Zoe: Hello \uFFFC is http://shop.example/a in stock?"));
    QTRY_COMPARE(chat->StatusLine()->text(), QString());

    chat->EntryBox()->setPlainText("see #5 at 100% now");
    chat->SendChatLine();
    QTRY_VERIFY(chat->Transcript()->toPlainText().contains("anna: see #5 at 100% now"));
    const QString text = chat->Transcript()->toPlainText();
    QVERIFY(text.indexOf("Zoe: Hello") < text.indexOf("anna: see #5"));
    QCOMPARE(text.count("anna: see #5 at 100% now"), 1);

    // Another operator's accept of the same chat is refused with the service's words.
    CSessionFixture other;
    other.Engine().SetDefaultHost(service.Host());
    QVERIFY(service.Login("ben", "ben").startsWith("true"));
    other.LogIn({"ben"});
    CMainDlg& bens = other.Console();
    bens.VisitorActions().AcceptChat(visitor);
    QTRY_COMPARE(other.Desktop().messageBoxes.size(), 1);
    QCOMPARE(other.Desktop().messageBoxes[0].caption, QString("Chat"));
    QVERIFY(other.Desktop().messageBoxes[0].text.contains("anna"));
    QCOMPARE(bens.ChatWindows().Count(), 0);
    bens.LogOut(false);

    service.Control("visitor/leave", {{"csesid", visitor}});
    QTRY_VERIFY(chat->Transcript()->toPlainText().endsWith("Notice: Chat Closed by User."));
    QVERIFY(!chat->IsPolling());
    console.LogOut(false);
    QTRY_VERIFY(chat.isNull());
  }
};

QTEST_MAIN(TestChatSession)
#include "tst_ChatSession.moc"
