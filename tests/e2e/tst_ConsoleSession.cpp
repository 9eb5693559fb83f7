// A whole console session against talvero-service over real HTTP: log in,
// watch the visitors refresh, look at a visitor, be logged out by an
// administrator.
#include "ConsoleParts.h"
#include "FooButton.h"
#include "GetFootDlg.h"
#include "LoginDlg.h"
#include "ConsoleController.h"
#include "MainDlg.h"
#include "OperatorList.h"
#include "Presence.h"
#include "RefreshCycle.h"
#include "SessionFixture.h"
#include "VisitorDtlsDlg.h"
#include "VisitorInfo.h"
#include "VisitorTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

using namespace ConsoleParts;

class TestConsoleSession : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CSessionFixture> m_pSession;
  std::unique_ptr<CLoginDlg> m_pLogin;
  std::unique_ptr<CConsoleSession> m_pConsoleSession;
  std::unique_ptr<CConsoleController> m_pController;
  CMainDlg* m_pConsole = nullptr;
  CChatManager* m_pEngine = nullptr;
  CRecordingDesktopServices* m_pDesktop = nullptr;
  CServiceFixture* m_pService = nullptr;

  static constexpr int kPeriodMs = 1000;

  // Logs in through the login window; its console runs shown, not modally,
  // so that the test can watch it.
  void LogIn(bool demo, const QString& loginId = QStringLiteral("anna")) {
    CServiceConfig config = CServiceConfig::Demo();
    config.sites[0].consolePeriod = kPeriodMs / 1000;
    config.sites[0].chatPeriod = 1;
    CServiceServer::Options options;
    options.demo = demo;
    m_pService = &m_pSession->UseService(config, options);
    m_pLogin = std::make_unique<CLoginDlg>(*m_pEngine, [this] {
      m_pConsoleSession = std::make_unique<CConsoleSession>(*m_pEngine);
      m_pController = std::make_unique<CConsoleController>(*m_pConsoleSession);
      m_pConsole = &m_pController->Window();
      m_pConsole->show();
      m_pConsole->OnInitDialog();
    });
    m_pLogin->SiteIdEdit()->setText("1001");
    m_pLogin->LoginIdEdit()->setText(loginId);
    m_pLogin->PasswordEdit()->setText(loginId);
    m_pLogin->OnLogin();  // the exchange runs on the engine's workers
    QTRY_VERIFY2_WITH_TIMEOUT(m_pConsole != nullptr, "the login did not reach the console", 15000);
  }
  QStringList Ids() const {
    QStringList ids;
    for (const CSiteVisitor& v : m_pConsole->Session().Visitors().Visitors()) ids.append(v.m_line.sessionId);
    return ids;
  }

 private slots:
  void init() {
    m_pSession = std::make_unique<CSessionFixture>();
    m_pEngine = &m_pSession->Engine();
    m_pDesktop = &m_pSession->Desktop();
  }
  void cleanup() {
    m_pConsole = nullptr;
    m_pController.reset();
    m_pConsoleSession.reset();
    m_pLogin.reset();
    m_pSession.reset();
  }

  void demoVisitorsAppearWithinTwoPeriods() {
    LogIn(true);
    QCOMPARE(m_pEngine->Session().consolePeriodMs, kPeriodMs);
    QTRY_VERIFY_WITH_TIMEOUT(!m_pConsole->Session().Visitors().Visitors().isEmpty(), 2 * kPeriodMs + 500);
    QVERIFY(StatusLine(*m_pConsole)->text().startsWith("Total Visitors: "));
    QVERIFY(m_pConsole->Session().Presence().IsOnline());
    QVERIFY(m_pDesktop->messageBoxes.isEmpty());
  }

  void visitorsComeAndGoAndTheSelectionFollows() {
    LogIn(false);
    const QString first = m_pService->Control("visitor/add", {{"name", "Ann"}});
    const QString second = m_pService->Control("visitor/add", {{"name", "Bob"}});
    QTRY_COMPARE_WITH_TIMEOUT(Ids(), QStringList({first, second}), 3 * kPeriodMs);
    Table(*m_pConsole)->selectRow(1);
    m_pService->Control("visitor/leave", {{"csesid", first}});
    QTRY_COMPARE_WITH_TIMEOUT(Ids(), QStringList({second}), 3 * kPeriodMs);
    QCOMPARE(SelectedRow(*m_pConsole), 0);  // still Bob
    QCOMPARE(Table(*m_pConsole)->model()->index(0, 3).data().toString(), QString("Bob"));
    // The refreshes that follow keep the texts that did not change, not
    // copies of them (the refresh of a large site relies on it).
    const QChar* name = m_pConsole->Session().Visitors().Visitors().first().m_line.name.constData();
    int refreshes = 0;
    connect(&m_pConsole->Session().Refresh(), &CRefreshCycle::Refreshed, this, [&refreshes] { ++refreshes; });
    QTRY_VERIFY_WITH_TIMEOUT(refreshes >= 2, 4 * kPeriodMs);
    QCOMPARE(m_pConsole->Session().Visitors().Visitors().first().m_line.name.constData(), name);

    // The service's view of presence: the console keeps announcing itself.
    QCOMPARE(m_pService->Control("operators"), QString("demo Offline\nanna Online logged-in\nben Offline"));
    const COperatorList& operators = m_pConsole->Session().Operators();
    QVERIFY(operators.Find("anna") >= 0 && operators.Entries()[operators.Find("anna")].IsOnline());
    QCOMPARE(OperatorsBox(*m_pConsole)->count(), 2);
  }

  void aVisitorsDetailsAndFootPrintsWhileTheServiceIsSlow() {
    m_pEngine->SetTimeouts(3000, 15000);  // the slow answer must still come
    LogIn(false);
    const QString shop = "http://www.example-shop.com";
    const QString ann = m_pService->Control("visitor/add", {{"name", "Ann"}, {"page", shop + "/index.html"}});
    m_pService->Control("visitor/browse", {{"csesid", ann}, {"page", shop + "/offers.html"}});
    const QString bob = m_pService->Control("visitor/add", {{"name", "Bob"}});
    QTRY_COMPARE_WITH_TIMEOUT(Ids(), QStringList({ann, bob}), 3 * kPeriodMs);
    const auto click = [this](int row) {
      const QRect cell = Table(*m_pConsole)->visualRect(Table(*m_pConsole)->model()->index(row, 0));
      QTest::mouseClick(Table(*m_pConsole)->viewport(), Qt::LeftButton, {}, cell.center());
    };
    const auto shown = [this](VisitorDetails::Field f) { return Details(*m_pConsole)->Details().fields[f]; };
    click(0);
    QTRY_COMPARE(shown(VisitorDetails::VisitorName), QString("Ann"));
    QCOMPARE(shown(VisitorDetails::Url), shop + "/offers.html");
    QVERIFY(!shown(VisitorDetails::Country).isEmpty());

    // Bob's details take 5 s to come; meanwhile the console answers clicks.
    m_pService->Control("fault", {{"kind", "delay"}, {"ms", "5000"}, {"script", "wn-lmudets.php"}});
    click(1);
    click(0);
    QCOMPARE(shown(VisitorDetails::VisitorName), QString("Ann"));
    QVERIFY(m_pConsole->VisitorInfo().IsDetailsOut());
    QTRY_VERIFY_WITH_TIMEOUT(!m_pConsole->VisitorInfo().IsDetailsOut(), 10000);
    QCOMPARE(shown(VisitorDetails::VisitorName), QString("Ann"));
    click(1);  // cached when it came
    QCOMPARE(shown(VisitorDetails::VisitorName), QString("Bob"));

    click(0);
    Button(*m_pConsole, "Foot Prints")->click();
    QTableWidget* list = FootPrints(*m_pConsole)->List();
    QTRY_COMPARE(list->rowCount(), 2);
    QCOMPARE(list->item(0, 0)->text(), shop + "/index.html");
    QCOMPARE(list->item(1, 0)->text(), shop + "/offers.html");
    QVERIFY(list->item(1, 1)->text().startsWith("0:00:"));
  }

  void aChatRequestShowsAndRings() {
    LogIn(false);
    const QString v = m_pService->Control("visitor/add", {{"name", "Cy"}});
    m_pService->Control("visitor/chat", {{"csesid", v}});
    QTRY_VERIFY_WITH_TIMEOUT(!m_pConsole->Session().Visitors().Visitors().isEmpty() &&
                                 m_pConsole->Session().Visitors().Visitors().first().m_line.status == "Chat Request",
                             3 * kPeriodMs);
    QTRY_VERIFY(m_pDesktop->sounds.contains(QUrl("qrc:/sounds/143.wav")));
  }

  void forcedLogOutEndsTheConsole() {
    LogIn(false);
    QTRY_VERIFY_WITH_TIMEOUT(StatusLine(*m_pConsole)->text().startsWith("Total"), 3 * kPeriodMs);
    // An administrator on another console logs anna out.
    m_pService->Login("demo", "demo");
    QCOMPARE(m_pService->Get("/cpn/wn-opout.php?id2out=anna&sid=1001"), QString("true"));
    QTRY_VERIFY_WITH_TIMEOUT(m_pConsole->Session().IsEnded(), 3 * kPeriodMs);
    QCOMPARE(m_pDesktop->messageBoxes.last().text, QString("You have been logged out."));
    QVERIFY(m_pEngine->IsClosing());
    QVERIFY(!m_pConsole->isVisible());
  }

  void theServiceGoesAwayAndComesBack() {
    LogIn(false);
    QTRY_VERIFY_WITH_TIMEOUT(StatusLine(*m_pConsole)->text().startsWith("Total"), 3 * kPeriodMs);
    m_pService->Control("fault", {{"kind", "drop"}, {"count", "3"}});
    QTRY_VERIFY_WITH_TIMEOUT(m_pConsole->Session().Refresh().IsConnectionAlert(), 4 * kPeriodMs);
    QTRY_VERIFY_WITH_TIMEOUT(!m_pConsole->Session().Refresh().IsConnectionAlert(), 8 * kPeriodMs);
    QVERIFY(StatusLine(*m_pConsole)->text().startsWith("Total Visitors: "));
  }
};

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  TestConsoleSession test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_ConsoleSession.moc"
