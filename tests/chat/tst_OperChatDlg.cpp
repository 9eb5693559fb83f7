// The operator chat window over its session, and the operator message
// window, against a scripted service.
#include "ChatRichEd.h"
#include "MessageDlg.h"
#include "MySpellEditCtrl.h"
#include "OperChatDlg.h"
#include "QueuedReplies.h"
#include "SessionFixture.h"

#include <httplib.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

class TestOperChatDlg : public QObject {
  Q_OBJECT

  std::unique_ptr<CSessionFixture> m_pSession;
  CQueuedReplies m_replies;
  QPointer<COperChatDlg> m_pChat;

  COperChatDlg& Chat() { return *m_pChat; }
  COperatorChatSession& Session() { return *Chat().Chat(); }
  // The service answers the next request of this script with `reply`;
  // the chat asks, and every answer has reached it on return.
  void Answer(const std::string& script, const QString& reply, const std::function<void()>& ask) {
    const int before = int(Targets(script.c_str()).size());
    m_replies.Queue(script, reply);
    ask();
    QTRY_COMPARE(int(Targets(script.c_str()).size()), before + 1);
    QTRY_COMPARE(m_pSession->Engine().RunningRequests(), 0);
  }
  QStringList Targets(const char* script) { return m_pSession->Server().Targets().filter(script); }

 private slots:
  void init() {
    m_pSession = std::make_unique<CSessionFixture>();
    // A line sent to this service is refused; everything else gets an
    // empty answer unless the test queued one.
    m_replies.Clear();
    m_replies.Stand("wn-op_messub.php", {500, ""});
    m_pSession->UseScriptedServer(m_replies.Script());
    m_pSession->LogIn();
    m_pSession->Engine().Session().operChatPeriodMs = 3600000;  // the test polls by hand
    auto* session = new COperatorChatSession(m_pSession->Engine(), "ben", "oc1");
    m_pChat = new COperChatDlg(*session);
    session->setParent(m_pChat);
    Chat().show();
    session->Start();
  }
  void cleanup() {
    delete m_pChat.data();
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
      if (qobject_cast<CMessageDlg*>(w)) delete w;
    m_pSession.reset();
  }

  void pollReplies() {
    QCOMPARE(Chat().windowTitle(), QString("Chatting with:ben"));
    const QString twoLines = "ben: hi<tvr_ln>ANNA: hello<tvr_blk>7<tvr_blk><tvr_blk>sound4";
    QSignalSpy rang(&Session(), &CChatSession::SoundRung);
    const auto poll = [this] { Session().Poll(); };
    Answer("wn-opachats.php", twoLines, poll);
    Answer("wn-opachats.php", twoLines, poll);  // the same number again adds nothing
    QCOMPARE(Chat().Transcript()->toPlainText(), QString("ben: hi\nANNA: hello\n"));
    QCOMPARE(Session().LastNumber(), QString("7"));
    QCOMPARE(Session().Lines().size(), 2);
    QCOMPARE(rang.size(), 2);
    for (const char* bad : {"a<tvr_blk>8<tvr_blk>", "a<tvr_blk>8<tvr_blk><tvr_blk><tvr_blk>sound4", "DISCONNNNECT"})
      Answer("wn-opachats.php", bad, poll);
    QCOMPARE(Session().LastNumber(), QString("7"));
    QCOMPARE(rang.size(), 2);
    QCOMPARE(rang.last().first().value<ServiceSound>(), ServiceSound::NewChatLine);
    QVERIFY(m_pSession->Desktop().sounds.isEmpty());
    Answer("wn-opachats.php", "Notice: Chat Closed by Operator.<tvr_blk><tvr_blk><tvr_blk>", poll);
    QTRY_VERIFY(!Session().IsLive());
    QVERIFY(!Session().IsPolling());
    QVERIFY(Chat().Transcript()->toPlainText().endsWith("Notice: Chat Closed by Operator.\n"));
    // Ended by the other side, it says so and takes no more lines; Close
    // Chat then only closes the window.
    QCOMPARE(Chat().windowTitle(), QString("Chatting with:ben (chat ended)"));
    QCOMPARE(Chat().TypingLine()->text(), QString("ben has ended the chat."));
    QVERIFY(Chat().EntryBox()->isReadOnly());
    Chat().EndChat();
    QTRY_VERIFY(m_pChat.isNull());
    QVERIFY(Targets("wn-opclchat.php").isEmpty());
  }

  void typing() {
    QTest::keyClicks(Chat().EntryBox(), "abcdefghijk");  // eleven characters
    QTRY_COMPARE(Targets("stat=otype").size(), 3);       // after the 1st, 6th and 11th
    const struct {
      const char* reply;
      const char* shown;
    } rows[] = {{"ben", "ben is Typing"}, {"DISCONNNNECT", "ben is Typing"}, {"blank", ""}};
    for (const auto& row : rows) {
      Answer("wn-op_type.php", row.reply, [this] { Session().Poll(); });
      QTRY_COMPARE(Chat().TypingLine()->text(), QString(row.shown));
    }
    QTest::keyClick(Chat().EntryBox(), Qt::Key_Escape);
    QCOMPARE(Chat().EntryBox()->toPlainText(), QString());
    QVERIFY(Chat().isVisible());
  }

  // Enter with nothing to say sends nothing; a line the service does not
  // take (an error status) comes back into the box.
  void sending() {
    CMySpellEditCtrl* entry = Chat().EntryBox();
    QTest::keyClicks(entry, "  ");
    QTest::keyClick(entry, Qt::Key_Return);
    entry->clear();
    QTest::keyClicks(entry, "lunch?");
    QTest::keyClick(entry, Qt::Key_Return);
    QCOMPARE(entry->toPlainText(), QString());
    QTRY_COMPARE(entry->toPlainText(), QString("lunch?"));
    QCOMPARE(Targets("wn-op_messub.php"), QStringList{"/cpn/wn-op_messub.php?say=lunch%3F&csesid=oc1&adminid=anna&sid=1001"});
    QVERIFY(Chat().Transcript()->toPlainText().startsWith("Notice: the service did not confirm your line"));
  }

  void messagesFromOtherOperators() {
    QSignalSpy rang(&Session(), &CChatSession::SoundRung);
    Answer("w-admsg.php", "DISCONNNNECT", [this] { Chat().ViewMessages(); });  // a failure is no message
    Answer("w-admsg.php", "from demo<ln>call me<fld>please<blk>sound3", [this] { Chat().ViewMessages(); });
    QTRY_COMPARE(rang.size(), 1);
    QCOMPARE(rang.first().first().value<ServiceSound>(), ServiceSound::Message);
    QVERIFY(m_pSession->Desktop().sounds.isEmpty());
    QList<CMessageDlg*> shown;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* m = qobject_cast<CMessageDlg*>(w)) shown.append(m);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0]->Text(), QString("from demo:  call me\nplease"));
  }

  void closeChat() {
    // A failed close keeps the window, no longer polling; the close box
    // ends the chat as Close Chat does.
    Answer("wn-opclchat.php", "DISCONNNNECT", [this] { Chat().EndChat(); });
    QVERIFY(!Session().IsPolling() && Session().IsLive());
    QVERIFY(Chat().isVisible());
    Chat().close();
    QTRY_COMPARE(Targets("wn-opclchat.php").size(), 2);
    QTRY_VERIFY(m_pChat.isNull());  // any answer closes it
  }
};

QTEST_MAIN(TestOperChatDlg)
#include "tst_OperChatDlg.moc"
