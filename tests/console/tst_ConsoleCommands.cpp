// The console's commands on visitors and operators against a scripted
// service: button states, the action replies and their boxes, accepting
// chats (also by a transfer notice) and the windows they open.
#include "ChatCycle.h"
#include "ChatDlg.h"
#include "ConsoleParts.h"
#include "StandInChat.h"
#include "ChatRichEd.h"
#include "ChatWindows.h"
#include "FooButton.h"
#include "ConsoleController.h"
#include "MainDlg.h"
#include "OperatorList.h"
#include "Presence.h"
#include "RefreshCycle.h"
#include "OperChatDlg.h"
#include "OperatorActions.h"
#include "ReplyBuilders.h"
#include "SessionFixture.h"
#include "VisitorActions.h"

#include <httplib.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTableView>
#include <QTest>

Q_DECLARE_METATYPE(CDesktopServices::Answer)

namespace {

const QUrl kTransferSound("qrc:/sounds/140.wav");

}  // namespace

using namespace ConsoleParts;

class TestConsoleCommands : public QObject {
  Q_OBJECT

  std::unique_ptr<CSessionFixture> m_pSession;
  QMap<QString, std::string> m_replies;  // by script name

  CMainDlg& C() { return m_pSession->Console(); }
  CConsoleController& Rooms() { return m_pSession->Controller(); }
  CRecordingDesktopServices& Desktop() { return m_pSession->Desktop(); }
  QStringList Targets(const char* script) { return m_pSession->Server().Targets().filter(script); }
  QStringList BoxTexts() {
    QStringList texts;
    for (const auto& box : Desktop().messageBoxes) texts.append(box.text);
    return texts;
  }
  // Shows the table, which the service's next refreshes repeat.
  void Show(const QList<TestVisitor>& visitors, const QString& operators = QString()) {
    const QString text = RefreshReplyText(visitors, "1", QString(), operators);
    m_replies["wn-allonlineu.php"] = text.toStdString();
    C().Session().Refresh().Apply(text);
  }
  void Settle() { QTRY_COMPARE(m_pSession->Engine().RunningRequests(), 0); }

 private slots:
  void init() {
    m_pSession = std::make_unique<CSessionFixture>();
    m_replies.clear();
    m_pSession->UseScriptedServer([this](const httplib::Request& req) {
      const QString script = QString::fromStdString(req.path).section(u'/', -1);
      const std::string reply = m_replies.value(script, "online");
      return CScriptedServer::Reply{reply == "502" ? 502 : 200, reply};
    });
    m_pSession->LogIn();
    C();
    Settle();
  }
  void cleanup() {
    C().LogOut(false);
    m_pSession.reset();
  }

  void buttonStates_data() {
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("actDelete");
    QTest::addColumn<bool>("admin");
    QTest::addColumn<QList<bool>>("enabled");  // Accept, Busy, Delete, Join
    // The test visitors offer no Busy.
    QTest::newRow("chat request") << "Chat Request" << "Delete" << false << QList<bool>{true, false, true, false};
    QTest::newRow("no delete") << "In Site" << "" << false << QList<bool>{false, false, false, false};
    QTest::newRow("own chat") << "Chatting with: ANNA" << "Delete" << false << QList<bool>{false, false, true, true};
    QTest::newRow("another's chat") << "Chatting with: ben" << "Delete" << false << QList<bool>{false, false, true, false};
    QTest::newRow("administrator") << "Chatting with: ben" << "Delete" << true << QList<bool>{false, false, true, true};
  }
  void buttonStates() {
    QFETCH(QString, status);
    QFETCH(QString, actDelete);
    QFETCH(bool, admin);
    QFETCH(QList<bool>, enabled);
    m_pSession->Engine().Session().admin = admin;
    TestVisitor v{"s1", status};
    QString line = v.Line();
    line.replace("<fld>Delete<fld>", "<fld>" + actDelete + "<fld>");
    C().Session().Refresh().Apply(line + "<blk>1<blk><blk><blk><blk><blk>");
    QCOMPARE((QList<bool>{Button(C(), "Accept")->isEnabled(), Button(C(), "Busy")->isEnabled(),
                          Button(C(), "Delete")->isEnabled(), Button(C(), "Join")->isEnabled()}),
             enabled);
    // The right-click menu grays what the buttons have off.
    Table(C())->selectRow(0);
    C().OnListRightClick();
    QTRY_VERIFY(ShownMenu() != nullptr);
    for (QAction* a : ShownMenu()->actions())
      if (a->text() == "&Delete") QCOMPARE(a->isEnabled(), enabled[2]);
    ShownMenu()->close();
  }

  void actionRepliesCarryTheirOwnPurpose() {
    Show({{"s1"}});
    Table(C())->clearSelection();
    C().OnBlockIp();  // nothing selected: only the box, and nothing pending
    QCOMPARE(BoxTexts(), QStringList{"Please Select an IP Address to be blocked!"});
    Desktop().Clear();
    Table(C())->selectRow(0);
    const struct {
      void (CMainDlg::*command)();
      std::string reply;
      const char* box;
    } rows[] = {{&CMainDlg::OnDelete, "true", "IP Address:10.0.0.1 has been deleted!"},
                {&CMainDlg::OnBlockIp, "", " cannot be blocked!"},
                {&CMainDlg::OnBlockIp, "10.0.0.1", "10.0.0.1 blocked Sucessfully!"},
                {&CMainDlg::OnInvite, "Zoe", "Invitation has been sent to :Zoe"},
                {&CMainDlg::OnBusy, "true", nullptr}};
    for (const auto& row : rows) {
      Desktop().Clear();
      m_replies["wn-action.php"] = row.reply;
      (C().*row.command)();
      Settle();
      QCOMPARE(BoxTexts(), row.box ? QStringList{row.box} : QStringList{});
    }
    // A failed request shows nothing at all.
    Desktop().Clear();
    m_pSession->Server().SetScript([](const httplib::Request&) { return CScriptedServer::Reply{200, "DISCONNNNECT"}; });
    C().OnDelete();
    C().OnInvite();
    Settle();
    QVERIFY(Desktop().messageBoxes.isEmpty());
  }

  void proactiveAddresses_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pushed");
    QTest::newRow("no scheme") << " offers/today.html " << "http://offers/today.html";
    QTest::newRow("news, any case") << "News:shop" << "News:shop";
    QTest::newRow("blanks") << "   " << "";
  }
  void proactiveAddresses() {
    QFETCH(QString, typed);
    QFETCH(QString, pushed);
    QCOMPARE(CVisitorActions::NormalisedPopUrl(typed), pushed);
  }

  // The chats in the order they opened, visitor and operator chats alike;
  // a closed one drops out, and the steps wrap round.
  void theKeyboardsOrderOfChats() {
    QWidget console;
    CChatManager engine;
    CChatList chats;
    CChatWindows visitors(chats, CChatList::Kind::Visitor), operators(chats, CChatList::Kind::Operator);
    CChatCycle cycle(&console, chats);
    cycle.Watch(visitors);
    cycle.Watch(operators);
    const auto standIn = [&engine](const char* id, ChatKind kind) {
      return [&engine, id, kind] { return StandInChat(engine, id, kind); };
    };
    QWidget* zoe = visitors.Open("s1", standIn("s1", ChatKind::Visitor));
    QWidget* ben = operators.Open("o1", standIn("o1", ChatKind::Operator));
    QWidget* yuri = visitors.Open("s2", standIn("s2", ChatKind::Visitor));
    QCOMPARE(cycle.Windows(), (QList<QWidget*>{zoe, ben, yuri}));
    ben->hide();  // closing: hidden now, deleted later
    QCOMPARE(cycle.Neighbour(zoe, 1), yuri);
    QCOMPARE(cycle.Neighbour(yuri, 1), zoe);
    QCOMPARE(cycle.Neighbour(zoe, -1), yuri);
    QCOMPARE(cycle.Neighbour(&console, 1), zoe);
    QCOMPARE(cycle.Neighbour(&console, -1), yuri);
    delete zoe;
    QCOMPARE(cycle.Windows(), QList<QWidget*>{yuri});
    delete ben;
    delete yuri;
    QCOMPARE(cycle.Neighbour(&console, 1), nullptr);
  }

  void acceptingOpensOneWindowPerChat() {
    Show({{"s1", "Chat Request"}, {"s2", "Chat Request"}, {"s3", "Chat Request"}});
    struct Page {
      QUrl url;
      bool quietly;
      QRect beside;
    };
    QList<Page> pages;
    // The history comes up in another process a moment later: quietly, or it
    // takes the keys meant for the new chat window, and beside that window.
    m_pSession->Engine().SetPageOpener(
        [&](const QUrl& url, bool, bool quietly, const QRect& beside) { pages.append({url, quietly, beside}); });
    m_replies["w-adc.php"] = "Taken by ben<fld><fld><fld><fld>";
    Table(C())->selectRow(0);
    C().OnAccept();
    Settle();
    QCOMPARE(Desktop().messageBoxes.size(), 1);
    QCOMPARE(Desktop().messageBoxes[0].caption, QString("Chat"));
    QCOMPARE(Rooms().ChatWindows().Count(), 0);
    for (const char* id : {"s1", "s2", "s3"}) {
      m_replies["w-adc.php"] = QString("true<fld>Zoe<fld>z@mail.example<fld>Y<fld>%1").arg(id).toStdString();
      Rooms().VisitorActions().AcceptChat(id);
      Settle();
    }
    QCOMPARE(Rooms().ChatWindows().Count(), 3);
    QCOMPARE(Rooms().ChatWindows().Find("s2")->windowTitle(), QString("Chatting with:Zoe"));
    QCOMPARE(pages.size(), 3);  // the chat history of each, asked for with "Y"
    QVERIFY(pages[0].url.toString().contains("opurl=vchathist&ipadd=10.0.0.1"));
    QVERIFY(pages[0].quietly);
    QCOMPARE(pages[1].beside, Rooms().ChatWindows().Find("s2")->frameGeometry());
    // A transfer notice for an open chat raises it; without its id it does nothing.
    C().Session().Refresh().Apply(RefreshReplyText({{"s1"}}).replace("<blk><blk><blk><blk><blk>", "<blk><blk><blk>chat_trans<blk><blk>"));
    C().Session().Refresh().Apply(QStringList{RefreshReplyText({{"s1"}}).section("<blk>", 0, 3), "chat_trans<fld>s2", "", ""}.join("<blk>"));
    Settle();
    QCOMPARE(Rooms().ChatWindows().Count(), 3);
    QCOMPARE(Targets("w-adc.php").size(), 4);  // one refused and three accepted; the raise sent nothing

    // Logging out closes each chat window once.
    QList<QPointer<QWidget>> windows;
    for (const QString& id : Rooms().ChatWindows().Ids()) windows.append(Rooms().ChatWindows().Find(id));
    C().LogOut(false);
    QTRY_VERIFY(std::all_of(windows.begin(), windows.end(), [](const QPointer<QWidget>& w) { return w.isNull(); }));
    QVERIFY(Targets("endchatcl").isEmpty());
  }

  // Closing the console with chats open asks first: Yes ends each live
  // chat (not one the visitor has left), No leaves them open at the
  // service, Cancel keeps the console and its chats.
  void closingWithChatsOpen_data() {
    QTest::addColumn<CDesktopServices::Answer>("answer");
    QTest::addColumn<QStringList>("ended");
    QTest::newRow("end them") << CDesktopServices::Answer::Yes << QStringList{"c1", "c2"};
    QTest::newRow("keep them") << CDesktopServices::Answer::No << QStringList{};
    QTest::newRow("cancel") << CDesktopServices::Answer::Cancel << QStringList{};
  }
  void closingWithChatsOpen() {
    QFETCH(CDesktopServices::Answer, answer);
    QFETCH(QStringList, ended);
    m_replies["wn-action.php"] = "true";
    m_pSession->Engine().Session().chatPeriodMs = 3600000;  // only the test polls
    for (const char* id : {"c1", "c2", "c3"}) {
      m_replies["w-adc.php"] = QString("true<fld>Zoe<fld><fld>N<fld>%1").arg(id).toStdString();
      Rooms().VisitorActions().AcceptChat(id);
      Settle();
    }
    m_replies["wn-achats.php"] = "Notice: Chat Closed by User.<tvr_blk><tvr_blk><tvr_blk><tvr_type_split>";
    CChatSession* third = C().Session().Chats().Session("c3");
    third->Poll();
    QTRY_VERIFY(!third->IsLive());
    Desktop().ScriptAnswers({answer});
    C().close();
    QCOMPARE(BoxTexts().filter("chats are still open").size(), 1);
    QStringList endedIds;
    for (const QString& target : Targets("endchatcl")) endedIds.append(target.section("csesid=", 1).section('&', 0, 0));
    endedIds.sort();
    QCOMPARE(endedIds, ended);
    const bool cancelled = answer == CDesktopServices::Answer::Cancel;
    QCOMPARE(C().Session().IsEnded(), !cancelled);
    QTRY_COMPARE(Rooms().ChatWindows().Count(), cancelled ? 3 : 0);
  }

  // A transfer notice comes with every refresh until the chat is taken:
  // one accept per chat it names, whatever the service answers, and a
  // window only for an accept that names its chat. An accept that got no
  // answer is sent again at each notice until one is answered.
  void aTransferNoticeIsActedOnUntilSettled_data() {
    QTest::addColumn<QString>("accept");  // the reply to every accept; "502": an error page
    QTest::addColumn<int>("windows");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<int>("accepts");  // for the first transfer's three notices
    QTest::newRow("refused") << "Taken by ben<fld><fld><fld><fld>" << 0 << 2 << 1;
    QTest::newRow("accepted without a chat id") << "true<fld>Zoe<fld><fld>N<fld>" << 0 << 0 << 1;
    QTest::newRow("accepted") << "true<fld>Zoe<fld><fld>N<fld>t1" << 1 << 0 << 1;
    QTest::newRow("lost on the way") << "502" << 0 << 0 << 3;
  }
  void aTransferNoticeIsActedOnUntilSettled() {
    QFETCH(QString, accept);
    QFETCH(int, windows);
    QFETCH(int, boxes);
    QFETCH(int, accepts);
    m_replies["w-adc.php"] = accept.toStdString();
    const auto notice = [](const QString& text) {
      return QStringList{RefreshReplyText({{"s1"}}).section("<blk>", 0, 3), text, "", ""}.join("<blk>");
    };
    for (const QString& reply : {notice("chat_trans<fld>t1"), notice("chat_trans<fld>t1"), QString("DISCONNNNECT"),
                                 notice("chat_trans<fld>t1")}) {
      C().Session().Refresh().Apply(reply);
      Settle();
    }
    QCOMPARE(Targets("w-adc.php").size(), accepts);
    QCOMPARE(Desktop().sounds.count(kTransferSound), 1);  // rung once, however often it is asked for
    C().Session().Refresh().Apply(notice(QString()));  // taken: the notice is gone
    C().Session().Refresh().Apply(notice("chat_trans<fld>t1"));  // and handed over again
    Settle();
    QCOMPARE(Targets("w-adc.php").size(), accepts + (windows == 1 ? 0 : 1));  // an open window is only raised
    QCOMPARE(Rooms().ChatWindows().Count(), windows);
    QCOMPARE(Desktop().messageBoxes.size(), boxes);
  }

  // One bad line must not stall a chat: a NUL or an escape in it is
  // dropped, a line too long for any reply is shown cut, and the next poll
  // asks past it either way.
  void aBadChatLineDoesNotStallTheChat_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("shown");
    QTest::newRow("NUL") << QByteArray("Zoe: be\0fore", 12) << "Zoe: before";
    QTest::newRow("escape and bell") << QByteArray("Zoe: \x1b[1mbold\x07") << "Zoe: [1mbold";
    QTest::newRow("over the reply cap") << "Zoe: " + QByteArray(3'000'000, 'y') << "characters not shown";
  }
  void aBadChatLineDoesNotStallTheChat() {
    QFETCH(QByteArray, line);
    QFETCH(QString, shown);
    m_pSession->Engine().Session().chatPeriodMs = 100;
    m_replies["w-adc.php"] = "true<fld>Zoe<fld><fld>N<fld>c1";
    m_replies["wn-achats.php"] = (line + "<tvr_ln>Zoe: after<tvr_blk>7<tvr_blk><tvr_blk><tvr_type_split>").toStdString();
    Rooms().VisitorActions().AcceptChat("c1");
    QTRY_VERIFY(Rooms().ChatWindows().Find("c1") != nullptr);
    auto* chat = qobject_cast<CChatDlg*>(Rooms().ChatWindows().Find("c1"));
    QTRY_VERIFY_WITH_TIMEOUT(chat->Transcript()->toPlainText().contains("Zoe: after"), 10000);
    QVERIFY(chat->Transcript()->toPlainText().contains(shown));
    QTRY_VERIFY(!Targets("wn-achats.php").filter("lastnum=7").isEmpty());
    const QString text = chat->Transcript()->toPlainText();
    QCOMPARE(text.count("Zoe: after"), 1);
    QVERIFY(std::none_of(text.begin(), text.end(), [](QChar c) { return c < u' ' && c != u'\n' && c != u'\r'; }));
  }

  void theChosenOperatorStaysChosenByName() {
    const QString three = "ann2<subfld><subfld><subfld>Online<fld>ben<subfld><subfld><subfld>Online<fld>"
                          "cy<subfld><subfld><subfld>Online";
    Show({{"s1"}}, three);
    QComboBox* box = OperatorsBox(C());
    box->setCurrentIndex(2);  // cy
    Show({{"s1"}}, three.section("<fld>", 0, 0) + "<fld>" + three.section("<fld>", 2, 2));  // ben above him leaves
    QCOMPARE(box->currentText(), QString("cy (Online)"));
    Show({{"s1"}}, three.section("<fld>", 0, 0));  // cy leaves: nobody is chosen
    QCOMPARE(box->currentIndex(), -1);
    // A message that could not be sent comes back into its box.
    Show({{"s1"}}, three);
    box->setCurrentIndex(0);
    m_replies["w-admsg.php"] = "DISCONNNNECT";
    MessageLine(C())->setText("hello");
    C().OnSendMessage();
    Settle();
    QCOMPARE(MessageLine(C())->text(), QString("hello"));
    // A box says so, naming the addressee, never the failure marker.
    QCOMPARE(Desktop().messageBoxes.size(), 1);
    QVERIFY(BoxTexts().value(0).contains("ann2") && !BoxTexts().value(0).contains("DISCONN"));
  }

  void aRepeatedMessageNoticeAsksOneAtATime() {
    m_pSession->Server().SetScript([](const httplib::Request& req) {
      const bool messages = req.path.find("w-admsg.php") != std::string::npos;
      return CScriptedServer::Reply{200, messages ? "" : "online", messages ? 300 : 0};
    });
    const QString notice = QStringList{RefreshReplyText({{"s1"}}).section("<blk>", 0, 3), "message", "", ""}.join("<blk>");
    for (int i = 0; i < 3; ++i) C().Session().Refresh().Apply(notice);
    Settle();
    QCOMPARE(Targets("w-admsg.php").size(), 1);
    QVERIFY(QApplication::topLevelWidgets().size() < 10);  // an empty reply opens no message window
    // Once answered, the next notice asks again.
    C().Session().Refresh().Apply(notice);
    Settle();
    QCOMPARE(Targets("w-admsg.php").size(), 2);
  }

  void operatorCommands() {
    FooButton* invite = Button(C(), "Invite");  // in the Operators view it asks the operator for a chat
    Show({{"s1"}}, "ben<subfld>oc7<subfld>op_chat<subfld>Online<fld>cy<subfld><subfld>Initiate<subfld>Offline");
    Tabs(C())[2]->click();
    Table(C())->selectRow(0);
    C().OnListClick();
    QVERIFY(Button(C(), "Accept")->isEnabled() && Button(C(), "Busy")->isEnabled());
    QVERIFY(!invite->isEnabled());
    QCOMPARE(invite->text(), QString("&Request Chat"));
    QVERIFY(!Button(C(), "Operator LogOut")->isEnabled());  // not an administrator
    m_replies["wn-opacpt_chts.php"] = "DISCONNNNECT";
    C().OnAccept();
    Settle();
    QCOMPARE(Rooms().OperatorChatWindows().Count(), 0);
    m_replies["wn-opacpt_chts.php"] = "ben<fld>oc7";
    Rooms().OperatorActions().AcceptChat("oc7");
    Settle();
    QCOMPARE(Rooms().OperatorChatWindows().Count(), 1);
    QCOMPARE(Rooms().OperatorChatWindows().Find("oc7")->windowTitle(), QString("Chatting with:ben"));
    // A message to the operator chosen in the box, sent by Enter; the reply
    // is said in the status line, with no box to dismiss.
    m_replies["w-admsg.php"] = "Message sent";
    MessageLine(C())->setText("call me & soon");
    QTest::keyClick(MessageLine(C()), Qt::Key_Return);
    Settle();
    QVERIFY(BoxTexts().isEmpty());
    QCOMPARE(StatusLine(C())->text(), QString("Message sent"));
    QVERIFY(MessageLine(C())->text().isEmpty());
    QVERIFY(Targets("w-admsg.php").value(0).contains("adid=ben&action=save&admsg=call%20me%20%26%20soon&adminid=anna"));
  }

  // The commands follow the selection however it moves: after a click on a
  // chat request and Down, Accept sent an accept for a visitor who had asked
  // for nothing. Enter accepts a request and nothing else.
  void keyboardSelectionAndAccept_data() {
    QTest::addColumn<QList<int>>("keys");  // on the table, after a click on row 0
    QTest::addColumn<bool>("pressAccept");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QStringList>("accepted");
    QTest::newRow("down to In Site") << QList<int>{Qt::Key_Down} << true << "s2" << QStringList{};
    QTest::newRow("down and up") << QList<int>{Qt::Key_Down, Qt::Key_Up} << true << "r1" << QStringList{"r1"};
    QTest::newRow("Enter, next request") << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Enter} << false << "r3"
                                         << QStringList{"r3"};
    QTest::newRow("Enter on In Site") << QList<int>{Qt::Key_Down, Qt::Key_Return} << false << "s2" << QStringList{};
  }
  void keyboardSelectionAndAccept() {
    QFETCH(QList<int>, keys);
    QFETCH(bool, pressAccept);
    QFETCH(QString, selected);
    QFETCH(QStringList, accepted);
    m_replies["w-adc.php"] = "DISCONNNNECT";  // only the request counts here
    Show({{"r1", "Chat Request"}, {"s2"}, {"r3", "Chat Request"}});
    const QRect first = Table(C())->visualRect(Table(C())->model()->index(0, 0));
    QTest::mouseClick(Table(C())->viewport(), Qt::LeftButton, {}, first.center());
    for (int key : keys) QTest::keyClick(Table(C()), Qt::Key(key));
    if (pressAccept) C().OnAccept();  // as Alt+C or a stale menu would
    Settle();
    QStringList ids;
    for (const QString& target : Targets("w-adc.php")) ids.append(target.section("csesid=", 1).section('&', 0, 0));
    QCOMPARE(ids, accepted);
    QVERIFY(C().isVisible());
    // The menu key opens the selected row's menu, grayed by its state, and
    // the details panel asks about the selected visitor.
    QTest::keyClick(Table(C()), Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(ShownMenu() != nullptr);
    QCOMPARE(ShownMenu()->actions().value(2)->isEnabled(), selected != "s2");
    ShownMenu()->close();
    QTRY_VERIFY(!Targets("wn-lmudets.php").filter("csesid=" + selected + "&").isEmpty());
  }

  // The Operators view: Accept and Deny come from the selected entry alone,
  // also after a refresh carrying a request; and the Status colours.
  void operatorsView_data() {
    QTest::addColumn<int>("row");  // -1: none selected
    QTest::addColumn<bool>("acceptAndDeny");
    QTest::newRow("nothing selected") << -1 << false;
    QTest::newRow("the asking operator") << 0 << true;
    QTest::newRow("Down to another") << 1 << false;
  }
  void operatorsView() {
    QFETCH(int, row);
    QFETCH(bool, acceptAndDeny);
    const QString operators = "ben<subfld>oc7<subfld>op_chat<subfld>Online<fld>cy<subfld><subfld>Initiate<subfld>Offline<fld>"
                              "dee<subfld>oc9<subfld>Chatting<subfld>Online<fld>eve<subfld><subfld><subfld>Online";
    Show({{"s1"}}, operators);
    Tabs(C())[2]->click();
    Table(C())->selectRow(0);
    if (row < 0) Table(C())->clearSelection();
    if (row > 0) QTest::keyClick(Table(C()), Qt::Key_Down);
    Show({{"s1"}}, operators);
    QCOMPARE(Button(C(), "Accept")->isEnabled() || Button(C(), "Busy")->isEnabled(), acceptAndDeny);
    C().OnAccept();
    C().OnBusy();
    Settle();
    QCOMPARE(Targets("wn-opacpt_chts.php").size() + Targets("wn-opclchat.php").size(), acceptAndDeny ? 2 : 0);
    const QList<QColor> colours{QColor(210, 0, 0), QColor(210, 0, 0), QColor(210, 0, 0), QColor(10, 192, 10)};
    for (int r = 0; r < colours.size(); ++r)
      QCOMPARE(Table(C())->model()->index(r, 1).data(Qt::ForegroundRole).value<QColor>(), colours[r]);
  }
};

QTEST_MAIN(TestConsoleCommands)
#include "tst_ConsoleCommands.moc"
