// The operator's day on a real desktop: logging in from the keyboard,
// taking chats and typing in them while other windows get lines and boxes.
#include "DesktopScenario.h"

#include <QTest>

class tst_DesktopChats : public QObject {
  Q_OBJECT

 private:
  CDesktopScenario m_desk;
  CConsoleProcess* m_pConsole = nullptr;

  // Logs "demo" in; the console is then the active window.
  bool LogInDemo();
  // A request waits until the console has shown it; Alt+C takes the
  // selected row's request. True when its chat window is the active one.
  bool AcceptFromKeyboard(const QString& visitor);
  // The console brought forward, as from the panel, and a row clicked.
  bool PickRow(int row);
  int TimesSent(const QString& chatId, const QString& line) {
    return int(m_desk.Service().ChatLines(chatId).count(QStringLiteral("demo: ") + line));
  }

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void logInFromKeyboard();
  void acceptTypeAndRead();
  void twoChatsKeepTheirLines();
  void consoleBoxBlocksNoChat();
  void closingTheConsoleWithAChatAsks();
  void responsesAtTheCaret();
  void broughtForwardWithTheCaret();
  void aDoubleClickedResponseLeavesTheCaretInTheLine();
  void aChatArrivingByItselfTakesNoKey();
};

void tst_DesktopChats::initTestCase() { QVERIFY2(m_desk.StartDesktop(), qPrintable(m_desk.Error())); }

void tst_DesktopChats::init() { QVERIFY(m_desk.StartService()); }

void tst_DesktopChats::cleanup() {
  m_desk.ReportFailure();
  m_desk.EndScenario();
  m_pConsole = nullptr;
}

bool tst_DesktopChats::LogInDemo() {
  m_pConsole = &m_desk.StartConsole(QStringLiteral("demo"));
  return m_desk.LogIn(*m_pConsole, QStringLiteral("demo"), QStringLiteral("demo"));
}

bool tst_DesktopChats::PickRow(int row) {
  if (!m_desk.FocusConsole(*m_pConsole)) return false;
  const XWindow console = *m_desk.ConsoleWindow(*m_pConsole);
  m_desk.Windows().Click(console.id, CDesktopScenario::ConsoleRow(console, row));
  return true;
}

bool tst_DesktopChats::AcceptFromKeyboard(const QString& visitor) {
  // One whole refresh after the request, so the table has its row.
  if (!m_desk.WaitForRefreshes(2)) return false;
  m_desk.Windows().Key(QStringLiteral("alt+c"));
  return m_desk.WaitForActive(QStringLiteral("Chatting with:") + visitor);
}

void tst_DesktopChats::logInFromKeyboard() {
  QVERIFY2(LogInDemo(), "the console did not open after Tab, typing and Enter in the login window");
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Service().CountRequests(QStringLiteral("/wn-login.php?loginid=demo&stid=1001&pwd=demo")), 1,
                            CDesktopScenario::kWindowMs);
  QTRY_VERIFY_WITH_TIMEOUT(!m_desk.Windows().Find(QStringLiteral("Talvero Executive Login:")), CDesktopScenario::kWindowMs);
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Windows().ActiveWindowName(), QStringLiteral("Talvero"), CDesktopScenario::kWindowMs);
}

void tst_DesktopChats::acceptTypeAndRead() {
  QVERIFY(LogInDemo());
  const QString chatId = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY2(AcceptFromKeyboard(QStringLiteral("Zoe")), "Alt+C did not bring the new chat window forward, active");

  // Typed straight away: the caret must be in the entry box. Characters
  // the query encoding must escape, and letters outside the keymap.
  const QString line = QStringLiteral("a&b=c+d #7 Жёлтый 東京 é€, ok?");
  m_desk.Windows().Type(line, 150);
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(chatId, line), 1, CDesktopScenario::kWindowMs);

  const QString answer = QStringLiteral("Sure & thanks = 100%");
  m_desk.Service().Control(QStringLiteral("visitor/say"), {{QStringLiteral("csesid"), chatId}, {QStringLiteral("text"), answer}});
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.CopyTranscript().contains(QStringLiteral("Zoe: ") + answer), CDesktopScenario::kWindowMs);
  // Sent once: the polls that brought the answer sent nothing again.
  QCOMPARE(TimesSent(chatId, line), 1);
  QVERIFY(m_desk.CopyTranscript().contains(QStringLiteral("demo: ") + line));
}

void tst_DesktopChats::twoChatsKeepTheirLines() {
  QVERIFY(LogInDemo());
  const QString zoe = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY(AcceptFromKeyboard(QStringLiteral("Zoe")));

  // The second request: the operator picks its row in the console.
  const QString yuri = m_desk.Service().VisitorAsksForChat(QStringLiteral("Yuri"));
  QVERIFY(m_desk.WaitForRefreshes(2));
  QVERIFY(PickRow(1));
  m_desk.Windows().Key(QStringLiteral("alt+c"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Yuri")));
  // The second window opens a step on from the first, not on top of it,
  // and both stay inside the work area, title bars and borders too.
  const std::optional<XWindow> first = m_desk.Windows().Find(QStringLiteral("Chatting with:Zoe"));
  const std::optional<XWindow> second = m_desk.Windows().Find(QStringLiteral("Chatting with:Yuri"));
  QVERIFY(first && second);
  QVERIFY2(second->geometry.topLeft() != first->geometry.topLeft(), "the new chat window hides the one before");
  QVERIFY(m_desk.Windows().WorkArea().contains(first->frame) && m_desk.Windows().WorkArea().contains(second->frame));
  const QString draft = QStringLiteral("Half a line for Yuri, ü");
  m_desk.Windows().Type(draft, 120);

  // Zoe's window, reached from the keyboard (the next chat, wrapping round),
  // is typed in while Yuri's gets line after line.
  m_desk.Windows().Key(QStringLiteral("ctrl+Tab"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Zoe")));
  const QStringList pieces = {QStringLiteral("Your order #12 "), QStringLiteral("ships today & "), QStringLiteral("costs 5+5=10 €")};
  for (int i = 0; i < pieces.size(); ++i) {
    m_desk.Service().Control(QStringLiteral("visitor/say"),
                             {{QStringLiteral("csesid"), yuri}, {QStringLiteral("text"), QStringLiteral("Yuri line %1").arg(i)}});
    m_desk.Windows().Type(pieces[i], 120);
  }
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(zoe, pieces.join(QString())), 1, CDesktopScenario::kWindowMs);

  // The console and back by number, then the previous chat: Yuri's window
  // shows his lines and still holds the draft.
  m_desk.Windows().Key(QStringLiteral("ctrl+0"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Talvero")));
  m_desk.Windows().Key(QStringLiteral("ctrl+1"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Zoe")));
  m_desk.Windows().Key(QStringLiteral("ctrl+shift+Tab"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Yuri")));
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.CopyTranscript().contains(QStringLiteral("Yuri: Yuri line 2")), CDesktopScenario::kWindowMs);
  QCOMPARE(m_desk.CopyEntryBox(), draft);
  m_desk.Windows().Type(QStringLiteral(" done"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(yuri, draft + QStringLiteral(" done")), 1, CDesktopScenario::kWindowMs);
  QCOMPARE(m_desk.Service().ChatLines(zoe).filter(QStringLiteral("demo: ")).size(), 1);
}

void tst_DesktopChats::consoleBoxBlocksNoChat() {
  QVERIFY(LogInDemo());
  const QString zoe = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY(AcceptFromKeyboard(QStringLiteral("Zoe")));

  // Another visitor deleted from the console: its box stays open.
  m_desk.Service().Control(QStringLiteral("visitor/add"), {{QStringLiteral("name"), QStringLiteral("Carl")}, {QStringLiteral("ip"), QStringLiteral("10.7.7.7")}});
  QVERIFY(m_desk.WaitForRefreshes(2));
  QVERIFY(PickRow(1));
  const QString consoleId = m_desk.ConsoleWindow(*m_pConsole)->id;
  m_desk.Windows().Key(QStringLiteral("alt+d"));
  auto boxOpen = [&] {
    for (const XWindow& w : m_desk.Windows().Windows())
      if (w.pid == m_pConsole->Pid() && w.id != consoleId && w.name == QLatin1String("Talvero")) return true;
    return false;
  };
  QTRY_VERIFY_WITH_TIMEOUT(boxOpen(), CDesktopScenario::kWindowMs);
  // The service logs a request once it has sent the answer, which the box
  // may follow sooner.
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Service().CountRequests(QStringLiteral("action=remove")), 1, CDesktopScenario::kWindowMs);

  // The operator goes back to the chat and answers there.
  QVERIFY(m_desk.Focus(QStringLiteral("Chatting with:Zoe")));
  const QString line = QStringLiteral("Still here, one moment");
  m_desk.Windows().Type(line);
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(zoe, line), 1, CDesktopScenario::kWindowMs);
  QVERIFY(boxOpen());
}

// Alt+F4 on the console with a chat open asks first: Escape keeps the
// console and the chat; Alt+Y ends the chat at the service and closes.
void tst_DesktopChats::closingTheConsoleWithAChatAsks() {
  QVERIFY(LogInDemo());
  const QString zoe = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY(AcceptFromKeyboard(QStringLiteral("Zoe")));
  QVERIFY(m_desk.FocusConsole(*m_pConsole));
  const QString consoleId = m_desk.ConsoleWindow(*m_pConsole)->id;
  auto question = [&]() -> std::optional<XWindow> {
    for (const XWindow& w : m_desk.Windows().Windows())
      if (w.pid == m_pConsole->Pid() && w.id != consoleId && w.name == QLatin1String("Talvero")) return w;
    return std::nullopt;
  };
  m_desk.Windows().Key(QStringLiteral("alt+F4"));
  QTRY_VERIFY_WITH_TIMEOUT(question().has_value(), CDesktopScenario::kWindowMs);
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Windows().ActiveWindowId(), question()->id, CDesktopScenario::kWindowMs);
  m_desk.Windows().Key(QStringLiteral("Escape"));  // cancel
  QTRY_VERIFY_WITH_TIMEOUT(!question().has_value(), CDesktopScenario::kWindowMs);
  QTest::qWait(500);
  QVERIFY(m_pConsole->IsRunning() && m_desk.Windows().Find(QStringLiteral("Chatting with:Zoe")));
  QCOMPARE(m_desk.Service().CountRequests(QStringLiteral("action=endchatcl")), 0);

  QVERIFY(m_desk.FocusConsole(*m_pConsole));
  m_desk.Windows().Key(QStringLiteral("alt+F4"));
  QTRY_VERIFY_WITH_TIMEOUT(question().has_value(), CDesktopScenario::kWindowMs);
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Windows().ActiveWindowId(), question()->id, CDesktopScenario::kWindowMs);
  m_desk.Windows().Key(QStringLiteral("alt+y"));  // end the chat
  QTRY_VERIFY_WITH_TIMEOUT(!m_pConsole->IsRunning(), CDesktopScenario::kWindowMs);
  QCOMPARE(m_desk.Service().CountRequests(QStringLiteral("action=endchatcl&csesid=") + zoe), 1);
}


// "/" and a word in the entry box open the list of canned responses that
// hold it; Enter or Tab put the chosen one in place of the "/word", Ctrl+Z
// takes it back, Escape closes the list and leaves the draft, and Enter
// sends again once the list is closed.
void tst_DesktopChats::responsesAtTheCaret() {
  QVERIFY(LogInDemo());
  const QString chatId = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY(AcceptFromKeyboard(QStringLiteral("Zoe")));
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.Service().CountRequests(QStringLiteral("/wn-amespc.php")) > 0, CDesktopScenario::kWindowMs);

  // The site's two responses about shipping, in their order.
  const QString sameDay = QStringLiteral("Orders placed before 2 pm are shipped the same day.");
  const QString costs = QStringLiteral("Shipping is free from 50 euros, below that it costs 4.90 euros.");
  m_desk.Windows().Type(QStringLiteral("Hi, /ship"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.CopyEntryBox(), QStringLiteral("Hi, ") + sameDay, CDesktopScenario::kWindowMs);
  m_desk.Windows().Key(QStringLiteral("ctrl+z"));
  QCOMPARE(m_desk.CopyEntryBox(), QStringLiteral("Hi, /ship"));

  m_desk.Windows().Type(QStringLiteral(" /cost"));
  m_desk.Windows().Key(QStringLiteral("Escape"));
  QCOMPARE(m_desk.CopyEntryBox(), QStringLiteral("Hi, /ship /cost"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(chatId, QStringLiteral("Hi, /ship /cost")), 1, CDesktopScenario::kWindowMs);
  QCOMPARE(m_desk.Service().ChatLines(chatId).filter(QStringLiteral("demo: ")).size(), 1);

  m_desk.Windows().Type(QStringLiteral("/ship"));
  m_desk.Windows().Key(QStringLiteral("Down"));
  m_desk.Windows().Key(QStringLiteral("Tab"));
  QCOMPARE(m_desk.CopyEntryBox(), costs);
  // With no list open Escape clears the line, as ever (an empty box copies
  // nothing, so a letter typed after it is all the box holds).
  m_desk.Windows().Key(QStringLiteral("Escape"));
  m_desk.Windows().Type(QStringLiteral("x"));
  QCOMPARE(m_desk.CopyEntryBox(), QStringLiteral("x"));
}

// A chat brought forward from the keyboard has the caret in its entry box,
// wherever the keyboard was in it before; Tab and Shift+Tab move through
// the window's controls rather than typing a tab into the line.
void tst_DesktopChats::broughtForwardWithTheCaret() {
  QVERIFY(LogInDemo());
  const QString zoe = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY(AcceptFromKeyboard(QStringLiteral("Zoe")));
  const QString yuri = m_desk.Service().VisitorAsksForChat(QStringLiteral("Yuri"));
  QVERIFY(m_desk.WaitForRefreshes(2));
  QVERIFY(PickRow(1));
  m_desk.Windows().Key(QStringLiteral("alt+c"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Yuri")));

  // Tab leaves the entry box and Shift+Tab comes back: no tab in the line.
  m_desk.Windows().Type(QStringLiteral("a"));
  m_desk.Windows().Key(QStringLiteral("Tab"));
  m_desk.Windows().Key(QStringLiteral("shift+Tab"));
  m_desk.Windows().Type(QStringLiteral("b"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(yuri, QStringLiteral("ab")), 1, CDesktopScenario::kWindowMs);

  // The keyboard left in each transcript, then the chats brought forward
  // by Ctrl+Tab (wrapping), Ctrl+Shift+Tab, and Ctrl+2 from the console.
  m_desk.Windows().Key(QStringLiteral("shift+Tab"));
  m_desk.Windows().Key(QStringLiteral("ctrl+shift+Tab"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Zoe")));
  m_desk.Windows().Key(QStringLiteral("shift+Tab"));
  m_desk.Windows().Key(QStringLiteral("ctrl+Tab"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Yuri")));
  m_desk.Windows().Type(QStringLiteral("q w"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(yuri, QStringLiteral("q w")), 1, CDesktopScenario::kWindowMs);
  m_desk.Windows().Key(QStringLiteral("shift+Tab"));
  m_desk.Windows().Key(QStringLiteral("ctrl+shift+Tab"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Zoe")));
  m_desk.Windows().Type(QStringLiteral("e r"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(zoe, QStringLiteral("e r")), 1, CDesktopScenario::kWindowMs);
  m_desk.Windows().Key(QStringLiteral("ctrl+0"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Talvero")));
  m_desk.Windows().Key(QStringLiteral("ctrl+2"));
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Yuri")));
  m_desk.Windows().Type(QStringLiteral("t y"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(yuri, QStringLiteral("t y")), 1, CDesktopScenario::kWindowMs);
  // Nothing typed went anywhere else (a button pressed by the space opens
  // the chat history at the service).
  QCOMPARE(m_desk.Service().ChatLines(yuri).filter(QStringLiteral("demo: ")).size(), 3);
  QCOMPARE(m_desk.Service().ChatLines(zoe).filter(QStringLiteral("demo: ")).size(), 1);
}

// A double-click on a canned response puts it in once, and the keyboard
// stays in the entry box behind it: what is typed next joins the line, and
// Enter sends it rather than putting the response in again.
void tst_DesktopChats::aDoubleClickedResponseLeavesTheCaretInTheLine() {
  QVERIFY(LogInDemo());
  const QString chatId = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY(AcceptFromKeyboard(QStringLiteral("Zoe")));
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.Service().CountRequests(QStringLiteral("/wn-amespc.php")) > 0, CDesktopScenario::kWindowMs);
  const XWindow chat = *m_desk.Windows().Find(QStringLiteral("Chatting with:Zoe"));
  m_desk.Windows().Type(QStringLiteral("Hi! "));
  // "Hello", the first response under its expanded category, where it is
  // in a chat window of 802 x 662 pixels; the window grows with its font.
  const QPoint hello(qRound(656 * chat.geometry.width() / 802.0), qRound(255 * chat.geometry.height() / 662.0));
  m_desk.Rig().Run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"), chat.id, QString::number(hello.x()),
                                               QString::number(hello.y()), QStringLiteral("click"), QStringLiteral("--repeat"),
                                               QStringLiteral("2"), QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
  m_desk.Windows().Type(QStringLiteral(" See you"));
  m_desk.Windows().Key(QStringLiteral("Return"));
  const QString line = QStringLiteral("Hi! Hello, how can I help you? See you");
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(chatId, line), 1, CDesktopScenario::kWindowMs);
  QCOMPARE(m_desk.Service().ChatLines(chatId).filter(QStringLiteral("demo: ")).size(), 1);
}

// A colleague hands a chat over while the operator types to another
// visitor: the handed-over chat opens by itself, asks for attention, and
// takes none of the keys; the chat being typed in stays in front.
void tst_DesktopChats::aChatArrivingByItselfTakesNoKey() {
  QVERIFY(LogInDemo());
  const QString zoe = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY(AcceptFromKeyboard(QStringLiteral("Zoe")));
  const QString yuri = m_desk.Service().VisitorAsksForChat(QStringLiteral("Yuri"));
  CServiceProcess& service = m_desk.Service();
  QVERIFY(!service.Get(QStringLiteral("/cpn/wn-login.php?loginid=anna&stid=1001&pwd=anna")).isNull());
  QVERIFY(service.Get(QStringLiteral("/cpn/w-adc.php?csesid=%1&ipaddr=10.9.8.2&adminid=anna&sid=1001").arg(yuri)).startsWith(QStringLiteral("true")));
  QCOMPARE(service.Get(QStringLiteral("/cpn/w-ctransf.php?action=trans&csesid=%1&adid=demo&adminid=anna&sid=1001").arg(yuri)),
           QStringLiteral("true"));

  // Typing on, piece by piece, until the handed-over chat is there and a
  // little after.
  const QString chatYuri = QStringLiteral("Chatting with:Yuri");
  QString typed;
  int after = 0;
  for (int piece = 0; piece < 60 && after < 3; ++piece) {
    const QString word = QStringLiteral("w%1 ").arg(piece);
    m_desk.Windows().Type(word, 40);
    typed += word;
    if (after > 0 || m_desk.Windows().Find(chatYuri)) ++after;
  }
  QVERIFY2(after > 0, "the handed-over chat never opened");
  m_desk.Windows().Key(QStringLiteral("Return"));
  QTRY_COMPARE_WITH_TIMEOUT(TimesSent(zoe, typed.trimmed()), 1, CDesktopScenario::kWindowMs);
  QCOMPARE(m_desk.Windows().ActiveWindowName(), QStringLiteral("Chatting with:Zoe"));
  const std::optional<XWindow> arrived = m_desk.Windows().Find(chatYuri);
  QVERIFY(arrived);
  QVERIFY2(arrived->Has(QStringLiteral("DEMANDS_ATTENTION")), qPrintable(arrived->states.join(u' ')));
  QVERIFY(m_desk.Service().ChatLines(yuri).filter(QStringLiteral("demo: ")).isEmpty());
}

QTEST_GUILESS_MAIN(tst_DesktopChats)
#include "tst_DesktopChats.moc"
