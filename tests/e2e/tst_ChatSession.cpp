// A whole chat against talvero-service over real HTTP: a visitor asks, the
// operator accepts, lines flow both ways, the visitor types and leaves.
#include "ChatDlg.h"
#include "ChatRichEd.h"
#include "ChatWindows.h"
#include "ConsoleController.h"
#include "MainDlg.h"
#include "OperatorList.h"
#include "Presence.h"
#include "RefreshCycle.h"
#include "MySpellEditCtrl.h"
#include "OperChatDlg.h"
#include "OperatorActions.h"
#include "OperatorList.h"
#include "SessionFixture.h"
#include "VisitorActions.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QTest>

class TestChatSession : public QObject {
  Q_OBJECT

  // A visitor of the service asks for a chat and the console accepts it:
  // the visitor's session id and the chat's window.
  static QPair<QString, QPointer<CChatDlg>> AcceptNewChat(CServiceFixture& service, CConsoleController& console) {
    const QString visitor = service.Control("visitor/add", {{"name", "Zoe"}});
    service.Control("visitor/chat", {{"csesid", visitor}});
    console.VisitorActions().AcceptChat(visitor);
    if (!QTest::qWaitFor([&] { return console.ChatWindows().Find(visitor) != nullptr; }, 10000)) return {visitor, nullptr};
    return {visitor, qobject_cast<CChatDlg*>(console.ChatWindows().Find(visitor))};
  }

 private slots:
  void aChatFromRequestToGoodbye() {
    CSessionFixture session;
    CServiceConfig config = CServiceConfig::Demo();
    config.sites[0].chatPeriod = 1;
    CServiceFixture& service = session.UseService(config);
    QVERIFY(service.Login("anna", "anna").startsWith("true"));
    session.LogIn();
    session.Engine().Session().chatPeriodMs = 300;
    CConsoleController& console = session.Controller();

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
    CConsoleController& bens = other.Controller();
    bens.VisitorActions().AcceptChat(visitor);
    QTRY_COMPARE(other.Desktop().messageBoxes.size(), 1);
    QCOMPARE(other.Desktop().messageBoxes[0].caption, QString("Chat"));
    QVERIFY(other.Desktop().messageBoxes[0].text.contains("anna"));
    QCOMPARE(bens.ChatWindows().Count(), 0);
    bens.Window().LogOut(false);

    service.Control("visitor/leave", {{"csesid", visitor}});
    QTRY_VERIFY(chat->Transcript()->toPlainText().endsWith("Notice: Chat Closed by User.\n"));
    QVERIFY(!chat->Session()->IsPolling());
    console.Window().LogOut(false);
    QTRY_VERIFY(chat.isNull());
  }

  // The connection drops before the service's answer: the line is back in
  // the entry box and the operator is told once; the chat goes on.
  void aLineWhoseAnswerIsLost() {
    CSessionFixture session;
    CServiceFixture& service = session.UseService();
    QVERIFY(service.Login("anna", "anna").startsWith("true"));
    session.LogIn();
    session.Engine().Session().chatPeriodMs = 300;
    CConsoleController& console = session.Controller();
    const auto [visitor, chat] = AcceptNewChat(service, console);
    QVERIFY(chat);

    service.Control("fault", {{"kind", "drop"}, {"script", "w-amessub.php"}});
    chat->EntryBox()->setPlainText("are you there?");
    chat->SendChatLine();
    QTRY_COMPARE(chat->EntryBox()->toPlainText(), QString("are you there?"));
    service.Control("visitor/say", {{"csesid", visitor}, {"text", "still here"}});
    QTRY_VERIFY(chat->Transcript()->toPlainText().contains("Zoe: still here"));
    QCOMPARE(chat->Transcript()->toPlainText().count("Notice: the service did not confirm your line"), 1);
    QVERIFY(session.Desktop().messageBoxes.isEmpty());
    console.Window().LogOut(false);
  }

  // Anna hands a visitor's chat to Ben; Ben's console takes it on its next refresh.
  void aChatTransferredToAnotherOperator() {
    CSessionFixture anna;
    CServiceFixture& service = anna.UseService();
    QVERIFY(service.Login("anna", "anna").startsWith("true"));
    anna.LogIn();
    anna.Engine().Session().chatPeriodMs = 300;
    CSessionFixture ben;  // its desktop services record from here on
    ben.Engine().SetDefaultHost(service.Host());
    QVERIFY(service.Login("ben", "ben").startsWith("true"));
    ben.LogIn({"ben"});
    ben.Console();
    CConsoleController& console = anna.Controller();

    const auto [visitor, chat] = AcceptNewChat(service, console);
    QVERIFY(chat);
    console.Window().Session().Refresh().RefreshNow();
    const COperatorList& operators = console.Window().Session().Operators();
    QTRY_VERIFY(operators.Find("ben") >= 0 && operators.Entries()[operators.Find("ben")].IsOnline());
    chat->RefreshOperatorCombo();
    chat->OperatorsBox()->setCurrentIndex(chat->OperatorsBox()->findText("ben (Online)"));
    chat->TransferChat();
    QTRY_VERIFY(!ben.Desktop().messageBoxes.isEmpty());
    QCOMPARE(ben.Desktop().messageBoxes.last().text, QString("Chat Session Transferred"));
    // Anna's window says where the chat went, and no longer polls or sends.
    QCOMPARE(chat->windowTitle(), QString("Chatting with:Zoe (transferred to ben)"));
    QVERIFY(!chat->Session()->IsLive() && !chat->Session()->IsPolling());

    ben.Console().Session().Refresh().RefreshNow();
    QTRY_VERIFY(ben.Controller().ChatWindows().Find(visitor) != nullptr);
    QVERIFY(ben.Desktop().sounds.contains(QUrl("qrc:/sounds/140.wav")));  // the transfer's sound
    ben.Console().LogOut(false);
    console.Window().LogOut(false);
  }

  // Two operators of one site chat with each other; then an administrator
  // logs one of them out.
  void twoOperatorsChatAndOneIsLoggedOut() {
    CSessionFixture anna;
    CServiceFixture& service = anna.UseService();
    QVERIFY(service.Login("anna", "anna").startsWith("true"));
    anna.LogIn();
    anna.Engine().Session().operChatPeriodMs = 300;
    CSessionFixture ben;
    ben.Engine().SetDefaultHost(service.Host());
    QVERIFY(service.Login("ben", "ben").startsWith("true"));
    ben.LogIn({"ben"});
    ben.Engine().Session().operChatPeriodMs = 300;
    CConsoleController& annas = anna.Controller();
    CConsoleController& bens = ben.Controller();

    annas.OperatorActions().RequestChat("ben");
    QTRY_COMPARE(annas.OperatorChatWindows().Count(), 1);
    // Ben is alerted by his refresh: the Operators view, Anna asking.
    bens.Window().Session().Refresh().RefreshNow();
    QTRY_COMPARE(bens.Window().Mode(), CMainDlg::ViewMode::Operators);
    const int row = bens.Window().Session().Operators().Find("anna");
    QVERIFY(row >= 0);
    QCOMPARE(bens.Window().Session().Operators().Entries()[row].chatState, QString("op_chat"));
    bens.OperatorActions().AcceptChat(bens.Window().Session().Operators().Entries()[row].chatId);
    QTRY_COMPARE(bens.OperatorChatWindows().Count(), 1);
    auto* annaChat = qobject_cast<COperChatDlg*>(annas.OperatorChatWindows().Find(annas.OperatorChatWindows().Ids()[0]));
    auto* benChat = qobject_cast<COperChatDlg*>(bens.OperatorChatWindows().Find(bens.OperatorChatWindows().Ids()[0]));
    QCOMPARE(benChat->windowTitle(), QString("Chatting with:anna"));

    annaChat->EntryBox()->setPlainText("hello ben & co");
    annaChat->SendChatLine();
    QTRY_VERIFY(benChat->Transcript()->toPlainText().contains("anna: hello ben & co"));
    benChat->EntryBox()->setPlainText("hi");  // Ben types...
    QTRY_COMPARE(annaChat->TypingLine()->text(), QString("ben is Typing"));
    benChat->SendChatLine();
    QTRY_VERIFY(annaChat->Transcript()->toPlainText().contains("ben: hi"));
    annaChat->EndChat();
    QTRY_VERIFY(benChat->Transcript()->toPlainText().endsWith("Notice: Chat Closed by Operator.\n"));

    // The administrator logs Ben out; his console ends at its next refresh.
    QVERIFY(service.Login("demo", "demo").startsWith("true"));
    QCOMPARE(service.Get("/cpn/wn-opout.php?id2out=ben&sid=1001"), QString("true"));
    bens.Window().Session().Refresh().RefreshNow();
    QTRY_VERIFY(bens.Window().Session().IsEnded());
    QCOMPARE(ben.Desktop().messageBoxes.last().text, QString("You have been logged out."));
    annas.Window().LogOut(false);
  }
};

QTEST_MAIN(TestChatSession)
#include "tst_ChatSession.moc"
