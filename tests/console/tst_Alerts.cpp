// The console in the background: tray, minimising, always-on-top, and the
// notices and notifications of chat requests while it is hidden.
#include "ConsoleParts.h"
#include "OutsideTextRows.h"
#include "Alerts.h"
#include "ConsoleTray.h"
#include "ConsoleController.h"
#include "MainDlg.h"
#include "OperatorList.h"
#include "Presence.h"
#include "RefreshCycle.h"
#include "PopUpDlg.h"
#include "Preferences.h"
#include "ReplyBuilders.h"
#include "SessionFixture.h"

#include <httplib.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

using namespace ConsoleParts;

class TestAlerts : public QObject {
  Q_OBJECT

  std::unique_ptr<CSessionFixture> m_pSession;

  CMainDlg& C() { return m_pSession->Console(); }
  CConsoleController& Rooms() { return m_pSession->Controller(); }
  CRecordingDesktopServices& Desktop() { return m_pSession->Desktop(); }
  QStringList Accepted() { return m_pSession->Server().Targets().filter("w-adc.php"); }
  QAction* TrayItem(const QString& text) {
    for (QAction* a : Desktop().trayMenu->actions())
      if (a->text() == text) return a;
    return nullptr;
  }

 private slots:
  void init() { Start(CSessionFixture::Login()); }
  void Start(const CSessionFixture::Login& login) {
    m_pSession.reset();  // one fixture at a time: each installs the desktop services
    m_pSession = std::make_unique<CSessionFixture>();
    m_pSession->UseScriptedServer([](const httplib::Request& req) {
      if (req.path.find("w-mrefresh.php") != std::string::npos)
        return CScriptedServer::Reply{200, req.get_param_value("action") == "lgof" ? "offline" : "online"};
      return CScriptedServer::Reply{200, "false<fld><fld><fld><fld>"};
    });
    m_pSession->LogIn(login);
    QTRY_VERIFY(C().Session().Presence().IsOnline());
  }
  void cleanup() { m_pSession.reset(); }

  // Notices stand by the heights of those below them, and a new one takes
  // the lowest place left free, never a place taken.
  void noticesStackClearOfEachOther_data() {
    QTest::addColumn<QList<QRect>>("shown");
    QTest::addColumn<QPoint>("place");
    const QRect corner(1300, 890, 300, 80);
    QTest::newRow("none") << QList<QRect>{} << corner.topLeft();
    QTest::newRow("one below") << QList<QRect>{corner} << QPoint(1300, 806);
    QTest::newRow("the lowest freed") << QList<QRect>{corner.translated(0, -84)} << corner.topLeft();
    QTest::newRow("a gap too small") << QList<QRect>{corner, corner.translated(0, -120)} << QPoint(1300, 686);
    QTest::newRow("a taller one below") << QList<QRect>{QRect(1300, 850, 300, 120)} << QPoint(1300, 766);
    QTest::newRow("the column full") << QList<QRect>{QRect(1300, 0, 300, 970)} << corner.topLeft();
  }
  void noticesStackClearOfEachOther() {
    QFETCH(QList<QRect>, shown);
    QFETCH(QPoint, place);
    QCOMPARE(CPopUpDlg::StackPlace(QSize(300, 80), QRect(0, 0, 1600, 970), shown), place);
  }

  // One notice and one notification per request, naming the visitor and
  // his page; seen again it is not repeated, and it goes when the request
  // is taken, here or elsewhere.
  void aHiddenConsoleNoticesEachRequestOnceUntilTaken() {
    C().hide();
    Desktop().Clear();
    const TestVisitor zoe{"b", "Chat Request", "0:01:00", "#", "Zoe"};
    const TestVisitor nameless{"c", "Chat Request", "0:01:00", "#", "", "10.0.0.7"};
    C().Session().Refresh().Apply(RefreshReplyText({{"a"}, zoe}, "2", "sound1"));
    QCOMPARE(Rooms().Alerts().OpenNotices().size(), 1);
    CPopUpDlg* notice = Rooms().Alerts().OpenNotices().first();
    QCOMPARE(notice->Text(), QString("Chat Request from: Zoe"));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(notice->pos() + QPoint(notice->width(), notice->height()), area.bottomRight() + QPoint(1, 1));
    QCOMPARE(Desktop().notifications.size(), 1);
    QCOMPARE(Desktop().notifications[0].text, QString("Zoe\n/index.html"));
    QCOMPARE(Desktop().sounds, QList<QUrl>{QUrl("qrc:/sounds/143.wav")});
    QVERIFY(C().isVisible());  // the request brought the console forward
    C().hide();
    for (int i = 0; i < 2; ++i) C().Session().Refresh().Apply(RefreshReplyText({zoe, nameless}, "2"));
    QCOMPARE(Rooms().Alerts().OpenNotices().size(), 2);
    QCOMPARE(Desktop().notifications.size(), 2);
    QCOMPARE(Desktop().notifications[0].shown, 1);  // not repeated
    QCOMPARE(Desktop().notifications[1].text, QString("10.0.0.7\n/index.html"));
    // Zoe's request is taken by another operator: hers go, the other stays.
    C().Session().Refresh().Apply(RefreshReplyText({nameless}, "1"));
    QTRY_COMPARE(Rooms().Alerts().OpenNotices().size(), 1);
    QVERIFY(Desktop().notifications[0].withdrawn && !Desktop().notifications[1].withdrawn);
    // Taken from its notification: the notice goes with it.
    Desktop().notifications[1].accept();
    QTRY_COMPARE(Accepted().size(), 1);
    QVERIFY(Accepted()[0].contains("csesid=c&"));
    QTRY_VERIFY(Rooms().Alerts().OpenNotices().isEmpty());
    QCOMPARE(Desktop().ShownNotifications(), 0);
    // A request that comes back after it was taken is a new one.
    C().hide();
    C().Session().Refresh().Apply(RefreshReplyText({zoe}, "1"));
    QCOMPARE(Desktop().ShownNotifications(), 1);
    C().LogOut(false);  // notices go with the session
    QTRY_VERIFY(Rooms().Alerts().OpenNotices().isEmpty());
    QCOMPARE(Desktop().ShownNotifications(), 0);
  }

  // The service's and the visitors' text on the console's surfaces reads as
  // it was sent: no direction override turns it round, no markup is drawn.
  void outsideTextAsSent_data() {
    AddOutsideTextRows();
  }
  void outsideTextAsSent() {
    QFETCH(QString, sent);
    QFETCH(QString, shown);
    CSessionFixture::Login login;
    login.siteAddress = sent;
    Start(login);
    QCOMPARE(SiteUrl(C())->text(), shown);
    QCOMPARE(SiteUrl(C())->textFormat(), Qt::PlainText);
    C().hide();
    Desktop().Clear();
    C().Session().Refresh().Apply(RefreshReplyText({{"b", "Chat Request", "0:01:00", "#", sent}}, "1"));
    QCOMPARE(Rooms().Alerts().OpenNotices().size(), 1);
    CPopUpDlg* notice = Rooms().Alerts().OpenNotices().first();
    QCOMPARE(notice->Text(), "Chat Request from: " + shown);
    QCOMPARE(Desktop().notifications.size(), 1);
    QCOMPARE(Desktop().notifications[0].text, shown + "\n/index.html");
  }

  // The tray shows presence and the requests waiting.
  void theTrayShowsPresenceAndWaitingRequests() {
    const auto image = [](const QIcon& icon) { return icon.pixmap(32, 32).toImage(); };
    C().Session().Refresh().Apply(RefreshReplyText({{"a", "Chat Request"}, {"b", "Chat Request"}}, "2"));
    QCOMPARE(Desktop().trayTip, QString("Talvero Online\n2 chat requests waiting"));
    QCOMPARE(image(Desktop().trayIcon), image(CConsoleTray::Picture(true, 2)));
    QVERIFY(image(CConsoleTray::Picture(true, 2)) != image(CConsoleTray::Picture(true, 0)));
    Radio(C(), "Offline")->click();
    QTRY_VERIFY(!C().Session().Presence().IsOnline());
    QCOMPARE(Desktop().trayTip, QString("Talvero Offline\n2 chat requests waiting"));
    C().Session().Refresh().Apply(RefreshReplyText({{"a"}}));
    QCOMPARE(Desktop().trayTip, QString("Talvero Offline"));
    QCOMPARE(image(Desktop().trayIcon), image(CConsoleTray::Picture(false, 0)));
    QVERIFY(image(CConsoleTray::Picture(false, 0)) != image(CConsoleTray::Picture(true, 0)));
  }

  void theRequestSoundRepeatsOnlyWhenAskedAndWhileARequestWaits() {
    const QString request = RefreshReplyText({{"b", "Chat Request"}});
    const QString none = RefreshReplyText({{"b"}});
    CPreferences::Instance().SetRepeatRequestSound(false);
    C().Session().Refresh().Apply(request);
    QVERIFY(!Rooms().Alerts().IsRepeatingRequestSound());
    CPreferences::Instance().SetRepeatRequestSound(true);
    C().Session().Refresh().Apply(request);
    QVERIFY(Rooms().Alerts().IsRepeatingRequestSound());
    C().Session().Refresh().Apply(none);  // taken
    QVERIFY(!Rooms().Alerts().IsRepeatingRequestSound());
    CPreferences::Instance().SetRepeatRequestSound(false);
  }

  // What each event of the session or of a chat window sounds like, by the
  // view the console shows: one sound, whether the service names it, the
  // session sees it, or both in one refresh.
  void eachEventItsSound_data() {
    QTest::addColumn<QString>("event");
    QTest::addColumn<bool>("operatorsView");
    QTest::addColumn<QList<int>>("sounds");
    QTest::newRow("visitor arrived") << "arrived" << false << QList<int>{168};
    QTest::newRow("visitor arrived, operators shown") << "arrived" << true << QList<int>{};
    QTest::newRow("visitor arrived, and named") << "arrived named" << false << QList<int>{168};
    QTest::newRow("transfer offered") << "transfer" << false << QList<int>{140};
    QTest::newRow("transfer offered, and named") << "transfer named" << false << QList<int>{140};
    QTest::newRow("a chat line") << "line" << false << QList<int>{154};
    QTest::newRow("a message in a chat") << "message" << false << QList<int>{140};
    QTest::newRow("a chat line named in a refresh") << "line in a refresh" << false << QList<int>{};
  }
  void eachEventItsSound() {
    QFETCH(QString, event);
    QFETCH(bool, operatorsView);
    QFETCH(QList<int>, sounds);
    if (operatorsView) C().SwitchView(CMainDlg::ViewMode::Operators);
    Desktop().Clear();
    if (event == "arrived")
      C().Session().Refresh().Apply(RefreshReplyText({{"a", "In Site", "0:00:02"}}));
    else if (event == "arrived named")
      C().Session().Refresh().Apply(RefreshReplyText({{"a", "In Site", "0:00:02"}}, "1", "NewVisitor"));
    else if (event == "transfer")
      C().Session().Refresh().Apply(RefreshReplyText({{"a"}}, "1", "", "", "chat_trans<fld>t9"));
    else if (event == "transfer named")
      C().Session().Refresh().Apply(RefreshReplyText({{"a"}}, "1", "chat_tran_snd", "", "chat_trans<fld>t9"));
    else if (event == "line in a refresh")
      C().Session().Refresh().Apply(RefreshReplyText({{"a"}}, "1", "sound4"));
    else
      Rooms().Alerts().Ring(event == "line" ? ServiceSound::NewChatLine : ServiceSound::Message);
    QList<QUrl> expected;
    for (int id : sounds) expected.append(QUrl(QString("qrc:/sounds/%1.wav").arg(id)));
    QCOMPARE(Desktop().sounds, expected);
  }

  void offlineThereIsNoNotice() {
    Radio(C(), "Offline")->click();
    C().Session().Presence().OnStatusReply("offline");
    C().hide();
    Desktop().Clear();
    C().Session().Refresh().Apply(RefreshReplyText({{"b", "Chat Request"}}, "1", "sound1"));
    QVERIFY(Rooms().Alerts().OpenNotices().isEmpty());
    QVERIFY(Desktop().sounds.isEmpty());
    QVERIFY(!C().isVisible());
  }

  void trayMenuAndMinimising() {
    QVERIFY(Desktop().trayShown);
    QCOMPARE(Desktop().trayTip, QString("Talvero Online"));
    emit Desktop().trayMenu->aboutToShow();
    QVERIFY(!TrayItem("Show &Dialog")->isEnabled());  // grayed while the console shows
    C().showMinimized();
    QTRY_VERIFY(!C().isVisible());  // into the tray
    emit Desktop().trayMenu->aboutToShow();
    QVERIFY(TrayItem("Show &Dialog")->isEnabled());
    Desktop().trayActivated();  // a click on the icon
    QTRY_VERIFY(C().isVisible() && !C().isMinimized());
    // Without a tray the console minimises as any window does.
    Desktop().trayAvailable = false;
    C().showMinimized();
    QTest::qWait(50);
    QVERIFY(C().isVisible());
    C().showNormal();
    // Always on top from the tray: stored, shown, and the item follows it.
    const bool before = IsAlwaysOnTop();
    TrayItem("Always on top")->trigger();
    QCOMPARE(IsAlwaysOnTop(), !before);
    QCOMPARE(TrayItem("Always on top")->isChecked(), !before);
    QCOMPARE(bool(C().windowFlags() & Qt::WindowStaysOnTopHint), !before);
    TrayItem("&LogOut")->trigger();
    QVERIFY(C().Session().IsEnded());
    QVERIFY(!Desktop().trayShown);
  }
};

QTEST_MAIN(TestAlerts)
#include "tst_Alerts.moc"
