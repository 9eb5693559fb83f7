// The chat window over its session against a scripted service: polling,
// sending, typing, closing, and the replies that arrive while it lives or
// after it is gone.
#include "OutsideTextRows.h"
#include "ChatDlg.h"
#include "ChatPollReply.h"
#include "ChatRichEd.h"
#include "Dictionary.h"
#include "SharedDictionary.h"
#include "MySpellEditCtrl.h"
#include "ConsoleSession.h"
#include "OperatorList.h"
#include "Preferences.h"
#include "RefreshCycle.h"
#include "ResponseCompleter.h"
#include "ReplyBuilders.h"
#include "SessionFixture.h"
#include "VisitorTableModel.h"
#include "VisitorDetails.h"

#include <httplib.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QPointer>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

Q_DECLARE_METATYPE(CScriptedServer::Reply)
Q_DECLARE_METATYPE(CDesktopServices::Answer)

namespace {

// The site's operators as the refresh lists them: "name (status)" each.
QList<OperatorEntry> Operators(const QStringList& texts) {
  QList<OperatorEntry> entries;
  for (const QString& text : texts)
    entries.append({text.section(' ', 0, 0), QString(), QString(), text.section('(', 1).chopped(1)});
  return entries;
}

QString PollReply(const QString& lines, const QString& number, const QString& sound = QString(),
                  const QString& typing = QString()) {
  return lines + "<tvr_blk>" + number + "<tvr_blk><tvr_blk>" + sound + "<tvr_type_split>" + typing;
}

}  // namespace

class TestChatDlg : public QObject {
  Q_OBJECT

  std::unique_ptr<CSessionFixture> m_pSession;
  std::unique_ptr<CConsoleSession> m_pConsole;
  QStringList m_pollReplies;  // answered in order, then empty polls
  int m_nPollDelayMs = 0;
  CScriptedServer::Reply m_sendReply;  // to every line sent
  CScriptedServer::Reply m_endReply;   // to Close Chat
  CScriptedServer::Reply m_transferReply;
  CScriptedServer::Reply m_cannedReply;   // asked for when a chat opens
  CScriptedServer::Reply m_detailsReply;  // the same
  QString m_nameReply;                    // asked for when the visitor joins
  QPointer<CChatDlg> m_pChat;

  CChatDlg& Chat() { return *m_pChat; }
  CVisitorChatSession& Session() { return *Chat().Chat(); }
  // The chat as accepting it opens it: a session, its window, then polling,
  // with the first answers in.
  void OpenChat() {
    delete m_pChat.data();
    auto* session = new CVisitorChatSession(m_pSession->Engine(), m_pConsole.get(), "10.0.0.9", "c&1", "", "", false);
    m_pChat = new CChatDlg(*session);
    session->setParent(m_pChat);
    Chat().show();
    session->Start();
    QTRY_COMPARE(m_pSession->Engine().RunningRequests(), 0);
  }
  void OpenChatWithCanned(const QString& reply) {
    m_cannedReply = {200, reply.toStdString()};
    OpenChat();
  }
  // One tick of the chat, answered with `reply`.
  void Poll(const QString& reply) {
    m_pollReplies.append(reply);
    Session().Poll();
    QTRY_VERIFY(!Session().IsPollOut());
  }
  QStringList Said() {  // the lines sent, in the order they reached the server
    QStringList said;
    const QStringList targets = m_pSession->Server().Targets();
    for (int i = 0; i < targets.size(); ++i)
      if (targets[i].contains("w-amessub.php")) said.append(m_pSession->Server().Queries()[i].value("say"));
    return said;
  }
  void Click(QTreeWidgetItem* item) {
    QTreeWidget* tree = item->treeWidget();
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
  }
  QStringList Targets(const char* script) { return m_pSession->Server().Targets().filter(script); }
  QString Transcript() { return Chat().Transcript()->toPlainText(); }
  using Answer = CDesktopServices::Answer;
  // A button of the window by its text, as the operator sees it.
  QPushButton* Button(const QString& text) {
    for (QPushButton* b : Chat().findChildren<QPushButton*>())
      if (b->text() == text) return b;
    return nullptr;
  }

  QTemporaryDir m_system;  // the system's Hunspell dictionaries of this test: German

 private slots:
  void initTestCase() {
    QDir().mkpath(m_system.filePath("hunspell"));
    QFile aff(m_system.filePath("hunspell/de_DE.aff")), dic(m_system.filePath("hunspell/de_DE.dic"));
    QVERIFY(aff.open(QIODevice::WriteOnly) && dic.open(QIODevice::WriteOnly));
    aff.write("SET UTF-8\n");
    dic.write("1\nklar\n");
    qputenv("TALVERO_HUNSPELL_DIRS", m_system.filePath("hunspell").toUtf8());
    qputenv("XDG_DATA_HOME", m_system.filePath("data").toUtf8());
  }
  void init() {
    m_pSession = std::make_unique<CSessionFixture>();
    m_pollReplies.clear();
    m_nPollDelayMs = 0;
    m_sendReply = {200, "true"};
    m_endReply = {200, "false"};
    m_transferReply = {200, "true"};
    m_cannedReply = {200, ""};
    m_detailsReply = {200, "too<fld>few"};
    m_nameReply.clear();
    m_pSession->UseScriptedServer([this](const httplib::Request& req) {
      if (req.path.find("wn-achats.php") != std::string::npos) {
        const QString reply = m_pollReplies.isEmpty() ? PollReply("", "") : m_pollReplies.takeFirst();
        return CScriptedServer::Reply{200, reply.toStdString(), m_nPollDelayMs};
      }
      if (req.path.find("w-amessub.php") != std::string::npos) return m_sendReply;
      if (req.path.find("wn-action.php") != std::string::npos) return m_endReply;
      if (req.path.find("w-ctransf.php") != std::string::npos) return m_transferReply;
      if (req.path.find("wn-lmudets.php") != std::string::npos) return m_detailsReply;
      if (req.path.find("wn-amespc.php") != std::string::npos) return m_cannedReply;
      if (req.has_param("opurl") && req.get_param_value("opurl") == "namemail")
        return CScriptedServer::Reply{200, m_nameReply.toStdString()};
      return CScriptedServer::Reply{200, ""};
    });
    m_pSession->LogIn();
    m_pSession->Engine().Session().chatPeriodMs = 3600000;  // the test ticks by hand
    m_pConsole = std::make_unique<CConsoleSession>(m_pSession->Engine());
    m_pConsole->Operators().SetEntries(Operators({"anna (Online)", "ben (Online)", "demo (Offline)"}));
    OpenChat();
  }
  // The chat's visitor as the console's next refresh lists it, when the
  // session keeps details for it.
  const CSiteVisitor* CachedDetails() {
    m_pConsole->Refresh().Apply(RefreshReplyText({{"c&1"}}));
    const CSiteVisitor* visitor = m_pConsole->Visitors().Find("c&1");
    return visitor && visitor->m_bDetailsLoaded ? visitor : nullptr;
  }
  void cleanup() {
    delete m_pChat.data();
    m_pConsole.reset();
    m_pSession.reset();
  }

  // The entry box checks in the visitor's language where a dictionary of
  // it is there, and stays English where none is.
  void theEntryBoxFollowsTheVisitorsLanguage_data() {
    QTest::addColumn<QString>("browserLanguage");
    QTest::addColumn<QString>("checkedIn");
    QTest::newRow("German") << "German (de-DE)" << "de";
    QTest::newRow("no Japanese dictionary") << "Japanese (ja-JP)" << "en";
    QTest::newRow("not given") << "" << "en";
  }
  void theEntryBoxFollowsTheVisitorsLanguage() {
    QFETCH(QString, browserLanguage);
    QFETCH(QString, checkedIn);
    VisitorDetails details;
    details.fields[VisitorDetails::Language] = browserLanguage;
    Chat().SetVisitorDetails(details);
    QTRY_COMPARE(Chat().EntryBox()->Language(), checkedIn);
  }

  void opening() {
    QCOMPARE(Chat().windowTitle(), QString("Chatting with:10.0.0.9"));
    QTRY_COMPARE(Targets("wn-lmudets.php"), QStringList{"/cpn/wn-lmudets.php?csesid=c%261&nvar=Y"});
    QVERIFY(!CachedDetails());  // a reply of two pieces is no details record
    QVERIFY(Session().IsPolling());
  }

  void aTickWhileAPollIsOutSendsNothing() {
    m_nPollDelayMs = 300;
    m_pollReplies = {PollReply("Zoe: one<tvr_ln><tvr_ln>Zoe: two", "3"), PollReply("Zoe: one<tvr_ln>Zoe: two", "3")};
    Session().Poll();
    Session().Poll();
    QTRY_COMPARE(Session().LastNumber(), QString("3"));
    QCOMPARE(Targets("wn-achats.php").size(), 1);
    QVERIFY(Targets("wn-achats.php").first().endsWith("csesid=c%261&ipadd=10.0.0.9&sid=1001&lastnum=1"));
    Session().Poll();  // the same number again appends nothing
    QTRY_VERIFY(!Session().IsPollOut());
    QCOMPARE(Transcript(), QString("Zoe: one\nZoe: two\n"));
    QCOMPARE(Session().Lines().size(), 2);
    // Every tick announces the operator, one announcement out at a time:
    // the second tick came while the first was out.
    QTRY_COMPARE(Targets("w-mrefresh.php").size(), 2);
    QCOMPARE(Chat().OperatorsBox()->count(), 2);
  }

  void pollReplies_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("polling");
    QTest::addColumn<int>("sounds");
    QTest::addColumn<int>("flashes");
    QTest::newRow("visitor typing") << PollReply("", "", "", "vt") << "Visitor is Typing" << true << 0 << 0;
    QTest::newRow("a visitor line flashes") << PollReply("Zoe: hi", "2", "sound4") << "" << true << 1 << 1;
    QTest::newRow("an own line does not") << PollReply("ANNA: hi", "2") << "kept" << true << 0 << 0;
    QTest::newRow("a visitor named like the operator does") << PollReply("Annabel: hi", "2") << "" << true << 0 << 1;
    QTest::newRow("the visitor left") << PollReply("Notice: Chat Closed by User.", "")
                                      << "The visitor has left: the chat has ended." << false << 0 << 0;
    QTest::newRow("ended at the service") << PollReply("Notice: Chat Closed by Operator.", "") << "The chat has ended."
                                          << false << 0 << 0;
    QTest::newRow("without its typing part") << "Notice: Chat Closed by User.<tvr_blk><tvr_blk><tvr_blk>"
                                             << "kept" << true << 0 << 0;
    QTest::newRow("a failure") << "DISCONNNNECT" << "kept" << true << 0 << 0;
  }
  void pollReplies() {
    QFETCH(QString, reply);
    QFETCH(QString, status);
    QFETCH(bool, polling);
    QFETCH(int, sounds);
    QFETCH(int, flashes);
    Chat().StatusLine()->setText("kept");
    QWidget elsewhere;  // the operator works in another window
    elsewhere.show();
    elsewhere.activateWindow();
    QSignalSpy rang(&Session(), &CChatSession::SoundRung);
    QSignalSpy attention(&Chat(), &CChatWindowBase::AttentionWanted);
    Poll(reply);
    QCOMPARE(Chat().StatusLine()->text(), status);
    QCOMPARE(Session().IsPolling(), polling);
    QCOMPARE(int(rang.size()), sounds);
    if (sounds > 0) QCOMPARE(rang.first().first().value<ServiceSound>(), ServiceSound::NewChatLine);
    QCOMPARE(int(attention.size()), flashes);
    // The window decides no alert: it neither rings nor flashes itself.
    QVERIFY(m_pSession->Desktop().sounds.isEmpty() && m_pSession->Desktop().flashes.isEmpty());
  }

  void typingEnterAndEscape() {
    CMySpellEditCtrl* entry = Chat().EntryBox();
    entry->setFocus();
    QTest::keyClicks(entry, "hello");
    QTest::keyClick(entry, Qt::Key_Exclam);  // the sixth character
    QTest::keyClicks(entry, "abcde");
    QTest::keyClick(entry, Qt::Key_Escape);  // clears, and never closes the window
    QCOMPARE(entry->toPlainText(), QString());
    QVERIFY(Chat().isVisible());
    QTest::keyClick(entry, Qt::Key_Return);  // nothing to say: nothing is sent
    QTest::keyClicks(entry, "  ");
    QTest::keyClick(entry, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(entry, Qt::Key_Return);
    QCOMPARE(entry->toPlainText(), QString("  \n"));  // blanks stay as typed
    entry->clear();
    QTest::keyClicks(entry, "see #5 at 100% now");
    QTest::keyClick(entry, Qt::Key_Return);
    QCOMPARE(entry->toPlainText(), QString());
    QTRY_COMPARE(m_pSession->Engine().RunningRequests(), 0);
    QCOMPARE(Said(), QStringList{"see #5 at 100% now"});
    QTRY_COMPARE(Targets("w-otype.php").size(), 4);  // at 6 characters, then at 6, 12 and 18 of the line
    QVERIFY(m_pSession->Desktop().messageBoxes.isEmpty());
  }

  // Tab and Shift+Tab move the keyboard through every control of the
  // window and back, and never type a tab into the line.
  void tabReachesEveryControl() {
    CMySpellEditCtrl* entry = Chat().EntryBox();
    Chat().activateWindow();
    entry->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), entry);
    QTest::keyClicks(entry, "a");
    QSet<QWidget*> reached;
    for (int i = 0; i < 60 && !reached.contains(QApplication::focusWidget()); ++i) {
      reached.insert(QApplication::focusWidget());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), entry);  // round the window and back
    QCOMPARE(entry->toPlainText(), QString("a"));
    for (QWidget* control : Chat().findChildren<QWidget*>())
      if (control->isVisibleTo(&Chat()) && control->isEnabled() && (control->focusPolicy() & Qt::TabFocus) &&
          !control->focusProxy())
        QVERIFY2(reached.contains(control), qPrintable(control->metaObject()->className() + (" " + control->objectName())));
    QTest::keyClick(entry, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), entry);
  }

  // Two lines sent, a draft typed while they are out: a line the service
  // does not take comes back before the draft, and the transcript tells the
  // operator once.
  void aLineTheServiceDidNotTake_data() {
    QTest::addColumn<CScriptedServer::Reply>("reply");
    QTest::addColumn<bool>("taken");
    QTest::newRow("taken") << CScriptedServer::Reply{200, "true", 200} << true;
    QTest::newRow("the chat takes no lines") << CScriptedServer::Reply{200, "false", 200} << false;
    QTest::newRow("an error page") << CScriptedServer::Reply{500, "<h1>Internal Server Error</h1>", 200} << false;
    QTest::newRow("no answer in time") << CScriptedServer::Reply{200, "true", 0, true} << false;
  }
  void aLineTheServiceDidNotTake() {
    QFETCH(CScriptedServer::Reply, reply);
    QFETCH(bool, taken);
    m_sendReply = reply;
    m_pSession->Engine().SetTimeouts(1000, 1000);
    CMySpellEditCtrl* entry = Chat().EntryBox();
    entry->setFocus();
    for (const char* line : {"one", "two"}) {
      QTest::keyClicks(entry, line);
      QTest::keyClick(entry, Qt::Key_Return);
      QCOMPARE(entry->toPlainText(), QString());
    }
    QTest::keyClicks(entry, "dra");
    QTRY_COMPARE(m_pSession->Engine().RunningRequests(), 0);
    QTest::keyClicks(entry, "ft");  // the caret stayed in the draft
    QStringList lines = entry->toPlainText().split('\n');
    QCOMPARE(lines.takeLast(), QString("draft"));
    lines.sort();
    QCOMPARE(lines, taken ? QStringList() : QStringList({"one", "two"}));
    QCOMPARE(Transcript().count("Notice: the service did not confirm your line"), taken ? 0 : 1);
    QVERIFY(m_pSession->Desktop().messageBoxes.isEmpty());  // nothing takes the keyboard from the draft
  }

  // Close Chat closes the window once the service confirms; a refusal or
  // a lost answer is said in the transcript, and the chat goes on polling.
  void closeChat_data() {
    QTest::addColumn<CScriptedServer::Reply>("reply");
    QTest::addColumn<QString>("told");
    QTest::newRow("confirmed") << CScriptedServer::Reply{200, "true"} << "";
    QTest::newRow("refused") << CScriptedServer::Reply{200, "false"} << "The service did not end the chat.";
    QTest::newRow("no answer") << CScriptedServer::Reply{500, "oops"} << "the service did not answer";
  }
  void closeChat() {
    QFETCH(CScriptedServer::Reply, reply);
    QFETCH(QString, told);
    m_endReply = reply;
    Chat().EndChat();
    QTRY_COMPARE(Targets("action=endchatcl&csesid=c%261").size(), 1);
    QTRY_VERIFY(told.isEmpty() ? m_pChat.isNull() : Transcript().contains(told));
    if (told.isEmpty()) return;
    QVERIFY(Chat().isVisible() && Session().IsPolling() && Button("Close Chat")->isEnabled());
    QVERIFY(m_pSession->Desktop().messageBoxes.isEmpty());  // nothing takes the keyboard
  }

  // The close box of a live chat asks: Yes ends it, No closes the window
  // and tells the service nothing, Cancel keeps the window.
  void theCloseBoxAsks_data() {
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<int>("ended");
    QTest::addColumn<bool>("closed");
    QTest::newRow("end the chat") << Answer::Yes << 1 << true;
    QTest::newRow("keep it") << Answer::No << 0 << true;
    QTest::newRow("cancel") << Answer::Cancel << 0 << false;
  }
  void theCloseBoxAsks() {
    QFETCH(Answer, answer);
    QFETCH(int, ended);
    QFETCH(bool, closed);
    m_endReply = {200, "true"};
    m_pSession->Desktop().ScriptAnswers({answer});
    Chat().close();
    QCOMPARE(m_pSession->Desktop().messageBoxes.size(), 1);
    QTRY_COMPARE(m_pChat.isNull(), closed);
    QTRY_COMPARE(m_pSession->Engine().RunningRequests(), 0);
    QCOMPARE(int(Targets("wn-action.php").size()), ended);
  }

  // A chat over for this window (the visitor left, or it went to another
  // operator) says so, sends and polls nothing, keeps its transcript
  // copyable, and closes without a question.
  void aChatThatEnded_data() {
    QTest::addColumn<QString>("caption");
    QTest::newRow("left") << "Chatting with:10.0.0.9 (chat ended)";
    QTest::newRow("transferred") << "Chatting with:10.0.0.9 (transferred to ben)";
  }
  void aChatThatEnded() {
    QFETCH(QString, caption);
    Poll(PollReply("Zoe: bye", "2"));
    m_pollReplies = {PollReply("Notice: Chat Closed by User.", "")};
    m_pConsole->Operators().SetEntries(Operators({"ben (Online)"}));
    Chat().RefreshOperatorCombo();
    Chat().OperatorsBox()->setCurrentIndex(0);
    QTest::currentDataTag() == QByteArray("left") ? Session().Poll() : Chat().TransferChat();
    QTRY_COMPARE(Chat().windowTitle(), caption);
    QVERIFY(!Session().IsPolling() && !Button("&Send")->isEnabled() && !Chat().StatusLine()->text().isEmpty());
    QTRY_COMPARE(m_pSession->Engine().RunningRequests(), 0);
    const qsizetype requests = m_pSession->Server().Targets().size();
    Session().Poll();  // a tick already queued
    Chat().EntryBox()->setFocus();
    QTest::keyClicks(Chat().EntryBox(), "there?");
    QTest::keyClick(Chat().EntryBox(), Qt::Key_Return);
    Chat().Transcript()->selectAll();
    Chat().Transcript()->copy();
    QVERIFY(QGuiApplication::clipboard()->text().contains("Zoe: bye"));
    m_pSession->Desktop().Clear();
    Chat().close();
    QTRY_VERIFY(m_pChat.isNull());
    QVERIFY(m_pSession->Desktop().messageBoxes.isEmpty());
    QCOMPARE(m_pSession->Server().Targets().size(), requests);
  }

  void elapsedTime() {
    QCOMPARE(ChatElapsedText(0), QString("00:00:00"));
    QCOMPARE(ChatElapsedText(3723), QString("01:02:03"));
    QCOMPARE(ChatElapsedText(25 * 3600 + 5), QString("01:00:05"));  // past a day it starts again
  }

  void theJoinNoticeAsksForNameAndEmailOnce() {
    m_nameReply = "Zoe<fld>zoe@mail.example";
    Poll(PollReply("Notice:Now user has join the chat<tvr_ln>Zoe: hi", "3"));
    QTRY_COMPARE(Chat().windowTitle(), QString("Chatting with:Zoe"));
    QCOMPARE(Session().VisitorEmail(), QString("zoe@mail.example"));
    Poll(PollReply("notice:now user has join the chat", "4"));
    QTRY_COMPARE(m_pSession->Engine().RunningRequests(), 0);
    QCOMPARE(Targets("opurl=namemail").size(), 1);
  }

  // The visitor's and the service's text on the chat window's surfaces
  // reads as it was sent: the caption, and the canned responses at the
  // caret with their tooltips, which Qt would take for markup.
  void outsideTextAsSent_data() {
    AddOutsideTextRows();
  }
  void outsideTextAsSent() {
    QFETCH(QString, sent);
    QFETCH(QString, shown);
    OpenChatWithCanned("<blk>Shop<ln>" + sent + "<ln>" + sent);
    m_nameReply = sent + "<fld>zoe@mail.example";
    Poll(PollReply("notice:now user has join the chat", "2"));
    QTRY_COMPARE(Chat().windowTitle(), "Chatting with:" + shown);
    QTest::keyClicks(Chat().EntryBox(), "/");
    QVERIFY(Chat().ResponsesAtCaret()->IsOpen());
    const QListWidgetItem* item = Chat().ResponsesAtCaret()->List()->item(0);
    QCOMPARE(item->text(), shown + QStringLiteral(" \u2014 ") + shown);
    QTextDocument tip;
    tip.setHtml(item->toolTip());
    QCOMPARE(tip.toPlainText(), shown);
  }

  // The list opens for a "/" that starts a word, never for one inside a
  // word or an address the operator types.
  void onlyASlashStartingAWordOpensTheList_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("open");
    QTest::newRow("at the start") << "/" << true;
    QTest::newRow("after a space") << "see /" << true;
    QTest::newRow("and/or") << "and/" << false;
    QTest::newRow("an address") << "http://" << false;
    QTest::newRow("a fraction") << "1/" << false;
    QTest::newRow("a path") << "see ~/" << false;
  }
  void onlyASlashStartingAWordOpensTheList() {
    QFETCH(QString, typed);
    QFETCH(bool, open);
    OpenChatWithCanned("<blk>Shop<ln>Hi<ln>Hello there");
    QTest::keyClicks(Chat().EntryBox(), typed);
    QCOMPARE(Chat().ResponsesAtCaret()->IsOpen(), open);
  }

  void cannedListsAndTheToolTree() {
    // Categories A, A, B, A; a response with too few fields is left out.
    OpenChatWithCanned("Offers<ln>push-http://shop/offers<fld>Bags<ln>http://shop/bags<blk>"
                       "A<ln>Hi<ln>Hello there<fld>A<ln>Same<ln>first<fld>B<ln>Same<ln>second<fld>"
                       "broken<ln>record<fld>A<ln>A<ln>a title like a category");
    QTreeWidget* tree = Chat().ToolTree();
    QStringList roots;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) roots.append(tree->topLevelItem(i)->text(0));
    QCOMPARE(roots, QStringList({"A", "B", "A"}));
    const struct {
      QTreeWidgetItem* item;
      const char* entry;
    } picks[] = {{tree->topLevelItem(0)->child(1), "first"},
                 {tree->topLevelItem(1)->child(0), "second"},
                 {tree->topLevelItem(2)->child(0), "a title like a category"},
                 {tree->topLevelItem(0), ""}};
    tree->expandAll();
    for (const auto& pick : picks) {
      Chat().EntryBox()->clear();
      Click(pick.item);
      QCOMPARE(Chat().EntryBox()->toPlainText(), QString(pick.entry));
    }
    // Push URLs chosen before the lists arrive: the tree stays on them.
    m_cannedReply = {200, "Offers<ln>push-http://shop/offers<fld>Bags<ln>http://shop/bags<fld>Help<ln>http://shop/help<blk>",
                     300};
    OpenChat();
    Chat().ShowPushUrls();
    tree = Chat().ToolTree();
    QTRY_COMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->childCount(), 3);
    Chat().EntryBox()->clear();
    Click(tree->topLevelItem(0)->child(0));
    QCOMPARE(Chat().EntryBox()->toPlainText(), QString("push-http://shop/offers"));
    Chat().EntryBox()->clear();
    // The filter finds across case and accents; Enter takes the first match,
    // Escape clears the filter only.
    OpenChatWithCanned("<blk>Shop<ln>Opening<ln>The Café opens at nine");
    tree = Chat().ToolTree();
    QTest::keyClicks(Chat().ToolFilter(), "CAFE nine");
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTest::keyClick(Chat().ToolFilter(), Qt::Key_Return);
    QCOMPARE(Chat().EntryBox()->toPlainText(), QString("The Café opens at nine"));
    QTest::keyClick(Chat().ToolFilter(), Qt::Key_Escape);
    QCOMPARE(Chat().ToolFilter()->text(), QString());
    QCOMPARE(Chat().EntryBox()->toPlainText(), QString("The Café opens at nine"));
  }

  // A draft with the caret after its first word, then a change the program
  // makes to the box: the draft stays, and one Ctrl+Z takes the change back.
  void draftsSurvive_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("undone");
    QTest::newRow("a response") << "pick" << "Dear Hello there," << "Dear ,";
    QTest::newRow("over a selection") << "select pick" << "Hello there ," << "Dear ,";
    QTest::newRow("the same response twice") << "pick pick" << "Dear Hello thereHello there," << "Dear Hello there,";
    QTest::newRow("by the keyboard") << "enter" << "Dear Hello there," << "Dear ,";
    QTest::newRow("a push URL") << "push pick" << "Dear push-http://shop/offers," << "Dear ,";
    QTest::newRow("switching lists") << "push responses" << "Dear ," << "Dear ,";
    QTest::newRow("Escape") << "escape" << "" << "Dear ,";
  }
  void draftsSurvive() {
    QFETCH(QString, steps);
    QFETCH(QString, after);
    QFETCH(QString, undone);
    OpenChatWithCanned("Offers<ln>push-http://shop/offers<blk>A<ln>Hi<ln>Hello there");
    QTreeWidget* tree = Chat().ToolTree();
    CMySpellEditCtrl* entry = Chat().EntryBox();
    entry->setPlainText("Dear ,");
    QTextCursor caret = entry->textCursor();
    caret.setPosition(5);
    entry->setTextCursor(caret);
    for (const QString& step : steps.split(' ')) {
      if (step == "select") {
        caret.setPosition(0);
        caret.setPosition(4, QTextCursor::KeepAnchor);
        entry->setTextCursor(caret);
      } else if (step == "pick") {
        Click(tree->topLevelItem(0)->child(0));
      } else if (step == "enter") {
        tree->setCurrentItem(tree->topLevelItem(0)->child(0));  // moving there picks nothing
        QTest::keyClick(tree, Qt::Key_Return);
      } else if (step == "push") {
        Chat().ShowPushUrls();
      } else if (step == "responses") {
        Chat().ShowResponses();
      } else if (step == "escape") {
        QTest::keyClick(entry, Qt::Key_Escape);
      }
    }
    QCOMPARE(entry->toPlainText(), after);
    QCOMPARE(Chat().focusWidget(), entry);
    QTest::keyClick(entry, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(entry->toPlainText(), undone);
  }

  // The operators box starts on nobody, so a transfer goes only to the
  // operator picked; one the service refuses or does not answer is said.
  void transfer_data() {
    QTest::addColumn<QStringList>("operators");
    QTest::addColumn<int>("pick");
    QTest::addColumn<CScriptedServer::Reply>("reply");
    QTest::addColumn<QString>("told");  // box, status line or both
    QTest::newRow("nobody chosen") << QStringList{"anna (Online)", "ben (Online)"} << -1 << CScriptedServer::Reply{}
                                   << "Please select an operator!";
    QTest::newRow("offline") << QStringList{"ben (Offline)"} << 0 << CScriptedServer::Reply{}
                             << "Chat Cannot be transferred to an offline operator";
    QTest::newRow("done") << QStringList{"cy (Online)", "ben"} << 1 << CScriptedServer::Reply{200, "true"}
                          << "Chat Session Transferred";
    QTest::newRow("refused") << QStringList{"ben (Online)"} << 0 << CScriptedServer::Reply{200, "false"}
                             << "The service refused to transfer the chat to ben. The chat stays with you.";
    QTest::newRow("no answer") << QStringList{"ben (Online)"} << 0 << CScriptedServer::Reply{503, "busy"}
                               << "The chat was not transferred to ben: the service did not answer. The chat stays with you.";
  }
  void transfer() {
    QFETCH(QStringList, operators);
    QFETCH(int, pick);
    QFETCH(CScriptedServer::Reply, reply);
    QFETCH(QString, told);
    m_transferReply = reply;
    m_pConsole->Operators().SetEntries(Operators(operators));
    Chat().RefreshOperatorCombo();
    QCOMPARE(Chat().OperatorsBox()->currentIndex(), -1);
    if (pick >= 0) Chat().OperatorsBox()->setCurrentIndex(pick);
    Chat().TransferChat();
    QTRY_COMPARE(m_pSession->Engine().RunningRequests(), 0);
    const QStringList sent = Targets("w-ctransf.php");
    QCOMPARE(sent.size(), reply.body.empty() ? 0 : 1);
    if (!sent.isEmpty()) QVERIFY(sent[0].startsWith("/cpn/w-ctransf.php?csesid=c%261&adid=ben&sid=1001"));
    const auto& boxes = m_pSession->Desktop().messageBoxes;
    QTRY_VERIFY(Chat().StatusLine()->text() == told || (!boxes.isEmpty() && boxes[0].text == told));
    QCOMPARE(Session().IsPolling(), reply.body != "true");
    if (reply.body != "true") return;
    // The chat is the other operator's now: Close Chat closes this window
    // and ends nothing at the service.
    Chat().EndChat();
    QTRY_VERIFY(m_pChat.isNull());
    QVERIFY(Targets("endchatcl").isEmpty());
  }

  // Spell Check ticked with no dictionary to read goes unticked, saying why.
  void spellCheckFollowsThePreferences() {
    QSignalSpy ticked(Chat().SpellCheckBox(), &QCheckBox::toggled);
    CPreferences::Instance().SetSpellCheck(!Chat().SpellCheckBox()->isChecked());
    QVERIFY(!ticked.isEmpty());
    QCOMPARE(ticked.first().first().toBool(), CPreferences::Instance().SpellCheck());
    CPreferences::Instance().SetSpellCheck(false);
    QVERIFY(!Chat().SpellCheckBox()->isChecked());
  }

  void spellCheckWithoutADictionary() {
    if (QFileInfo::exists(CDictionary::FilePath()) || QFileInfo::exists(CSharedDictionary::UserFilePath()))
      QSKIP("a dictionary is installed");
    Chat().SpellCheckBox()->setChecked(true);
    QVERIFY(!Chat().SpellCheckBox()->isChecked() && !Chat().EntryBox()->IsSpellCheckOn());
    QVERIFY(Transcript().contains("Spell checking is off: no dictionary could be read"));
  }

  void serverPages() {
    QList<QPair<QUrl, bool>> opened;
    m_pSession->Engine().SetPageOpener([&](const QUrl& url, bool small, bool, const QRect&) { opened.append({url, small}); });
    Chat().OpenFileTransfer();
    Chat().OpenFileTransfer();
    Chat().ShowChatHistory();
    QCOMPARE(opened.size(), 3);
    QVERIFY(opened[0].second && opened[1].second && !opened[2].second);
    QVERIFY(opened[2].first.toString().contains("loginid=anna&stid=1001&adm=&opurl=vchathist&ipadd=10.0.0.9"));
  }

  void aDetailsReplyFillsThePanelAndTheConsole() {
    QStringList pieces;
    for (int i = 0; i < 19; ++i) pieces.append(QString("v%1").arg(i));
    m_detailsReply = {200, pieces.join("<fld>").toStdString()};
    OpenChat();
    const CSiteVisitor* visitor = CachedDetails();
    QVERIFY(visitor);
    QCOMPARE(visitor->Details().fields[VisitorDetails::Country], QString("v8"));
  }
};

QTEST_MAIN(TestChatDlg)
#include "tst_ChatDlg.moc"
