// The console window: applying refresh replies, presence, sounds, log-out.
#include "ChatManager.h"
#include "ConsoleReplies.h"
#include "MainDlg.h"
#include "RecordingDesktopServices.h"
#include "SavedCredentials.h"
#include "ScriptedServer.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <httplib.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

namespace {

const QUrl kChatRequestSound("qrc:/sounds/143.wav");
const QUrl kBusySound("qrc:/sounds/141.wav");
const QUrl kNewVisitorSound("qrc:/sounds/168.wav");
const QUrl kMessageSound("qrc:/sounds/140.wav");

}  // namespace

class TestMainDlg : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CTestSettingsFolder> m_pSettings;
  std::unique_ptr<CRecordingDesktopServices> m_pDesktop;
  std::unique_ptr<CScriptedServer> m_pServer;
  std::unique_ptr<CChatManager> m_pEngine;
  std::unique_ptr<CMainDlg> m_pConsole;
  std::string m_strStatusReply = "online";
  std::function<CScriptedServer::Reply(const httplib::Request&)> m_refresh;

  CMainDlg& C() { return *m_pConsole; }
  QStringList StatusTargets() const { return m_pServer->Targets().filter("w-mrefresh.php"); }
  QStringList Ids() const {
    QStringList ids;
    for (const CSiteVisitor& v : m_pConsole->Visitors()) ids.append(v.m_line.sessionId);
    return ids;
  }
  void Apply(const QList<TestVisitor>& visitors, const QString& total = "1", const QString& sound = QString(),
             const QString& operators = QString()) {
    C().ApplyRefreshReply(RefreshReplyText(visitors, total, sound, operators));
  }
  void Select(int row) { C().Table()->selectRow(row); }

 private slots:
  void init() {
    m_pSettings = std::make_unique<CTestSettingsFolder>();
    m_pDesktop = std::make_unique<CRecordingDesktopServices>();
    m_strStatusReply = "online";
    m_refresh = nullptr;
    m_pServer = std::make_unique<CScriptedServer>([this](const httplib::Request& req) {
      if (req.path.find("w-mrefresh.php") != std::string::npos) return CScriptedServer::Reply{200, m_strStatusReply};
      if (req.path.find("wn-allonlineu.php") != std::string::npos && m_refresh) return m_refresh(req);
      return CScriptedServer::Reply{200, "true"};
    });
    m_pEngine = std::make_unique<CChatManager>();
    m_pEngine->SetDefaultHost(m_pServer->Host());
    m_pEngine->SetSession("anna", "1001");
    CSettingsStore().CreateKey(CSettingsStore::kRootKey);
    m_pConsole = std::make_unique<CMainDlg>(*m_pEngine);
    C().SetConsoleSession("1001", "anna", "http://www.example-shop.com");
    C().show();
    C().OnInitDialog();
    QTRY_VERIFY(C().IsOnline());  // the opening "lgon" was answered
  }
  void cleanup() {
    m_pConsole.reset();
    m_pEngine.reset();
    m_pServer.reset();
    m_pDesktop.reset();
    m_pSettings.reset();
  }

  void opening() {
    QCOMPARE(C().size(), QSize(802, 647));
    QCOMPARE(StatusTargets().first(), QString("/cpn/w-mrefresh.php?sid=1001&adminid=anna&action=lgon"));
    QVERIFY(C().OnlineRadio()->isChecked());
    QVERIFY(C().IsRefreshTimerActive());
    QVERIFY(C().Visitors().isEmpty());  // the first table comes after one period
    QVERIFY(m_pServer->Targets().filter("wn-allonlineu").isEmpty());
    // The bottom row: six buttons of one size, 7 pixels apart, centred.
    const QList<QPushButton*> bottom = C().BottomButtons();
    QCOMPARE(bottom.size(), 6);
    const int w = bottom[0]->width();
    QCOMPARE(bottom[0]->x(), (C().width() - 6 * w - 35) / 2);
    for (int i = 1; i < 6; ++i) {
      QCOMPARE(bottom[i]->x(), bottom[i - 1]->x() + w + 7);
      QCOMPARE(bottom[i]->y(), 585);
    }
    QVERIFY(C().TabButtons()[0]->isChecked());
  }

  void refreshRequestAndChatsOnly() {
    C().RefreshVisitors();
    QTRY_COMPARE(m_pServer->Targets().filter("wn-allonlineu").size(), 1);
    QCOMPARE(m_pServer->Targets().filter("wn-allonlineu").last(), QString("/cpn/wn-allonlineu.php?nadminid=anna&nsid=1001&nvar=Y"));
    C().TabButtons()[1]->click();
    QCOMPARE(C().Mode(), CMainDlg::ViewMode::ChatsOnly);
    C().RefreshVisitors();
    QTRY_COMPARE(m_pServer->Targets().filter("wn-allonlineu").size(), 2);
    QVERIFY(m_pServer->Targets().filter("wn-allonlineu").last().endsWith("&nvar=Y&conly=Y"));
  }

  void aLineOfTwelveFieldsGivesAnEmptyTable() {
    Apply({{"a"}});
    QCOMPARE(C().Visitors().size(), 1);
    C().ApplyRefreshReply(QStringList(12, "x").join("<fld>") + "<blk>5<blk><blk><blk><blk><blk>");
    QVERIFY(C().Visitors().isEmpty());
    QCOMPARE(C().Table()->model()->rowCount(), 0);
    QCOMPARE(C().StatusLine()->text(), QString("Total Visitors: 5             Number of Chats: 0"));
  }

  void totalsAndChats() {
    Apply({{"a", "Chat Request"}, {"b", "Chatting with: ben"}, {"c"}}, "17");
    QCOMPARE(C().StatusLine()->text(), QString("Total Visitors: 17             Number of Chats: 2"));
    Apply({{"a"}}, "many");
    QCOMPARE(C().StatusLine()->text(), QString("Total Visitors: 0             Number of Chats: 0"));
  }

  void selectionFollowsItsVisitor() {
    Apply({{"a"}, {"b"}, {"c"}});
    QCOMPARE(C().SelectedRow(), 0);  // nothing was selected: the first row
    Select(2);
    Apply({{"c"}, {"a"}, {"b"}});
    QCOMPARE(C().SelectedRow(), 0);  // "c" moved up
    Select(1);
    Apply({{"c"}, {"b"}, {"d"}});  // "a" is gone: its old place stays selected
    QCOMPARE(C().SelectedRow(), 1);
    Select(2);
    Apply({{"x"}});  // no row at that place any more
    QCOMPARE(C().SelectedRow(), -1);
  }

  void aLongTableKeepsItsScrollPosition() {
    QList<TestVisitor> many;
    for (int i = 0; i < 200; ++i) many.append({QString("s%1").arg(i)});
    Apply(many);
    Select(150);
    const int scrolled = C().Table()->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    many[10].duration = "0:02:00";
    Apply(many);
    QCOMPARE(C().Table()->verticalScrollBar()->value(), scrolled);
    QCOMPARE(C().SelectedRow(), 150);
  }

  void twentyThousandRows() {
    QList<TestVisitor> many;
    for (int i = 0; i < 20000; ++i) many.append({QString("s%1").arg(i)});
    Apply(many, "20000");
    QCOMPARE(C().Table()->model()->rowCount(), 20000);
    Apply({{"one"}});
    QCOMPARE(C().Table()->model()->rowCount(), 1);
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

  void connectionAlertOnceUntilAGoodReply() {
    Apply({{"a"}});
    for (int i = 0; i < 10; ++i) {
      C().ApplyRefreshReply("DISCONNNNECT");
      QCOMPARE(C().StatusLine()->text(), QString("ALERT : Internet Connection is not available."));
      QVERIFY(C().Visitors().isEmpty());
    }
    QVERIFY(C().IsConnectionAlert());
    Apply({{"a"}, {"b"}}, "2");
    QVERIFY(!C().IsConnectionAlert());
    QCOMPARE(C().StatusLine()->text(), QString("Total Visitors: 2             Number of Chats: 0"));
  }

  void wrongBlockCountsEmptyTheTable() {
    Apply({{"a"}});
    C().ApplyRefreshReply(RefreshReplyText({{"a"}}) + "<blk>");
    QVERIFY(C().Visitors().isEmpty());
    Apply({{"a"}});
    C().ApplyRefreshReply("x<blk>1<blk><blk><blk><blk>");
    QVERIFY(C().Visitors().isEmpty());
    QVERIFY(!C().IsConnectionAlert());
  }

  void anOvertakenReplyIsDropped() {
    std::atomic<int> calls{0};
    m_refresh = [&](const httplib::Request&) {
      // The first refresh answers late, after the second.
      if (calls++ == 0) return CScriptedServer::Reply{200, RefreshReplyText({{"old"}}).toStdString(), 600};
      return CScriptedServer::Reply{200, RefreshReplyText({{"new"}}).toStdString()};
    };
    C().RefreshVisitors();
    QTRY_COMPARE(m_pServer->Targets().filter("wn-allonlineu").size(), 1);
    C().RefreshVisitors();
    QTRY_COMPARE(Ids(), QStringList{"new"});
    QTRY_COMPARE(m_pEngine->RunningRequests(), 0);
    QCOMPARE(Ids(), QStringList{"new"});
  }

  void operatorsBoxLeavesTheOwnEntryOut() {
    const QString ops = "ANNA<subfld><subfld><subfld>Online<fld>ben<subfld><subfld>Initiate<subfld>Online<fld>"
                        "demo<subfld><subfld><subfld>Offline<fld>bad<subfld>entry";
    Apply({{"a"}}, "1", QString(), ops);
    QCOMPARE(C().OperatorTexts(), QStringList({"ANNA (Online)", "ben (Online)", "demo (Offline)"}));
    QComboBox* box = C().OperatorsBox();
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(0), QString("ben (Online)"));
    box->setCurrentIndex(1);
    Apply({{"a"}}, "1", QString(), ops);
    QCOMPARE(box->currentIndex(), 1);  // the choice survives the refill
  }

  void everyRefreshReannouncesUnlessOffline() {
    const int before = StatusTargets().size();
    Apply({{"a"}});
    QTRY_COMPARE(StatusTargets().size(), before + 1);
    m_strStatusReply = "offline";
    C().OfflineRadio()->click();
    QTRY_VERIFY(!C().IsOnline());
    QVERIFY(StatusTargets().last().endsWith("action=lgof"));
    const int offline = StatusTargets().size();
    Apply({{"a"}});
    Apply({{"a"}});
    QTest::qWait(100);
    QCOMPARE(StatusTargets().size(), offline);  // no "lgon" while Offline was chosen
    // Replies no longer move the radios until Online is pressed.
    C().HandleServerReply(3, "online");
    QVERIFY(C().IsOnline());
    QVERIFY(C().OfflineRadio()->isChecked());
    m_strStatusReply = "online";
    C().OnlineRadio()->click();
    QTRY_VERIFY(StatusTargets().last().endsWith("action=lgon"));
    QTRY_VERIFY(C().OnlineRadio()->isChecked());
    C().HandleServerReply(3, "DISCONNNNECT");  // neither word: nothing changes
    QVERIFY(C().IsOnline());
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
    C().HandleServerReply(3, online ? "online" : "offline");
    m_pDesktop->sounds.clear();
    C().HandleSoundName(name);
    QCOMPARE(m_pDesktop->sounds, sounds);
  }

  void chatRequestRaisesTheConsole() {
    C().showMinimized();
    QTRY_VERIFY(C().isMinimized());
    C().HandleSoundName("sound1");
    QTRY_VERIFY(!C().isMinimized());
    QVERIFY(C().isVisible());
  }

  void chatRequestInTheOperatorsViewGoesBackToTheVisitors() {
    C().TabButtons()[2]->click();
    QCOMPARE(C().Mode(), CMainDlg::ViewMode::Operators);
    QCOMPARE(C().Table()->model()->headerData(0, Qt::Horizontal).toString(), QString("Opeartors"));
    Apply({{"a"}}, "1");
    QCOMPARE(C().Visitors().size(), 1);  // kept, not shown
    QCOMPARE(C().Table()->model()->rowCount(), 0);
    m_pDesktop->sounds.clear();
    Apply({{"a", "Chat Request"}}, "1");
    QCOMPARE(m_pDesktop->sounds, QList<QUrl>{kChatRequestSound});
    QCOMPARE(C().Mode(), CMainDlg::ViewMode::AllVisitors);
    QVERIFY(C().TabButtons()[0]->isChecked());
    QCOMPARE(C().Table()->model()->rowCount(), 0);  // the next refresh fills it
  }

  void serverSaysLoggedOut() {
    CSavedCredentials::Save({"anna", "1001", "pw"});
    C().ApplyRefreshReply("logout");
    QVERIFY(C().IsSessionEnded());
    QVERIFY(m_pEngine->IsClosing());
    QVERIFY(!C().IsRefreshTimerActive());
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kLoginKey));
    QCOMPARE(m_pDesktop->messageBoxes.size(), 1);
    QCOMPARE(m_pDesktop->messageBoxes[0].text, QString("You have been logged out."));
    QCOMPARE(m_pDesktop->messageBoxes[0].caption, QString("Logged Out"));
    QVERIFY(m_pServer->Targets().filter("w-adminout").isEmpty());  // the server knows already
    QCOMPARE(C().result(), int(QDialog::Accepted));
    // A reply arriving now changes nothing.
    Apply({{"late"}});
    QVERIFY(C().Visitors().isEmpty());
  }

  void logOutForgetsTheSavedLogin() {
    CSavedCredentials::Save({"anna", "1001", "pw"});
    C().LogOutButton()->click();
    QVERIFY(C().IsSessionEnded());
    QVERIFY(!C().LogOutButton()->isEnabled());
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kLoginKey));
    QCOMPARE(m_pServer->Targets().filter("w-adminout").first(), QString("/cpn/w-adminout.php?adminid=anna&sid=1001"));
    QVERIFY(m_pEngine->IsClosing());
    QVERIFY(m_pDesktop->messageBoxes.isEmpty());
  }

  void closingTheWindowKeepsTheSavedLogin() {
    CSavedCredentials::Save({"anna", "1001", "pw"});
    C().close();
    QVERIFY(C().IsSessionEnded());
    QVERIFY(CSavedCredentials::Load().has_value());
    QCOMPARE(m_pServer->Targets().filter("w-adminout").size(), 1);
  }

  void escapeAndEnterDoNotCloseIt() {
    QTest::keyClick(&C(), Qt::Key_Escape);
    QTest::keyClick(&C(), Qt::Key_Return);
    QVERIFY(!C().IsSessionEnded());
    QVERIFY(C().isVisible());
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TestMainDlg test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_MainDlg.moc"
