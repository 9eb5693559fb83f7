// Chats in tabs of one window, against the stand-in service: where a chat
// goes as it arrives, the marks of a tab not shown, moving a chat to a
// window of its own and merging the windows back, the layout coming back
// at the next log-in, and the preference turned off and on with chats open.
#include "ChatTabBar.h"
#include "ChatTabHost.h"
#include "ChatTabHosts.h"
#include "ChatTabLayout.h"
#include "ChatWindowBase.h"
#include "ChatWindows.h"
#include "ConsoleController.h"
#include "MainDlg.h"
#include "MySpellEditCtrl.h"
#include "Preferences.h"
#include "SessionFixture.h"
#include "SettingsStore.h"
#include "VisitorActions.h"
#include "WindowParts.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

class TestChatTabs : public QObject {
  Q_OBJECT

  std::unique_ptr<CSessionFixture> m_pAnna;
  CServiceFixture* m_pService = nullptr;
  QMap<QString, QString> m_visitors;  // chat id by visitor name

  CConsoleController& Console() { return m_pAnna->Controller(); }
  CChatTabHosts& Tabs() { return Console().ChatTabs(); }
  QString Control(const QString& command, const QString& name, QMap<QString, QString> query = {}) {
    query.insert("csesid", m_visitors.value(name));
    return m_pService->Control(command, query);
  }
  static CChatTabHost* Host(QWidget* chat) { return qobject_cast<CChatTabHost*>(chat->window()); }

  // A visitor asks for a chat and Anna takes it, or the service hands it
  // to her (it arrives by itself).
  CChatWindowBase* Take(const QString& name, bool byItself = false) {
    const QString id = m_pService->Control("visitor/add", {{"name", name}});
    m_visitors.insert(name, id);
    m_pService->Control("visitor/chat", {{"csesid", id}});
    if (byItself)
      Console().VisitorActions().AcceptTransferred(id);
    else
      Console().VisitorActions().AcceptChat(id);
    return WaitForChat(id);
  }
  // The chat still open at the service comes back after a new log-in.
  CChatWindowBase* TakeAgain(const QString& name) {
    CVisitorActions::AcceptedChat chat;
    chat.chatId = m_visitors.value(name);
    chat.visitorName = name;
    emit Console().VisitorActions().ChatAccepted(chat);
    return WaitForChat(chat.chatId);
  }
  CChatWindowBase* WaitForChat(const QString& id) {
    QWidget* chat = nullptr;
    [&] { QTRY_VERIFY((chat = Console().ChatWindows().Find(id))); }();
    return qobject_cast<CChatWindowBase*>(chat);
  }

 private slots:
  void init() {
    m_pAnna = std::make_unique<CSessionFixture>();
    m_pService = &m_pAnna->UseService();
    QVERIFY(m_pService->Login("anna", "anna").startsWith("true"));
    m_pAnna->LogIn();
    m_pAnna->Engine().Session().chatPeriodMs = 200;
    CPreferences::Instance().SetChatTabs(true);
  }
  void cleanup() {
    m_pAnna.reset();
    m_visitors.clear();
  }

  void fourChatsInOneWindow() {
    CChatWindowBase* zoe = Take("Zoe");
    CChatWindowBase* yuri = Take("Yuri");
    CChatWindowBase* xena = Take("Xena");
    CChatWindowBase* walt = Take("Walt", true);
    CChatTabHost* host = Host(zoe);
    QVERIFY(host);
    QCOMPARE(host->Chats(), (QList<CChatWindowBase*>{zoe, yuri, xena, walt}));
    QCOMPARE(Tabs().Hosts().size(), 1);
    // The chat that came by itself did not take the tab being typed in.
    QCOMPARE(host->Current(), xena);
    QVERIFY(xena->isVisible() && !walt->isVisible());

    // The operator works in the console: the window with Zoe's tab flashes.
    Console().Window().activateWindow();
    QTRY_VERIFY(!host->isActiveWindow());
    Control("visitor/say", "Zoe", {{"text", "still there?"}});
    Control("visitor/typing", "Yuri");
    QTRY_COMPARE(host->Marks(zoe).Unread(), 1);
    QVERIFY(m_pAnna->Desktop().flashes.contains(host));
    QVERIFY(host->Marks(zoe).IsWaiting());
    QTRY_VERIFY(host->Marks(yuri).IsTyping());
    QVERIFY2(host->windowTitle().endsWith("1 unread line in another tab"), qPrintable(host->windowTitle()));
    auto* tabs = host->findChild<CChatTabBar*>();
    QCOMPARE(tabs->tabText(0), CChatTabMarks::kWaitingSign + " Zoe (1)");
    QCOMPARE(tabs->accessibleTabName(0), "Zoe, waiting for your answer, 1 unread line");

    // Answered from its tab: nothing waits there now; a visitor who left is
    // marked, and his tab stays to read.
    zoe->BringForward();
    QCOMPARE(host->Current(), zoe);
    zoe->EntryBox()->setPlainText("yes");
    zoe->SendChatLine();
    QTRY_VERIFY(!host->Marks(zoe).IsWaiting());
    Control("visitor/leave", "Yuri");
    QTRY_VERIFY(host->Marks(yuri).Ending() == CChatTabMarks::End::Ended);
    QVERIFY(!host->Marks(yuri).IsTyping());
    walt->CloseChatWindow();
    QCOMPARE(host->Chats(), (QList<CChatWindowBase*>{zoe, yuri, xena}));
    QTRY_COMPARE(Console().ChatWindows().Count(), 3);
    delete xena;  // not closed, simply gone: its tab goes with it
    QCOMPARE(host->Chats(), (QList<CChatWindowBase*>{zoe, yuri}));
  }

  void movedOutAndMergedBack() {
    CChatWindowBase* zoe = Take("Zoe");
    CChatWindowBase* yuri = Take("Yuri");
    CChatWindowBase* xena = Take("Xena");
    // Yuri's tab's menu: "Move to New Window" (N).
    auto* row = Host(yuri)->findChild<CChatTabBar*>();
    const QPoint tab = row->tabRect(row->IndexOf(yuri)).center();
    QTimer::singleShot(0, this, [] {
      if (QMenu* menu = WindowParts::ShownMenu()) QTest::keyClick(menu, Qt::Key_N);
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, row->mapTo(Host(yuri), tab), row->mapToGlobal(tab));
    QApplication::sendEvent(Host(yuri), &click);
    QCOMPARE(Tabs().Hosts().size(), 2);
    QVERIFY(Host(yuri) != Host(zoe));
    QCOMPARE(Host(yuri)->Current(), yuri);
    // The keyboard goes through the windows in order, each in tab order.
    QCOMPARE(Tabs().Arrange({yuri, zoe, xena}), (QList<QWidget*>{zoe, xena, yuri}));
    Tabs().MoveToNewWindow(yuri);  // alone already
    QCOMPARE(Tabs().Hosts().size(), 2);

    QPointer<CChatTabHost> emptied = Host(zoe);
    Tabs().Merge(Host(yuri));
    QCOMPARE(Tabs().Hosts().size(), 1);
    QCOMPARE(Host(yuri)->Chats(), (QList<CChatWindowBase*>{yuri, zoe, xena}));
    QTRY_VERIFY(emptied.isNull());
  }

  void theLayoutComesBackAtTheNextLogIn() {
    CChatWindowBase* zoe = Take("Zoe");
    CChatWindowBase* yuri = Take("Yuri");
    CChatWindowBase* xena = Take("Xena");
    CChatWindowBase* walt = Take("Walt");
    Tabs().MoveToNewWindow(xena);
    Host(xena)->setGeometry(40, 30, 720, 620);
    Host(zoe)->findChild<CChatTabBar*>()->moveTab(1, 0);  // Yuri first
    walt->CloseChatWindow();                              // closed: not kept
    m_pAnna->DestroyConsole();
    const auto key = [this](const char* name) { return CChatTabLayout::ChatKey(false, m_visitors.value(name)); };
    QCOMPARE(CChatTabLayout::Load().windows, (QList<QStringList>{{key("Yuri"), key("Zoe")}, {key("Xena")}}));

    // They come back in another order; each finds its window and its place.
    xena = TakeAgain("Xena");
    zoe = TakeAgain("Zoe");
    yuri = TakeAgain("Yuri");
    QCOMPARE(Host(zoe)->Chats(), (QList<CChatWindowBase*>{yuri, zoe}));
    QCOMPARE(Host(xena)->Chats(), QList<CChatWindowBase*>{xena});
    QCOMPARE(Host(xena)->geometry(), QRect(40, 30, 720, 620));
    // A new chat goes to the window last used, and the kept layout follows.
    Take("Vera");
    m_pAnna->DestroyConsole();
    const CChatTabLayout kept = CChatTabLayout::Load();
    QCOMPARE(kept.windows.size(), 2);
    QCOMPARE(kept.windows[0].size() + kept.windows[1].size(), 4);
  }

  void followsThePreference() {
    CChatWindowBase* zoe = Take("Zoe");
    CChatWindowBase* yuri = Take("Yuri");
    CPreferences::Instance().SetChatTabs(false);
    for (CChatWindowBase* chat : {zoe, yuri}) QVERIFY(chat->isWindow() && chat->isVisible());
    QCOMPARE(Tabs().Hosts().size(), 0);
    CChatWindowBase* xena = Take("Xena");
    QVERIFY(xena->isWindow());
    CPreferences::Instance().SetChatTabs(true);
    QCOMPARE(Tabs().Hosts().size(), 1);
    QCOMPARE(Host(zoe)->Chats(), (QList<CChatWindowBase*>{zoe, yuri, xena}));
  }
};

QTEST_MAIN(TestChatTabs)
#include "tst_ChatTabs.moc"
