// The console window: applying refresh replies, presence, sounds, log-out.
#include "AwayWatch.h"
#include "ChatWindows.h"
#include "ConsoleSession.h"
#include "ConsoleTable.h"
#include "ConsoleParts.h"
#include "FooButton.h"
#include "GetFootDlg.h"
#include "ConsoleController.h"
#include "MainDlg.h"
#include "StandInChat.h"
#include "OperatorList.h"
#include "Preferences.h"
#include "Presence.h"
#include "RefreshCycle.h"
#include "RecordingSecretStore.h"
#include "RefreshCycle.h"
#include "ReplyBuilders.h"
#include "ResourceIds.h"
#include "SavedCredentials.h"
#include "SessionFixture.h"
#include "SettingsStore.h"
#include "VisitorDtlsDlg.h"
#include "VisitorInfo.h"
#include "VisitorTableModel.h"
#include "WindowPlacement.h"
#include "WindowUnits.h"

#include <httplib.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QElapsedTimer>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QPointer>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QTextDocument>

namespace {

const QUrl kChatRequestSound("qrc:/sounds/143.wav");
const QUrl kBusySound("qrc:/sounds/141.wav");
const QUrl kNewVisitorSound("qrc:/sounds/168.wav");
const QUrl kMessageSound("qrc:/sounds/140.wav");

// Closes another window when its own window closes.
class CloseAlso : public QObject {
 public:
  CloseAlso(QWidget* other, QObject* parent) : QObject(parent), m_pOther(other) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Close && m_pOther) m_pOther->close();
    return false;
  }

 private:
  QPointer<QWidget> m_pOther;
};

}  // namespace

using namespace ConsoleParts;

class TestMainDlg : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CSessionFixture> m_pSession;
  std::string m_strStatusReply = "online";
  std::atomic<int> m_nProxyStatus{0};  // when set, every request gets this error page
  std::function<CScriptedServer::Reply(const httplib::Request&)> m_refresh;
  // The details and foot-prints answers: the request's visitor to a reply.
  std::function<CScriptedServer::Reply(const std::string& script, const std::string& id)> m_info;
  CRecordingDesktopServices* m_pDesktop = nullptr;
  CScriptedServer* m_pServer = nullptr;
  CChatManager* m_pEngine = nullptr;

  CMainDlg& C() { return m_pSession->Console(); }
  CConsoleController& Rooms() { return m_pSession->Controller(); }
  QStringList StatusTargets() const { return m_pServer->Targets().filter("w-mrefresh.php"); }
  QStringList Ids() {
    QStringList ids;
    for (const CSiteVisitor& v : C().Session().Visitors().Visitors()) ids.append(v.m_line.sessionId);
    return ids;
  }
  void Apply(const QList<TestVisitor>& visitors, const QString& total = "1", const QString& sound = QString(),
             const QString& operators = QString()) {
    C().Session().Refresh().Apply(RefreshReplyText(visitors, total, sound, operators));
  }
  void Select(int row) { Table(C())->selectRow(row); }
  void ClickRow(int row) {
    const QRect cell = Table(C())->visualRect(Table(C())->model()->index(row, 0));
    QTest::mouseClick(Table(C())->viewport(), Qt::LeftButton, {}, cell.center());
  }
  int Asked(const char* script) const { return int(m_pServer->Targets().filter(script).size()); }
  QString ShownName() { return Details(C())->Details().fields[VisitorDetails::VisitorName]; }
  QStringList FootPrintRows() {
    QStringList rows;
    for (int r = 0; r < FootPrints(C())->List()->rowCount(); ++r)
      rows.append(FootPrints(C())->List()->item(r, 0)->text());
    return rows;
  }
  static CScriptedServer::Reply DetailsOf(const std::string& name, int delayMs = 0, int pieces = 19) {
    QStringList p(pieces, "x");
    if (pieces == 19) p[13] = QString::fromStdString(name);
    return {200, p.join("<fld>").toStdString(), delayMs};
  }
  // Exactly one tab checked, and only it shows the tab mark.
  void CheckTabs(int active) {
    const QList<FooButton*> tabs = Tabs(C());
    for (int i = 0; i < tabs.size(); ++i) {
      QCOMPARE(tabs[i]->IsChecked(), i == active);
      QCOMPARE(tabs[i]->GetBitmapId(), i == active ? int(IDB_TAB_PRESSED) : 0);
    }
  }

 private slots:
  void init() {
    m_pSession = std::make_unique<CSessionFixture>();
    m_strStatusReply = "online";
    m_refresh = nullptr;
    m_info = nullptr;
    m_nProxyStatus = 0;
    m_pServer = &m_pSession->UseScriptedServer([this](const httplib::Request& req) {
      if (m_nProxyStatus != 0) return CScriptedServer::Reply{m_nProxyStatus, "<h1>Proxy Error</h1>"};
      if (req.path.find("w-mrefresh.php") != std::string::npos) return CScriptedServer::Reply{200, m_strStatusReply};
      if (req.path.find("wn-allonlineu.php") != std::string::npos && m_refresh) return m_refresh(req);
      for (const char* script : {"wn-lmudets.php", "w-lmfprint.php"})
        if (req.path.find(script) != std::string::npos && m_info) return m_info(script, req.get_param_value("csesid"));
      return CScriptedServer::Reply{200, "true"};
    });
    m_pDesktop = &m_pSession->Desktop();
    m_pEngine = &m_pSession->Engine();
    m_pSession->LogIn();
    QTRY_VERIFY(C().Session().Presence().IsOnline());  // the opening "lgon" was answered
    QTRY_COMPARE(m_pEngine->RunningRequests(), 0);  // and the opening refresh with its announcement
  }
  void cleanup() { m_pSession.reset(); }

  void opening() {
    const CWindowUnits du = CWindowUnits::Of(&C());  // 802 x 647 at 7 x 13
    QCOMPARE(C().size(), du.Size(458, 398));
    QCOMPARE(StatusTargets().first(), QString("/cpn/w-mrefresh.php?sid=1001&adminid=anna&action=lgon"));
    QVERIFY(Radio(C(), "Online")->isChecked());
    QVERIFY(C().Session().Refresh().IsActive());
    // The bottom row: six buttons of one size, 7 pixels apart, centred (at
    // 7 x 13 base units; in proportion at the font's).
    const QList<FooButton*> bottom = BottomRow(C());
    QCOMPARE(bottom.size(), 6);
    const int w = bottom[0]->width();
    QCOMPARE(bottom[0]->x(), (C().width() - 6 * w - 5 * du.PixelsX(7)) / 2);
    for (int i = 1; i < 6; ++i) {
      QCOMPARE(bottom[i]->x(), bottom[i - 1]->x() + w + du.PixelsX(7));
      QCOMPARE(bottom[i]->y(), du.PixelsY(585));
    }
    CheckTabs(0);
  }

  // The first table comes at once after the log-in and after every view
  // switch, not a console period (8 s here) later.
  void refreshAtOnceAfterLoginAndEachViewSwitch() {
    m_refresh = [](const httplib::Request& req) {
      return CScriptedServer::Reply{200, RefreshReplyText({{req.has_param("conly") ? "chat" : "all"}}).toStdString()};
    };
    m_pSession->DestroyConsole();
    QTRY_COMPARE_WITH_TIMEOUT(Ids(), QStringList{"all"}, 1000);
    QCOMPARE(m_pServer->Targets().filter("wn-allonlineu").last(), QString("/cpn/wn-allonlineu.php?nadminid=anna&nsid=1001&nvar=Y"));
    Tabs(C())[1]->click();
    QCOMPARE(C().Mode(), CMainDlg::ViewMode::ChatsOnly);
    CheckTabs(1);
    Tabs(C())[1]->click();  // the active tab again: stays checked
    CheckTabs(1);
    QTRY_COMPARE_WITH_TIMEOUT(Ids(), QStringList{"chat"}, 1000);
    QVERIFY(m_pServer->Targets().filter("wn-allonlineu").last().endsWith("&nvar=Y&conly=Y"));
    Tabs(C())[0]->click();
    QTRY_COMPARE_WITH_TIMEOUT(Ids(), QStringList{"all"}, 1000);
  }

  // A NUL or another control character in one visitor's field neither cuts
  // the reply nor shows in the table.
  void aControlCharacterInAFieldKeepsTheTable() {
    const std::string text = RefreshReplyText({{"a"}, {"b"}}).toStdString();
    const std::string spoilt = text.substr(0, 1) + std::string("\0\x1b", 2) + text.substr(1);
    m_refresh = [spoilt](const httplib::Request&) { return CScriptedServer::Reply{200, spoilt}; };
    C().Session().Refresh().RefreshNow();
    QTRY_COMPARE(Ids(), QStringList({"a", "b"}));
  }

  // An error page is no table but a failure, warned about at the 13th in a
  // row; a server that took the request and says nothing is no live table
  // either: the alert shows within three periods (long before the request
  // times out) and says how old the table is. The next answer clears it.
  void aRefreshWithoutAnAnswerRaisesTheAlert_data() {
    QTest::addColumn<int>("status");  // 0: never answers
    QTest::newRow("bad gateway") << 502;
    QTest::newRow("server error") << 500;
    QTest::newRow("not found") << 404;
    QTest::newRow("hung") << 0;
  }
  void aRefreshWithoutAnAnswerRaisesTheAlert() {
    QFETCH(int, status);
    const int periodMs = 200;
    std::atomic<bool> hung{status == 0};
    m_refresh = [&](const httplib::Request&) {
      CScriptedServer::Reply r{200, RefreshReplyText({{"a"}}).toStdString()};
      r.hang = hung;
      return r;
    };
    m_nProxyStatus = status;
    m_pEngine->SetTimeouts(1000, 10 * periodMs);
    m_pEngine->Session().consolePeriodMs = periodMs;
    C().Session().Refresh().Start();
    QTRY_VERIFY_WITH_TIMEOUT(C().Session().Refresh().IsConnectionAlert(), 3 * periodMs + 150);
    QVERIFY(StatusLine(C())->text().startsWith("ALERT : Internet Connection is not available."));
    QVERIFY(!StatusLine(C())->text().contains("Total Visitors"));
    if (status == 0) {
      QCOMPARE(m_pEngine->Failures(), 0);  // the request has not timed out
      QVERIFY2(StatusLine(C())->text().contains("the table is 0 s old"), qPrintable(StatusLine(C())->text()));
    } else {
      QTRY_COMPARE_WITH_TIMEOUT(m_pDesktop->messageBoxes.size(), 1, 20 * periodMs);
      QCOMPARE(m_pDesktop->messageBoxes.first().caption, QString("Internet Connection"));
      QVERIFY(m_pEngine->Failures() < 0);  // the warning came at the 13th in a row
    }
    hung = false;
    m_nProxyStatus = 0;
    QTRY_VERIFY_WITH_TIMEOUT(!C().Session().Refresh().IsConnectionAlert(), 20 * periodMs);
    QCOMPARE(Ids(), QStringList{"a"});
    QCOMPARE(StatusLine(C())->text(), QString("Total Visitors: 1             Number of Chats: 0"));
    C().Session().Refresh().Stop();
    QTRY_COMPARE(m_pEngine->RunningRequests(), 0);
  }

  void aLineOfTwelveFieldsGivesAnEmptyTable() {
    Apply({{"a"}});
    QCOMPARE(C().Session().Visitors().Visitors().size(), 1);
    C().Session().Refresh().Apply(QStringList(12, "x").join("<fld>") + "<blk>5<blk><blk><blk><blk><blk>");
    QVERIFY(C().Session().Visitors().Visitors().isEmpty());
    QCOMPARE(Table(C())->model()->rowCount(), 0);
    QCOMPARE(StatusLine(C())->text(), QString("Total Visitors: 5             Number of Chats: 0"));
  }

  void totalsAndChats() {
    Apply({{"a", "Chat Request"}, {"b", "Chatting with: ben"}, {"c"}}, "17");
    QCOMPARE(StatusLine(C())->text(), QString("Total Visitors: 17             Number of Chats: 2"));
    Apply({{"a"}}, "many");
    QCOMPARE(StatusLine(C())->text(), QString("Total Visitors: 0             Number of Chats: 0"));
  }

  void selectionFollowsItsVisitor() {
    Apply({{"a"}, {"b"}, {"c"}});
    QCOMPARE(SelectedRow(C()), 0);  // nothing was selected: the first row
    Select(2);
    Apply({{"c"}, {"a"}, {"b"}});
    QCOMPARE(SelectedRow(C()), 0);  // "c" moved up
    Select(1);
    Apply({{"c"}, {"b"}, {"d"}});  // "a" is gone: its old place stays selected
    QCOMPARE(SelectedRow(C()), 1);
    Select(2);
    Apply({{"x"}});  // no row at that place any more
    QCOMPARE(SelectedRow(C()), -1);
  }

  // The selection is back on its visitor before the session tells anyone of
  // the refresh: a listener connected ahead of the table, that switches the
  // view as the alerts do, finds the visitor still selected.
  void theSelectionIsInPlaceForWhoeverHearsFirst() {
    CConsoleSession& session = C().Session();
    QTableView view;
    std::unique_ptr<CConsoleTable> table;
    bool switchView = false;
    QString heard;
    QObject listener;
    connect(&session, &CConsoleSession::Refreshed, &listener, [&] {
      if (!switchView) return;
      const CSiteVisitor* visitor = nullptr;
      heard = table->SelectedVisitor(&visitor) >= 0 ? visitor->m_line.sessionId : QStringLiteral("none");
      session.SetView(CConsoleSession::View::Operators);
    });
    table = std::make_unique<CConsoleTable>(session, &view, nullptr);
    table->ShowVisitors();
    Apply({{"a"}, {"b"}, {"c"}});
    view.selectRow(1);
    switchView = true;
    Apply({{"n"}, {"a"}, {"b"}, {"c"}});  // "b" moved down a row
    QCOMPARE(heard, QString("b"));
    QCOMPARE(C().Mode(), CMainDlg::ViewMode::Operators);
  }

  void aLongTableKeepsItsScrollPosition() {
    QList<TestVisitor> many;
    for (int i = 0; i < 200; ++i) many.append({QString("s%1").arg(i)});
    Apply(many);
    Select(150);
    const int scrolled = Table(C())->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    many[10].duration = "0:02:00";
    Apply(many);
    QCOMPARE(Table(C())->verticalScrollBar()->value(), scrolled);
    QCOMPARE(SelectedRow(C()), 150);
  }

  void twentyThousandRows() {
    QList<TestVisitor> many;
    for (int i = 0; i < 20000; ++i) many.append({QString("s%1").arg(i)});
    Apply(many, "20000");
    QCOMPARE(Table(C())->model()->rowCount(), 20000);
    Apply({{"one"}});
    QCOMPARE(Table(C())->model()->rowCount(), 1);
  }

  void newVisitorSound() {
    TestVisitor fresh{"a"};
    fresh.duration = "0:00:08";
    TestVisitor older{"b"};
    older.duration = "0:00:09";
    TestVisitor garbled{"c"};
    garbled.duration = "soon";
    Apply({fresh, older, garbled});
    Apply({fresh, older, garbled});
    QCOMPARE(m_pDesktop->sounds, QList<QUrl>({kNewVisitorSound, kNewVisitorSound}));
  }

  // A refresh that failed, or whose answer has another block count, keeps
  // the table, greyed and with its age, its waiting request and its
  // selection; only the failure marker raises the connection alert. The
  // next good reply replaces it all.
  void aFailedRefreshKeepsTheTableStale_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("alert");
    QTest::newRow("failure marker") << "DISCONNNNECT" << true;
    QTest::newRow("a block too many") << RefreshReplyText({{"x"}}) + "<blk>" << false;
    QTest::newRow("too few blocks") << "x<blk>1<blk><blk><blk><blk>" << false;
  }
  void aFailedRefreshKeepsTheTableStale() {
    QFETCH(QString, reply);
    QFETCH(bool, alert);
    Apply({{"a"}, {"b", "Chat Request"}}, "2");
    Select(1);
    const QModelIndex name = Table(C())->model()->index(0, CVisitorTableModel::ColName);
    const QColor live = name.data(Qt::ForegroundRole).value<QColor>();
    for (int i = 0; i < 10; ++i) C().Session().Refresh().Apply(reply);
    QCOMPARE(Ids(), QStringList({"a", "b"}));
    QCOMPARE(SelectedRow(C()), 1);
    QVERIFY(C().Session().Visitors().IsStale());
    QVERIFY(name.data(Qt::ForegroundRole).value<QColor>() != live);
    QVERIFY(C().Session().WaitingRequests().contains("b"));
    QCOMPARE(C().Session().Refresh().IsConnectionAlert(), alert);
    const QString status = StatusLine(C())->text();
    QCOMPARE(status.startsWith("ALERT : Internet Connection is not available."), alert);
    QVERIFY2(status.contains("No answer: the table is 0 s old."), qPrintable(status));

    Apply({{"a"}, {"c"}}, "2");
    QVERIFY(!C().Session().Visitors().IsStale());
    QVERIFY(!C().Session().Refresh().IsConnectionAlert());
    QCOMPARE(name.data(Qt::ForegroundRole).value<QColor>(), live);
    QCOMPARE(StatusLine(C())->text(), QString("Total Visitors: 2             Number of Chats: 0"));
  }

  // Going Offline when away: only a stored number of minutes within range
  // turns it on. Past it without input the console goes Offline as the
  // operator's own choice would and says so, once; at the next input it
  // asks, and Yes makes it Online again.
  void goesOfflineWhileTheOperatorIsAway_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("minutes");
    QTest::newRow("ten") << "10" << 10;
    QTest::newRow("none") << "" << 0;
    QTest::newRow("no number") << "soon" << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("too many") << "241" << 0;
    QTest::newRow("negative") << "-5" << 0;
  }
  void goesOfflineWhileTheOperatorIsAway() {
    QFETCH(QString, stored);
    QFETCH(int, minutes);
    CSettingsStore().WriteText(CSettingsStore::kRootKey, "AwayMinutes", stored);
    CPreferences::Instance().Load();
    QCOMPARE(CPreferences::Instance().AwayMinutes(), minutes);
    CPresence& presence = C().Session().Presence();
    CAwayWatch& away = Rooms().AwayWatch();
    m_pDesktop->idleMs = minutes > 0 ? qint64(minutes) * 60000 - 1 : 24 * 3600 * 1000;
    away.Check();
    QVERIFY(!away.IsAway());
    QVERIFY(!presence.IsManualOffline());
    if (minutes == 0) return;

    m_pDesktop->idleMs = qint64(minutes) * 60000;
    away.Check();
    away.Check();
    QVERIFY(away.IsAway());
    QVERIFY(presence.IsManualOffline());
    QVERIFY(Radio(C(), "Offline")->isChecked());
    QCOMPARE(StatusLine(C())->text(), QString("Offline: no input for 10 minutes."));
    QVERIFY(m_pDesktop->messageBoxes.isEmpty());

    m_pDesktop->idleMs = 200;
    m_pDesktop->ScriptAnswers({CDesktopServices::Answer::Yes});
    away.Check();
    QCOMPARE(m_pDesktop->messageBoxes.size(), 1);
    QCOMPARE(m_pDesktop->messageBoxes.first().text, QString("You were away, so Talvero went Offline. Go Online again?"));
    QVERIFY(!away.IsAway());
    QVERIFY(!presence.IsManualOffline());
    CPreferences::Instance().SetAwayMinutes(0);
  }

  void anOvertakenReplyIsDropped() {
    std::atomic<int> calls{0};
    m_refresh = [&](const httplib::Request&) {
      // The first refresh answers late, after the second.
      if (calls++ == 0) return CScriptedServer::Reply{200, RefreshReplyText({{"old"}}).toStdString(), 600};
      return CScriptedServer::Reply{200, RefreshReplyText({{"new"}}).toStdString()};
    };
    const qsizetype before = m_pServer->Targets().filter("wn-allonlineu").size();
    C().Session().Refresh().RefreshNow();
    QTRY_COMPARE(m_pServer->Targets().filter("wn-allonlineu").size(), before + 1);
    C().Session().Refresh().RefreshNow();
    QTRY_COMPARE(Ids(), QStringList{"new"});
    QTRY_COMPARE(m_pEngine->RunningRequests(), 0);
    QCOMPARE(Ids(), QStringList{"new"});
  }

  // The own entry left out, the online operators first, the others saying
  // they are offline.
  void operatorsBoxLeavesTheOwnEntryOut() {
    const QString ops = "ANNA<subfld><subfld><subfld>Online<fld>demo<subfld><subfld><subfld>Offline<fld>"
                        "ben<subfld><subfld>Initiate<subfld>Online<fld>bad<subfld>entry";
    Apply({{"a"}}, "1", QString(), ops);
    QCOMPARE(C().Session().Operators().rowCount(), 3);  // the entry without four sub-fields is left out
    QComboBox* box = OperatorsBox(C());
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(0), QString("ben (Online)"));
    QCOMPARE(box->itemText(1), QString("demo (Offline)"));
    box->setCurrentIndex(1);
    Apply({{"a"}}, "1", QString(), ops);
    QCOMPARE(box->currentIndex(), 1);  // the choice survives the refill
  }

  void everyRefreshReannouncesUnlessOffline() {
    const int before = StatusTargets().size();
    Apply({{"a"}});
    QTRY_COMPARE(StatusTargets().size(), before + 1);
    m_strStatusReply = "offline";
    Radio(C(), "Offline")->click();
    QTRY_VERIFY(!C().Session().Presence().IsOnline());
    QVERIFY(StatusTargets().last().endsWith("action=lgof"));
    const int offline = StatusTargets().size();
    Apply({{"a"}});
    Apply({{"a"}});
    QTest::qWait(100);
    QCOMPARE(StatusTargets().size(), offline);  // no "lgon" while Offline was chosen
    // Replies no longer move the radios until Online is pressed.
    C().Session().Presence().OnStatusReply("online");
    QVERIFY(C().Session().Presence().IsOnline());
    QVERIFY(Radio(C(), "Offline")->isChecked());
    m_strStatusReply = "online";
    Radio(C(), "Online")->click();
    QTRY_VERIFY(StatusTargets().last().endsWith("action=lgon"));
    QTRY_VERIFY(Radio(C(), "Online")->isChecked());
    C().Session().Presence().OnStatusReply("DISCONNNNECT");  // neither word: nothing changes
    QVERIFY(C().Session().Presence().IsOnline());
  }

  void soundNames_data() {
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QUrl>>("sounds");
    QTest::newRow("request, online") << true << "sound1" << QList<QUrl>{kChatRequestSound};
    QTest::newRow("request, offline") << false << "sound1" << QList<QUrl>{};
    QTest::newRow("busy, online") << true << "sound2" << QList<QUrl>{kBusySound};
    QTest::newRow("busy, offline") << false << "sound2" << QList<QUrl>{};
    QTest::newRow("message") << true << "sound3" << QList<QUrl>{kMessageSound};
    QTest::newRow("new visitor") << false << "NewVisitor" << QList<QUrl>{kNewVisitorSound};
    QTest::newRow("transfer") << true << "chat_tran_snd" << QList<QUrl>{QUrl("qrc:/sounds/140.wav")};
    QTest::newRow("unknown") << true << "sound9" << QList<QUrl>{};
    QTest::newRow("empty") << true << "" << QList<QUrl>{};
  }
  void soundNames() {
    QFETCH(bool, online);
    QFETCH(QString, name);
    QFETCH(QList<QUrl>, sounds);
    C().Session().Presence().OnStatusReply(online ? "online" : "offline");
    m_pDesktop->sounds.clear();
    C().Session().Refresh().Apply(RefreshReplyText({}, "0", name));
    QCOMPARE(m_pDesktop->sounds, sounds);
  }

  // The service rings at every refresh while a request waits: the console
  // comes forward for each new request once, never at every ring (that took
  // the keyboard from the chat being typed in every few seconds).
  void eachNewChatRequestBringsTheConsoleForwardOnce() {
    C().Session().Presence().OnStatusReply("online");
    const QString one = RefreshReplyText({{"a", "Chat Request"}}, "1", "sound1");
    const QString two = RefreshReplyText({{"a", "Chat Request"}, {"b", "Chat Request"}}, "2", "sound1");
    const struct {
      QString reply;
      bool forward;
    } refreshes[] = {{one, true}, {one, false}, {two, true}, {two, false}, {one, false}};
    for (const auto& refresh : refreshes) {
      C().hide();  // in the tray
      C().Session().Refresh().Apply(refresh.reply);
      QCOMPARE(C().isVisible(), refresh.forward);
    }
  }

  void chatRequestInTheOperatorsViewGoesBackToTheVisitors() {
    Tabs(C())[2]->click();
    QCOMPARE(C().Mode(), CMainDlg::ViewMode::Operators);
    QCOMPARE(Table(C())->model()->headerData(0, Qt::Horizontal).toString(), QString("Opeartors"));
    Apply({{"a"}}, "1");
    QCOMPARE(C().Session().Visitors().Visitors().size(), 1);  // kept, not shown
    QCOMPARE(Table(C())->model()->rowCount(), 0);
    m_pDesktop->sounds.clear();
    Apply({{"a", "Chat Request"}}, "1");
    QCOMPARE(m_pDesktop->sounds, QList<QUrl>{kChatRequestSound});
    QCOMPARE(C().Mode(), CMainDlg::ViewMode::AllVisitors);
    CheckTabs(0);
    QCOMPARE(Table(C())->model()->rowCount(), 0);  // the next refresh fills it
  }

  // While a request waits the view switches once for it, not at every
  // refresh: the operator's click on another tab stays (a failed refresh
  // makes nothing new). A new request switches again.
  void aViewChoiceStandsWhileARequestWaits_data() {
    QTest::addColumn<int>("chosenTab");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");  // the same and a new request
    QTest::addColumn<int>("switchedTo");
    const QString op = "ben<subfld>oc1<subfld>op_chat<subfld>Online";
    const QString request = "<fld>cy<subfld>oc2<subfld>op_chat<subfld>Online";
    QTest::newRow("visitor request") << 2 << RefreshReplyText({{"a", "Chat Request"}})
                                     << RefreshReplyText({{"a", "Chat Request"}, {"b", "Chat Request"}}) << 0;
    QTest::newRow("operator request") << 0 << RefreshReplyText({{"a"}}, "1", "", op)
                                      << RefreshReplyText({{"a"}}, "1", "", op + request) << 2;
  }
  void aViewChoiceStandsWhileARequestWaits() {
    QFETCH(int, chosenTab);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, switchedTo);
    m_refresh = [first](const httplib::Request&) { return CScriptedServer::Reply{200, first.toStdString()}; };
    Tabs(C())[chosenTab]->click();
    int undone = 0;  // times the operator had to choose again
    for (const QString& reply : {first, first, QString("DISCONNNNECT"), first}) {
      C().Session().Refresh().Apply(reply);
      if (C().Mode() == CMainDlg::ViewMode(chosenTab)) continue;
      ++undone;
      Tabs(C())[chosenTab]->click();
    }
    QCOMPARE(undone, 1);
    C().Session().Refresh().Apply(second);
    CheckTabs(switchedTo);
    QTRY_COMPARE(m_pEngine->RunningRequests(), 0);
  }

  // A keyring that never answers delays neither the log-out nor its box.
  void serverSaysLoggedOut() {
    CSavedCredentials::Save({"anna", "1001", "pw"}, [] { return true; });
    CRecordingSecretStore secrets;
    secrets.holdAnswers = true;
    C().Session().Refresh().Apply("logout");
    QVERIFY(C().Session().IsEnded());
    QCOMPARE(secrets.HeldAnswers(), 1);  // the password's removal, unanswered
    QVERIFY(m_pEngine->IsClosing());
    QVERIFY(!C().Session().Refresh().IsActive());
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kLoginKey));
    QCOMPARE(m_pDesktop->messageBoxes.size(), 1);
    QCOMPARE(m_pDesktop->messageBoxes[0].text, QString("You have been logged out."));
    QCOMPARE(m_pDesktop->messageBoxes[0].caption, QString("Logged Out"));
    QVERIFY(m_pServer->Targets().filter("w-adminout").isEmpty());  // the server knows already
    QCOMPARE(C().result(), int(QDialog::Accepted));
    // A reply arriving now changes nothing.
    Apply({{"late"}});
    QVERIFY(C().Session().Visitors().Visitors().isEmpty());
  }

  void logOutForgetsTheSavedLogin() {
    CSavedCredentials::Save({"anna", "1001", "pw"}, [] { return true; });
    CRecordingSecretStore secrets;
    secrets.holdAnswers = true;
    Button(C(), "LogOut")->click();
    QVERIFY(C().Session().IsEnded());
    QCOMPARE(secrets.HeldAnswers(), 1);
    QVERIFY(!Button(C(), "LogOut")->isEnabled());
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kLoginKey));
    QCOMPARE(m_pServer->Targets().filter("w-adminout").first(), QString("/cpn/w-adminout.php?adminid=anna&sid=1001"));
    QVERIFY(m_pEngine->IsClosing());
    QVERIFY(m_pDesktop->messageBoxes.isEmpty());
  }

  void closingTheWindowKeepsTheSavedLogin() {
    CSavedCredentials::Save({"anna", "1001", "pw"}, [] { return true; });
    C().close();
    QVERIFY(C().Session().IsEnded());
    QVERIFY(CSavedCredentials::Record().has_value());
    QCOMPARE(m_pServer->Targets().filter("w-adminout").size(), 1);
  }

  void aTickWhileARefreshIsOutSendsNothing() {
    m_refresh = [](const httplib::Request&) {
      return CScriptedServer::Reply{200, RefreshReplyText({{"a"}}).toStdString(), 700};
    };
    m_pEngine->Session().consolePeriodMs = 40;
    const qsizetype before = m_pServer->Targets().filter("wn-allonlineu").size();
    C().Session().Refresh().Start();
    QTRY_COMPARE(m_pServer->Targets().filter("wn-allonlineu").size(), before + 1);
    QVERIFY(C().Session().Refresh().IsRefreshOut());
    QTest::qWait(300);  // several ticks pass while the server thinks
    QCOMPARE(m_pServer->Targets().filter("wn-allonlineu").size(), before + 1);
    QTRY_COMPARE(Ids(), QStringList{"a"});
    QTRY_VERIFY(m_pServer->Targets().filter("wn-allonlineu").size() >= before + 2);  // the next tick sends again
  }

  void theTableTakesTheGrowthAndThePlaceIsRemembered() {
    Apply({{"a"}});
    const QSize base = C().size();
    const QRect table = Table(C())->geometry();
    const QRect details = Details(C())->geometry();
    const QRect status = StatusLine(C())->geometry();
    int columnsBefore = 0;
    for (int col = 0; col < 5; ++col) columnsBefore += Table(C())->columnWidth(col);
    C().resize(base + QSize(300, 120));
    // The panel keeps to what its texts need; the table takes the growth.
    QCOMPARE(Table(C())->geometry(), table.adjusted(0, 0, 300, 120));
    QCOMPARE(Details(C())->geometry(), details.translated(0, 120).adjusted(0, 0, 300, 0));
    QVERIFY(details.height() <= CWindowUnits::Of(&C()).Pixels(CConsoleLayout::kInfoPanel).height());
    C().OnFootPrints();  // a panel made after the growth has it too
    QCOMPARE(FootPrints(C())->geometry(), Details(C())->geometry());
    QCOMPARE(StatusLine(C())->geometry(), status.translated(0, 120).adjusted(0, 0, 300, 0));
    const QList<FooButton*> bottom = BottomRow(C());
    const CWindowUnits du = CWindowUnits::Of(&C());
    QCOMPARE(bottom[0]->x(), (C().width() - 6 * bottom[0]->width() - 5 * du.PixelsX(7)) / 2);
    QCOMPARE(bottom[0]->y(), du.PixelsY(585) + 120);
    int columnsAfter = 0;
    for (int col = 0; col < 5; ++col) columnsAfter += Table(C())->columnWidth(col);
    const double grown = double(table.width() + 300) / table.width();
    QVERIFY2(qAbs(columnsAfter - columnsBefore * grown) < 6, qPrintable(QString::number(columnsAfter)));
    // At first and shorter, the table keeps eight whole rows: the panel
    // gives up room, down to what its texts need, then collapses; the rows
    // below stay inside.
    QTableView* rows = Table(C());
    const auto wholeRows = [rows] { return rows->viewport()->height() / rows->verticalHeader()->defaultSectionSize(); };
    const int panelLeast = Details(C())->minimumSizeHint().height();
    const auto inside = [&] {
      for (QWidget* w : QList<QWidget*>{StatusLine(C()), Button(C(), "Send Message"), bottom.last()})
        if (!C().rect().contains(w->geometry())) return false;
      return true;
    };
    QWidget* panel = FootPrints(C());
    C().resize(base);
    QVERIFY(panel->isVisible() && panel->height() >= panelLeast);
    QVERIFY2(wholeRows() >= 8, qPrintable(QString::number(wholeRows())));
    QVERIFY(inside());
    C().resize(base - QSize(0, details.height()));
    QVERIFY(!Details(C())->isVisible() && !FootPrints(C())->isVisible());
    QVERIFY2(wholeRows() >= 8, qPrintable(QString::number(wholeRows())));
    QVERIFY(inside());
    // Asked for while collapsed, the panel comes back at its least, from
    // the table's rows.
    C().resize(base - QSize(0, details.height() - 3 * rows->verticalHeader()->defaultSectionSize()));
    QVERIFY(!Details(C())->isVisible());
    C().OnViewDetails();
    QVERIFY(Details(C())->isVisible());
    QCOMPARE(Details(C())->height(), panelLeast);
    QVERIFY(wholeRows() >= CConsoleLayout::kLeastTableRows);
    // At its smallest the window is as wide as at first, the table keeps its
    // fewest rows, the panel collapses again.
    C().resize(100, 100);
    QCOMPARE(C().width(), base.width());
    QVERIFY(C().height() < base.height() - details.height());
    QVERIFY(!Details(C())->isVisible());
    QCOMPARE(wholeRows(), CConsoleLayout::kLeastTableRows);
    QVERIFY(inside());

    C().resize(base + QSize(40, 30));
    const QRect placed = C().geometry();
    C().LogOut(false);
    const QString saved =
        CSettingsStore().ReadText(CWindowPlacement::kKey, CMainDlg::kPlacementName).value_or(QString());
    QCOMPARE(saved, QString("%1,%2,%3,%4").arg(placed.x()).arg(placed.y()).arg(placed.width()).arg(placed.height()));
  }

  void aRememberedPlaceIsKeptOnAScreen() {
    m_pSession->DestroyConsole();
    CSettingsStore store;
    store.CreateKey(CWindowPlacement::kKey);
    store.WriteText(CWindowPlacement::kKey, CMainDlg::kPlacementName, "9000,-7000,820,650");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect r = C().geometry();
    const QSize expected(std::max(std::min(820, screen.width()), C().minimumWidth()),
                         std::max(std::min(650, screen.height()), C().minimumHeight()));
    QCOMPARE(r.size(), expected);
    QVERIFY2(screen.contains(r.topLeft()), qPrintable(QString("%1,%2").arg(r.x()).arg(r.y())));
  }

  void placementClamping_data() {
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QRect>("clamped");
    QTest::newRow("inside stays") << QRect(100, 100, 900, 700) << QRect(100, 100, 900, 700);
    QTest::newRow("off to the right") << QRect(5000, 100, 900, 700) << QRect(1020, 100, 900, 700);
    QTest::newRow("above and left") << QRect(-900, -50, 900, 700) << QRect(0, 0, 900, 700);
    QTest::newRow("larger than the screen") << QRect(10, 10, 4000, 3000) << QRect(0, 0, 1920, 1080);
    QTest::newRow("never below the minimum") << QRect(0, 0, 100, 100) << QRect(0, 0, 802, 647);
  }
  void placementClamping() {
    QFETCH(QRect, rect);
    QFETCH(QRect, clamped);
    QCOMPARE(CWindowPlacement::ClampTo(rect, QRect(0, 0, 1920, 1080), QSize(802, 647)), clamped);
    QRect parsed;
    for (const char* bad : {"", "1,2,3", "a,b,c,d", "1,2,0,5", "1,2,3,4,5"}) QVERIFY(!CWindowPlacement::Parse(bad, parsed));
  }

  void logOutClosesEveryChatWindow() {
    int made = 0;
    auto standIn = [this, &made](const char* id) {
      return [this, &made, id] {
        ++made;
        return StandInChat(*m_pEngine, id, ChatKind::Visitor);
      };
    };
    QPointer<QWidget> first = Rooms().ChatWindows().Open("c1", standIn("c1"));
    QPointer<QWidget> second = Rooms().ChatWindows().Open("c2", standIn("c2"));
    QPointer<QWidget> third = Rooms().ChatWindows().Open("c&3", standIn("c&3"));
    QPointer<QWidget> operatorChat = Rooms().OperatorChatWindows().Open("op1", [this] {
      return StandInChat(*m_pEngine, "op1", ChatKind::Operator);
    });
    QCOMPARE(Rooms().ChatWindows().Open("c1", standIn("c1")), first.data());  // raised, not made again
    QCOMPARE(made, 3);
    // A window that closes another as it closes: the list is walked on a copy.
    first->installEventFilter(new CloseAlso(second, first));
    // One chat ends on its own before the log-out: it leaves the list.
    third->deleteLater();
    QTRY_COMPARE(Rooms().ChatWindows().Count(), 2);

    C().LogOut(false);
    QCOMPARE(Rooms().ChatWindows().Count(), 0);
    QCOMPARE(Rooms().OperatorChatWindows().Count(), 0);
    QTRY_VERIFY(first.isNull() && second.isNull() && operatorChat.isNull());
  }

  // A chat the operator asked for comes forward active; one that arrives by
  // itself asks for attention instead, and opens beside the others. (Whether
  // it leaves the keyboard alone only a window manager can tell: the
  // offscreen platform activates every window it shows.)
  void chatsComeForwardOnlyWhenTheOperatorAskedForThem() {
    using Arrival = CChatWindows::Arrival;
    // Small, so that the cascade's step fits on the offscreen screen.
    const auto standIn = [this](const char* id) {
      return [this, id] {
        CChatWindowBase* chat = StandInChat(*m_pEngine, id, ChatKind::Visitor);
        chat->setMinimumSize(0, 0);
        chat->resize(200, 150);
        return chat;
      };
    };
    QPointer<QWidget> asked = Rooms().ChatWindows().Open("c1", standIn("c1"), Arrival::ByOperator);
    QTRY_VERIFY(asked->isActiveWindow());
    QVERIFY(m_pDesktop->flashes.isEmpty());
    QPointer<QWidget> handedOver = Rooms().ChatWindows().Open("c2", standIn("c2"), Arrival::ByItself);
    QVERIFY(handedOver->isVisible());
    QCOMPARE(handedOver->pos() - asked->pos(), QPoint(CWindowPlacement::kCascadeStep, CWindowPlacement::kCascadeStep));
    QCOMPARE(m_pDesktop->flashes.size(), 1);
    QCOMPARE(m_pDesktop->flashes[0].data(), handedOver.data());
  }

  // What a visitor sends is shown as sent: markup stays text in the cell
  // and its tooltip, and a direction override cannot turn "gpj.exe" round
  // into "exe.jpg" or run on past its field.
  void visitorTextIsShownAsSent_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("markup") << "<b>Zoe</b><img src=\"x.png\" width=359>" << "<b>Zoe</b><img src=\"x.png\" width=359>";
    QTest::newRow("right-to-left override") << QString::fromUtf8("photo\u202Egpj.exe") << "photogpj.exe";
    QTest::newRow("embedding and isolate left open")
        << QString::fromUtf8("a\u202Bb\u2067c") << "abc";
    QTest::newRow("Hebrew with its marks") << QString::fromUtf8("\u05E9\u05DC\u05D5\u05DD\u200F!") << QString::fromUtf8("\u05E9\u05DC\u05D5\u05DD\u200F!");
  }
  void visitorTextIsShownAsSent() {
    QFETCH(QString, name);
    QFETCH(QString, shown);
    TestVisitor visitor{"a"};
    visitor.name = name;
    Apply({visitor});
    const QModelIndex cell = Table(C())->model()->index(0, CVisitorTableModel::ColName);
    QCOMPARE(cell.data(Qt::DisplayRole).toString(), shown);
    QTextDocument tip;
    tip.setHtml(cell.data(Qt::ToolTipRole).toString());
    QCOMPARE(tip.toPlainText(), shown);
    QVERIFY(!tip.toHtml().contains("<img"));
  }

  void aLateReplyWhileTheLoggedOutBoxIsOpenChangesNothing() {
    Apply({{"a"}});
    QTRY_COMPARE(m_pEngine->RunningRequests(), 0);  // the panel's question about a
    m_refresh = [](const httplib::Request&) {
      return CScriptedServer::Reply{200, RefreshReplyText({{"late"}}).toStdString(), 200};
    };
    C().Session().Refresh().RefreshNow();
    QTRY_COMPARE(m_pServer->Targets().filter("wn-allonlineu").size(), 1);
    QPointer<QWidget> chat =
        Rooms().ChatWindows().Open("c1", [this] { return StandInChat(*m_pEngine, "c1", ChatKind::Visitor); });
    bool chatsClosedBeforeTheBox = false;
    m_pDesktop->KeepBoxesOpen(5000, [&] {
      chatsClosedBeforeTheBox = Rooms().ChatWindows().Count() == 0;
      return m_pEngine->RunningRequests() == 0;
    });
    C().Session().Refresh().Apply("logout");  // the box runs its loop while the late reply comes
    QCOMPARE(m_pDesktop->messageBoxes.size(), 1);
    QVERIFY(chatsClosedBeforeTheBox);
    QCOMPARE(m_pEngine->RunningRequests(), 0);
    QCOMPARE(Ids(), QStringList{"a"});
    QTRY_VERIFY(chat.isNull());
  }

  void detailsAreCachedOnlyWhenWholeAndFetchedAfreshWhenForced() {
    m_info = [](const std::string&, const std::string& id) { return DetailsOf("Name " + id, 0, id == "a" ? 19 : 18); };
    Apply({{"a"}, {"b"}});  // selects a, and the panel shows a
    QVERIFY(Button(C(), "View Details")->isEnabled() && Button(C(), "Foot Prints")->isEnabled());
    QTRY_COMPARE(ShownName(), QString("Name a"));
    ClickRow(0);  // cached
    QVERIFY(!C().VisitorInfo().IsDetailsOut());
    QCOMPARE(Asked("wn-lmudets"), 1);
    // 18 pieces: nothing is cached, so the next click asks again.
    for (int asked : {2, 3}) {
      ClickRow(1);
      QTRY_VERIFY(Asked("wn-lmudets") == asked && !C().VisitorInfo().IsDetailsOut());
      QCOMPARE(Details(C())->Details(), VisitorDetails());
    }
    // View Details asks afresh even for a cached visitor; refreshes keep the cache.
    Select(0);
    Button(C(), "View Details")->click();
    QTRY_COMPARE(Asked("wn-lmudets"), 4);
    Apply({{"a"}, {"b"}});
    QVERIFY(C().Session().Visitors().Visitors()[0].m_bDetailsLoaded && !C().Session().Visitors().Visitors()[1].m_bDetailsLoaded);
    // A click that selects nothing ends the forcing.
    Table(C())->clearSelection();
    C().OnListClick();
    QVERIFY(!Button(C(), "View Details")->isEnabled() && !Button(C(), "Foot Prints")->isEnabled());
    Select(0);  // cached, and no longer asked afresh
    C().OnListClick();
    QTest::qWait(200);
    QCOMPARE(Asked("wn-lmudets"), 4);
    C().SwitchView(CMainDlg::ViewMode::Operators);
    Select(0);
    C().OnListClick();
    QVERIFY(!Button(C(), "View Details")->isEnabled());
  }

  void aSlowAnswerNeverShowsUnderAnotherVisitor() {
    Apply({{"a"}, {"b"}});
    m_info = [](const std::string&, const std::string& id) { return DetailsOf(id, id == "a" ? 1500 : 0); };
    ClickRow(0);
    ClickRow(1);  // while a's answer is out: the console answers at once
    QTRY_COMPARE(ShownName(), QString("b"));
    QTRY_VERIFY(!C().VisitorInfo().IsDetailsOut());
    QCOMPARE(ShownName(), QString("b"));
    // An answer for a visitor no longer selected is cached, not shown: the
    // panel follows the selection to b.
    ClickRow(0);
    Select(1);
    QTRY_VERIFY(!C().VisitorInfo().IsDetailsOut());
    QCOMPARE(ShownName(), QString("b"));
    QVERIFY(C().Session().Visitors().Visitors()[0].m_bDetailsLoaded);
  }

  void footPrintsOfTheSelectedVisitor() {
    Apply({{"a", "In Site", "0:01:00", "#", "A", "10.0.0.1"}, {"b", "In Site", "0:01:00", "#", "B", "10.0.0.2"},
           {"c", "In Site", "0:01:00", "#", "C", "10.0.0.3"}});
    m_info = [](const std::string& script, const std::string& id) -> CScriptedServer::Reply {
      if (script != "w-lmfprint.php") return DetailsOf(id);
      if (id == "a") return {200, "http://shop.example/a Time:0:00:10<fld>http://shop.example/b Time:0:00:20"};
      return {200, id == "b" ? "" : "DISCONNNNECT"};
    };
    QVERIFY(FootPrints(C()) == nullptr);
    Button(C(), "Foot Prints")->click();
    QVERIFY(FootPrints(C())->isVisible() && !Details(C())->isVisible());
    QTRY_COMPARE(FootPrintRows(), QStringList({"http://shop.example/a", "http://shop.example/b"}));
    // An empty answer and a failure both leave the list empty.
    for (int row : {1, 2}) {
      ClickRow(row);
      QTRY_VERIFY(Asked("w-lmfprint") == row + 1 && !C().VisitorInfo().IsFootPrintsOut());
      QCOMPARE(FootPrintRows(), QStringList());
    }
    Button(C(), "View Details")->click();
    QVERIFY(!FootPrints(C())->isVisible() && Details(C())->isVisible());
    QCOMPARE(FootPrints(C())->List()->columnCount(), 1);
    QTRY_COMPARE(ShownName(), QString("c"));
  }

  void logOutGivesADeadServiceFiveSeconds() {
    m_pServer->SetScript([](const httplib::Request&) {
      CScriptedServer::Reply hang;
      hang.hang = true;
      return hang;
    });
    m_pEngine->SetTimeouts(10000, 60000);
    QElapsedTimer timer;
    timer.start();
    C().LogOut(false);
    QVERIFY(C().Session().IsEnded());
    QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
  }

  void escapeAndEnterDoNotCloseIt() {
    QTest::keyClick(&C(), Qt::Key_Escape);
    QTest::keyClick(&C(), Qt::Key_Return);
    QVERIFY(!C().Session().IsEnded());
    QVERIFY(C().isVisible());
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TestMainDlg test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_MainDlg.moc"
