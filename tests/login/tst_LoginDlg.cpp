// The login window and the login exchange, against a scripted server and
// against talvero-service.
#include "ChatManager.h"
#include "FooButton.h"
#include "LoginDlg.h"
#include "RecordingDesktopServices.h"
#include "RecordingSecretStore.h"
#include "SavedCredentials.h"
#include "ScriptedServer.h"
#include "ServiceFixture.h"
#include "SettingsStore.h"
#include "SitePageView.h"
#include "TestEnvironment.h"
#include "WindowParts.h"
#include "WindowUnits.h"

#include <httplib.h>

#include <atomic>
#include <optional>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QFile>
#include <QTextBrowser>
#include <QTimer>

namespace {

bool WebEngineMapped() {
  QFile maps("/proc/self/maps");
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

// Records the hand-over to the console.
struct ConsoleCall {
  QString siteId, loginId, siteAddress;
  bool loginWindowVisible = true;
};

// A server whose login reply the test chooses; parameters are plain.
class LoginServer {
 public:
  LoginServer() {
    parameters = "8<fld>8<fld>" + server.Host().toStdString() + "<fld>cpn<fld><fld>2.5";
    server.SetScript([this](const httplib::Request& req) {
      if (req.path.find("w-param.php") != std::string::npos)
        return CScriptedServer::Reply{200, parameters, 0, hang == kHangParameters};
      if (req.path.find("wn-login.php") != std::string::npos)
        return CScriptedServer::Reply{loginStatus, login, 0, hang == kHangLogin};
      return CScriptedServer::Reply{200, "<html><body>page</body></html>"};
    });
  }
  std::string parameters;
  std::string login = "true<fld>ADM<fld>Header";
  int loginStatus = 200;
  // The request the server never answers (until it stops).
  static constexpr int kHangNone = 0, kHangParameters = 1, kHangLogin = 2;
  std::atomic<int> hang{kHangNone};
  CScriptedServer server;
};

// The password of the newest login request. The window's site page is
// fetched beside the login, so the newest request of all may be that one.
QString LastPassword(const CScriptedServer& server) {
  const QList<QMap<QString, QString>> queries = server.Queries();
  for (auto it = queries.crbegin(); it != queries.crend(); ++it)
    if (it->contains(QStringLiteral("pwd"))) return it->value(QStringLiteral("pwd"));
  return QStringLiteral("(no login request)");
}

// The window's controls as the operator finds them, by their names and texts.
using namespace WindowParts;
QCheckBox* RememberBox(const QWidget& dlg) { return Called<QCheckBox>(dlg, "Remember me"); }
QCheckBox* SecureBox(const QWidget& dlg) { return Called<QCheckBox>(dlg, "Secure connection"); }
FooButton* LoginButton(const QWidget& dlg) { return Button<FooButton>(dlg, "Login"); }
FooButton* StopWaitingButton(const QWidget& dlg) { return Button<FooButton>(dlg, "Cancel"); }
QLabel* StatusLabel(const QWidget& dlg) { return Named<QLabel>(dlg, "status"); }

}  // namespace

class TestLoginDlg : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CTestSettingsFolder> m_pSettings;
  std::unique_ptr<CRecordingDesktopServices> m_pDesktop;
  std::unique_ptr<CChatManager> m_pEngine;
  QList<ConsoleCall> m_consoleCalls;

  // A dialog whose console run records the call and whether the login
  // window could be seen at that moment.
  std::unique_ptr<CLoginDlg> Dialog(const QString& host) {
    m_pEngine->SetDefaultHost(host);
    auto holder = std::make_shared<CLoginDlg*>(nullptr);
    auto dlg = std::make_unique<CLoginDlg>(*m_pEngine, [this, holder] {
      const CSession& s = m_pEngine->Session();
      m_consoleCalls.append({s.siteId, s.loginId, s.siteAddress, *holder && (*holder)->isVisible()});
    });
    *holder = dlg.get();
    return dlg;
  }
  void Fill(CLoginDlg& dlg, const QString& site, const QString& login, const QString& password) {
    dlg.SiteIdEdit()->setText(site);
    dlg.LoginIdEdit()->setText(login);
    dlg.PasswordEdit()->setText(password);
  }
  // Runs the dialog modally; if it shows and waits for the operator (it
  // shows while it connects too), it is closed again at once.
  int RunModal(CLoginDlg& dlg) {
    bool shown = false;
    QTimer closer;
    connect(&closer, &QTimer::timeout, &dlg, [&] {
      if (dlg.isVisible() && !dlg.IsConnecting()) {
        shown = true;
        dlg.reject();
      }
    });
    closer.start(50);
    const int result = dlg.DoModal();
    m_bLastRunWaited = shown;
    return result;
  }
  bool m_bLastRunWaited = false;

  // Presses Login and waits for the exchange to end.
  void LogInAndWait(CLoginDlg& dlg) {
    dlg.OnLogin();
    QTRY_VERIFY_WITH_TIMEOUT(!dlg.IsConnecting(), 15000);
  }

  // Runs the dialog modally with the script inside its loop; a window the
  // script leaves open (a check failed) is closed after it.
  int RunScripted(CLoginDlg& dlg, const std::function<void()>& script) {
    QTimer::singleShot(0, &dlg, [&] {
      script();
      QTest::qWaitFor([&] { return !dlg.IsConnecting(); }, 15000);
      if (dlg.isVisible()) dlg.reject();
    });
    return dlg.DoModal();
  }

 private slots:
  void init() {
    m_pSettings = std::make_unique<CTestSettingsFolder>();
    m_pDesktop = std::make_unique<CRecordingDesktopServices>();
    m_pEngine = std::make_unique<CChatManager>();
    m_pEngine->SetTimeouts(3000, 5000);
    m_consoleCalls.clear();
    CSettingsStore().CreateKey(CSettingsStore::kRootKey);
  }
  void cleanup() {
    m_pEngine.reset();
    m_pDesktop.reset();
    m_pSettings.reset();
  }

  void layoutFollowsTheTemplate() {
    LoginServer login;
    auto dlg = Dialog(login.server.Host());
    QCOMPARE(dlg->windowTitle(), QString("Talvero Executive Login:"));
    const CWindowUnits du = CWindowUnits::Of(dlg.get());  // 707 x 296 at 7 x 13
    QCOMPARE(dlg->size(), du.Size(404, 182));
    QCOMPARE(dlg->SiteIdEdit()->geometry(), du.Rect(146, 56, 89, 14));
    QCOMPARE(dlg->PasswordEdit()->echoMode(), QLineEdit::Password);
    QCOMPARE(dlg->Browser()->geometry(), du.Rect(264, 1, 140, 181));
    QVERIFY(LoginButton(*dlg)->isDefault());
    // Every button is drawn by us, and Enter in a field never clicks one but Login.
    QStringList texts;
    for (FooButton* b : dlg->findChildren<FooButton*>()) {
      texts.append(b->text());
      QVERIFY(!b->autoDefault());
    }
    QCOMPARE(texts, QStringList({"L&ogin", "&Signup", "Forgot Password", "&Contact", "C&ancel"}));
    QVERIFY(!dlg->windowIcon().isNull());
  }

  void resultWords_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown operator") << QByteArray("false<fld><fld>") << "Login Failure";
    QTest::newRow("wrong password") << QByteArray("incorrect<fld><fld>") << "Incorrect Password";
    QTest::newRow("logged in elsewhere") << QByteArray("already<fld><fld>") << "User is already logged in.";
    QTest::newRow("another word") << QByteArray("locked<fld><fld>") << "There is some account setup problem. Please contact http://%1";
    QTest::newRow("true alone") << QByteArray("true") << "There is some account setup problem. Please contact http://%1";
    QTest::newRow("four pieces") << QByteArray("true<fld>ADM<fld>x<fld>y") << "There is some account setup problem. Please contact http://%1";
    QTest::newRow("empty reply") << QByteArray() << "There is some account setup problem. Please contact http://%1";
    QTest::newRow("error page") << QByteArray("<h1>500</h1>") << "There is some account setup problem. Please contact http://%1";
  }
  void resultWords() {
    QFETCH(QByteArray, reply);
    QFETCH(QString, message);
    LoginServer login;
    login.login = reply.toStdString();
    auto dlg = Dialog(login.server.Host());
    dlg->show();
    Fill(*dlg, "1001", "anna", "pw");
    LogInAndWait(*dlg);
    QCOMPARE(m_pDesktop->messageBoxes.size(), 1);
    const auto& box = m_pDesktop->messageBoxes.first();
    QCOMPARE(box.text, message.contains("%1") ? message.arg(login.server.Host()) : message);
    QCOMPARE(box.caption, QString("Talvero"));
    QCOMPARE(box.icon, CDesktopServices::Icon::Exclamation);
    QCOMPARE(box.owner.data(), dlg.get());
    QVERIFY(LoginButton(*dlg)->isEnabled());
    QVERIFY(m_consoleCalls.isEmpty());
    QVERIFY(!dlg->IsEnded());
  }

  // Parameters that name no host or no prefix leave the address the
  // program started with, and the login goes there; a login the service
  // does not answer says why instead of just giving the button back.
  void parametersWithoutAnAddress_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("loginStatus");
    QTest::newRow("no host") << "" << "cpn" << 200;
    QTest::newRow("no prefix") << "START" << "" << 200;
    QTest::newRow("neither, and the login is not found") << " " << "" << 404;
  }
  void parametersWithoutAnAddress() {
    QFETCH(QString, host);
    QFETCH(QString, prefix);
    QFETCH(int, loginStatus);
    LoginServer login;
    login.parameters = QString("8<fld>8<fld>%1<fld>%2<fld><fld>2.5")
                           .arg(host == "START" ? login.server.Host() : host, prefix)
                           .toStdString();
    login.loginStatus = loginStatus;
    auto dlg = Dialog(login.server.Host());
    dlg->show();
    Fill(*dlg, "1001", "anna", "pw");
    LogInAndWait(*dlg);
    QCOMPARE(m_pEngine->Host(), login.server.Host());
    QCOMPARE(m_pEngine->Prefix(), QString("/cpn"));
    QCOMPARE(login.server.Targets().filter("wn-login.php").size(), 1);
    QVERIFY(login.server.Targets().filter("wn-login.php").first().startsWith("/cpn/wn-login.php?"));
    QCOMPARE(m_consoleCalls.size(), loginStatus == 200 ? 1 : 0);
    if (loginStatus == 200) return;
    QCOMPARE(m_pDesktop->messageBoxes.size(), 1);
    QCOMPARE(m_pDesktop->messageBoxes.first().text,
             QString("Login failed: the service at %1/cpn did not answer (the server answered with HTTP status 404).")
                 .arg(login.server.Host()));
    QVERIFY(LoginButton(*dlg)->isEnabled());
  }

  void administratorFlagIsExact() {
    LoginServer login;
    auto dlg = Dialog(login.server.Host());
    Fill(*dlg, "1001", "anna", "pw");
    LogInAndWait(*dlg);
    QVERIFY(m_pEngine->Session().admin);
    QCOMPARE(m_consoleCalls.size(), 1);
    QCOMPARE(m_consoleCalls.first().siteAddress, QString("Header"));

    login.login = "true<fld>adm<fld>Other";
    auto again = Dialog(login.server.Host());
    Fill(*again, "1001", "anna", "pw");
    LogInAndWait(*again);
    QVERIFY(!m_pEngine->Session().admin);
    QCOMPARE(m_consoleCalls.size(), 2);
  }

  void successHandsTheSessionOver() {
    LoginServer login;
    auto dlg = Dialog(login.server.Host());
    dlg->show();
    Fill(*dlg, "1001", "anna", "pw");
    LogInAndWait(*dlg);
    QCOMPARE(m_consoleCalls.size(), 1);
    QCOMPARE(m_consoleCalls[0].siteId, QString("1001"));
    QCOMPARE(m_consoleCalls[0].loginId, QString("anna"));
    QVERIFY(!m_consoleCalls[0].loginWindowVisible);  // closed before the console runs
    QCOMPARE(m_pEngine->Session().loginId, QString("anna"));
    QCOMPARE(m_pEngine->Session().siteId, QString("1001"));
    QVERIFY(dlg->IsEnded());
    QCOMPARE(dlg->result(), int(QDialog::Accepted));
    QVERIFY(m_pDesktop->messageBoxes.isEmpty());
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kLoginKey));  // not remembered
    // The next start shows the site id and the login id, never the
    // password, and waits for the password.
    auto next = Dialog(login.server.Host());
    RunScripted(*next, [&] {
      QCOMPARE(next->SiteIdEdit()->text(), QString("1001"));
      QCOMPARE(next->LoginIdEdit()->text(), QString("anna"));
      QVERIFY(next->PasswordEdit()->text().isEmpty());
      QCOMPARE(next->focusWidget(), next->PasswordEdit());
    });
    QCOMPARE(m_consoleCalls.size(), 1);
  }

  void emptyFieldsSendNothing() {
    LoginServer login;
    auto dlg = Dialog(login.server.Host());
    for (const auto& fields : {QStringList{"", "anna", "pw"}, QStringList{"1001", "", "pw"}, QStringList{"1001", "anna", ""}}) {
      Fill(*dlg, fields[0], fields[1], fields[2]);
      LogInAndWait(*dlg);
    }
    QCOMPARE(login.server.RequestCount(), 0);
    QCOMPARE(m_pDesktop->messageBoxes.size(), 3);
    QCOMPARE(m_pDesktop->messageBoxes[0].text, QString("\"Empty Username or password field\""));
    QCOMPARE(m_pDesktop->messageBoxes[0].icon, CDesktopServices::Icon::Error);
    QVERIFY(LoginButton(*dlg)->isEnabled());
  }

  void serverDown() {
    CScriptedServer probe;
    const QString host = probe.Host();
    auto dlg = Dialog("127.0.0.1:1");  // nothing listens on port 1
    Fill(*dlg, "1001", "anna", "pw");
    LogInAndWait(*dlg);
    // The engine tells the operator about the parameters; the login is still
    // tried, and fails without a message of its own.
    QCOMPARE(m_pDesktop->messageBoxes.size(), 1);
    QCOMPARE(m_pDesktop->messageBoxes[0].text, QString("Please check your internet connection."));
    QCOMPARE(m_pEngine->Failures(), 2);
    QVERIFY(LoginButton(*dlg)->isEnabled());
    QVERIFY(m_consoleCalls.isEmpty());
    Q_UNUSED(host);
  }

  void newVersion() {
    LoginServer login;
    login.parameters = "8<fld>8<fld>" + login.server.Host().toStdString() + "<fld>cpn<fld>Version 2.6 is out<fld>2.6";
    auto dlg = Dialog(login.server.Host());
    Fill(*dlg, "1001", "anna", "pw");
    m_pDesktop->ScriptAnswers({CDesktopServices::Answer::No});
    LogInAndWait(*dlg);
    QCOMPARE(m_pDesktop->messageBoxes[0].text, QString("Version 2.6 is out"));
    QCOMPARE(m_pDesktop->messageBoxes[0].caption, QString("New Version"));
    QCOMPARE(m_pDesktop->messageBoxes[0].buttons, CDesktopServices::Buttons::YesNo);
    QCOMPARE(m_consoleCalls.size(), 1);  // "No" goes on with the login

    auto second = Dialog(login.server.Host());
    Fill(*second, "1001", "anna", "pw");
    m_pDesktop->ScriptAnswers({CDesktopServices::Answer::Yes});
    LogInAndWait(*second);
    QCOMPARE(m_pDesktop->openedUrls, QList<QUrl>{QUrl("http://" + login.server.Host() + "/")});
    QVERIFY(second->IsEnded());
    QCOMPARE(m_consoleCalls.size(), 1);  // "Yes" ends without logging in
    QCOMPARE(login.server.Targets().filter("wn-login").size(), 1);
  }

  void rememberedLoginLogsInWithoutWaiting() {
    LoginServer login;
    {
      auto dlg = Dialog(login.server.Host());
      Fill(*dlg, "b", "a", "c");
      RememberBox(*dlg)->setChecked(true);
      SecureBox(*dlg)->setChecked(false);
      LogInAndWait(*dlg);
    }
    // "Data" is exactly the cipher of the record and two zero bytes.
    QCOMPARE(CSettingsStore().ReadBinary(CSettingsStore::kLoginKey, "Data").value(),
             QByteArray::fromHex("891f343d0c1a56af7e39edb2685d8d50ed2eef427d6b0d0f9f2b0000"));
    QCOMPARE(CSettingsStore().ReadText(CSettingsStore::kLoginKey, "Secure").value(), QString("0"));

    auto next = Dialog(login.server.Host());
    QCOMPARE(RunModal(*next), int(QDialog::Accepted));
    QVERIFY(!m_bLastRunWaited);
    QCOMPARE(m_consoleCalls.size(), 2);
    QCOMPARE(m_consoleCalls[1].loginId, QString("a"));
    QCOMPARE(m_consoleCalls[1].siteId, QString("b"));
    QVERIFY(!m_consoleCalls[1].loginWindowVisible);
    QCOMPARE(LastPassword(login.server), QString("c"));

    // Forgotten, the next start shows the window and waits for the
    // password; only the ids of the last login are kept.
    CSavedCredentials::Forget();
    auto after = Dialog(login.server.Host());
    QCOMPARE(RunModal(*after), int(QDialog::Rejected));
    QVERIFY(m_bLastRunWaited);
    QCOMPARE(after->LoginIdEdit()->text(), QString("a"));
    QVERIFY(after->PasswordEdit()->text().isEmpty());
    QCOMPARE(m_consoleCalls.size(), 2);
  }

  // A login remembered before the keyring (its password in "Data") moves
  // there at its next successful login, not at a refused one.
  void anOldRememberedLoginMovesToTheKeyring() {
    LoginServer login;
    CSavedCredentials::Save({"anna", "1001", "pw"}, [] { return true; });  // no secret service yet
    CRecordingSecretStore secrets;
    login.login = "incorrect<fld><fld>";
    RunModal(*Dialog(login.server.Host()));
    QVERIFY(secrets.secrets.isEmpty());

    login.login = "true<fld><fld>Header";
    auto dlg = Dialog(login.server.Host());
    QCOMPARE(RunModal(*dlg), int(QDialog::Accepted));
    QVERIFY(!m_bLastRunWaited);
    QCOMPARE(secrets.secrets, (QMap<QString, QString>{{"anna@1001", "pw"}}));
    QCOMPARE(CSavedCredentials::Record()->password, QString());

    // And the next start logs in from the keyring.
    QCOMPARE(RunModal(*Dialog(login.server.Host())), int(QDialog::Accepted));
    QCOMPARE(LastPassword(login.server), QString("pw"));
    QCOMPARE(m_consoleCalls.size(), 2);
  }

  // A remembered login whose password is in the keyring: the window shows,
  // filled, while the keyring is asked, and logs in when it answers. When it
  // fails, or the operator stops waiting, the window waits for the password.
  void rememberedLoginWaitsForTheKeyring_data() {
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QString>("status");  // afterwards; empty: logged in with the keyring's password
    QTest::newRow("the keyring answers") << "" << "";
    QTest::newRow("the keyring fails") << "fail"
                                       << "The keyring did not give the password: type it and log in.";
    QTest::newRow("the keyring lost the password") << "lose"
                                                   << "The keyring has no password for this login: type it and log in.";
    QTest::newRow("Cancel, then the keyring answers") << "cancel"
                                                      << "Stopped waiting for the keyring: type the password and log in.";
    QTest::newRow("Escape, then the keyring answers") << "escape"
                                                      << "Stopped waiting for the keyring: type the password and log in.";
  }
  void rememberedLoginWaitsForTheKeyring() {
    QFETCH(QString, meanwhile);
    QFETCH(QString, status);
    LoginServer login;
    CRecordingSecretStore secrets;
    CSavedCredentials::Save({"anna", "1001", "pw"}, [] { return true; });
    secrets.holdAnswers = true;
    secrets.failReads = meanwhile == "fail";
    if (meanwhile == "lose") secrets.secrets.clear();
    auto dlg = Dialog(login.server.Host());
    const int result = RunScripted(*dlg, [&] {
      QVERIFY(dlg->isVisible());
      QCOMPARE(dlg->SiteIdEdit()->text(), QString("1001"));
      QCOMPARE(dlg->LoginIdEdit()->text(), QString("anna"));
      QCOMPARE(dlg->PasswordEdit()->text(), QString());
      QCOMPARE(StatusLabel(*dlg)->text(), QString("Waiting for the keyring..."));
      QVERIFY(StopWaitingButton(*dlg)->isVisible());
      if (meanwhile == "cancel") StopWaitingButton(*dlg)->click();
      if (meanwhile == "escape") QTest::keyClick(dlg->PasswordEdit(), Qt::Key_Escape);
      QVERIFY(dlg->isVisible());
      secrets.ReleaseAnswers();
      if (status.isEmpty()) {
        QTRY_VERIFY(dlg->IsEnded());
        return;
      }
      QCOMPARE(StatusLabel(*dlg)->text(), status);
      QVERIFY(!dlg->IsWaitingForKeyring());
      QVERIFY(!StopWaitingButton(*dlg)->isVisible());
      QCOMPARE(dlg->PasswordEdit()->text(), QString());  // a late answer fills in nothing
      QVERIFY(m_consoleCalls.isEmpty());
      QVERIFY(LoginButton(*dlg)->isEnabled());
      dlg->PasswordEdit()->setText("typed");
      LoginButton(*dlg)->click();
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(m_consoleCalls.size(), 1);
    QVERIFY(!m_consoleCalls[0].loginWindowVisible);
    QCOMPARE(LastPassword(login.server), status.isEmpty() ? QString("pw") : QString("typed"));
    QCOMPARE(login.server.Targets().filter("wn-login").size(), 1);
    QVERIFY(m_pDesktop->messageBoxes.isEmpty());
  }

  // The keyring takes the password only after the console has opened:
  // "Data" and "Secure" are written then.
  void rememberingWhileTheKeyringTakesItsTime() {
    LoginServer login;
    CRecordingSecretStore secrets;
    secrets.holdAnswers = true;
    auto dlg = Dialog(login.server.Host());
    Fill(*dlg, "1001", "anna", "pw");
    RememberBox(*dlg)->setChecked(true);
    LogInAndWait(*dlg);
    QCOMPARE(m_consoleCalls.size(), 1);
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kLoginKey));
    secrets.ReleaseAnswers();
    QCOMPARE(secrets.secrets, (QMap<QString, QString>{{"anna@1001", "pw"}}));
    QCOMPARE(CSavedCredentials::Record()->loginId, QString("anna"));
    QCOMPARE(CSettingsStore().ReadText(CSettingsStore::kLoginKey, "Secure").value_or("absent"), QString("0"));
  }

  // "Remember me" puts the password into the settings file only where the
  // desktop has no keyring at all, and only when the operator allowed it,
  // asked once. A keyring that fails leaves no password on disk, and the
  // login window says so.
  void rememberingWithoutAWorkingKeyring_data() {
    QTest::addColumn<QString>("keyring");
    QTest::addColumn<int>("answer");  // to the question; -1: none is asked
    QTest::addColumn<QString>("passwordInFile");
    QTest::newRow("no keyring, kept") << "none" << int(CDesktopServices::Answer::Yes) << "pw";
    QTest::newRow("no keyring, not kept") << "none" << int(CDesktopServices::Answer::No) << "";
    QTest::newRow("a failing keyring") << "failing" << -1 << "";
  }
  void rememberingWithoutAWorkingKeyring() {
    QFETCH(QString, keyring);
    QFETCH(int, answer);
    QFETCH(QString, passwordInFile);
    LoginServer login;
    std::optional<CRecordingSecretStore> secrets;
    if (keyring == "failing") {
      secrets.emplace();
      secrets->failWrites = true;
    }
    if (answer >= 0) m_pDesktop->ScriptAnswers({CDesktopServices::Answer(answer)});
    for (int i = 0; i < 2; ++i) {
      auto dlg = Dialog(login.server.Host());
      Fill(*dlg, "1001", "anna", "pw");
      RememberBox(*dlg)->setChecked(true);
      LogInAndWait(*dlg);
      QCOMPARE(m_consoleCalls.size(), i + 1);
      QCOMPARE(CSavedCredentials::Record()->loginId, QString("anna"));
      QCOMPARE(CSavedCredentials::Record()->password, passwordInFile);
      if (keyring == "failing")
        QCOMPARE(StatusLabel(*dlg)->text(),
                 QString("The keyring did not take the password: it is not kept on this computer."));
    }
    QCOMPARE(m_pDesktop->messageBoxes.size(), answer >= 0 ? 1 : 0);
    if (answer >= 0) QVERIFY(m_pDesktop->messageBoxes[0].text.contains("turn back into the password"));
  }

  void rememberedLoginThatIsRefusedWaits() {
    LoginServer login;
    login.login = "incorrect<fld><fld>";
    CSavedCredentials::Save({"anna", "1001", "old"}, [] { return true; });
    auto dlg = Dialog(login.server.Host());
    QCOMPARE(RunModal(*dlg), int(QDialog::Rejected));
    QVERIFY(m_bLastRunWaited);
    QCOMPARE(dlg->LoginIdEdit()->text(), QString("anna"));
    QCOMPARE(dlg->PasswordEdit()->text(), QString("old"));
    QCOMPARE(m_pDesktop->messageBoxes.first().text, QString("Incorrect Password"));
  }

  void damagedSavedLoginShowsTheWindow() {
    LoginServer login;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kLoginKey);
    store.WriteBinary(CSettingsStore::kLoginKey, "Data", QByteArray(300, '\x42'));
    auto dlg = Dialog(login.server.Host());
    QCOMPARE(RunModal(*dlg), int(QDialog::Rejected));
    QVERIFY(m_bLastRunWaited);
    QVERIFY(login.server.Targets().filter("wn-login").isEmpty());
  }

  void rememberedSecureLoginUsesHttps() {
    QTemporaryDir dir;
    const TestCertificates certs = TestCertificates::Create(dir.path());
    QVERIFY(certs.IsValid());
    CScriptedServer server(
        [](const httplib::Request& req) {
          if (req.path.find("wn-login.php") != std::string::npos) return CScriptedServer::Reply{200, "true<fld><fld>T"};
          return CScriptedServer::Reply{200, "x"};
        },
        certs.certFile, certs.keyFile);
    m_pEngine->SetCaFile(certs.caFile);
    CSavedCredentials::Save({"anna", "1001", "pw"}, [] { return true; });
    CSavedCredentials::WriteSecureIfKeyExists(true);
    auto dlg = Dialog(server.Host());
    RunModal(*dlg);
    QVERIFY(!m_bLastRunWaited);
    QVERIFY(m_pEngine->Session().secure);
    QCOMPARE(m_consoleCalls.size(), 1);
    QVERIFY(SecureBox(*dlg)->isChecked());  // the box shows the remembered choice
    // The news page came over the same secure connection.
    QTRY_COMPARE(server.Targets().filter("winapp.html").size(), 1);
  }

  // A service that holds a request: Login returns at once, the window says
  // it is connecting, paints and takes typing; Cancel or
  // Escape end the wait at once (a late reply reaches nothing, and Login
  // works again), and the engine's time-out ends it with the usual message.
  void stalledServiceLeavesTheWindowWorking_data() {
    QTest::addColumn<int>("hang");
    QTest::addColumn<QString>("end");      // "cancel", "escape" or "time-out"
    QTest::addColumn<QString>("message");  // the box that ends the wait (start of it); empty: none
    QTest::addColumn<int>("consoleRuns");
    QTest::newRow("parameters held, Cancel") << LoginServer::kHangParameters << "cancel" << "" << 0;
    QTest::newRow("parameters held, Escape") << LoginServer::kHangParameters << "escape" << "" << 0;
    QTest::newRow("login held, Cancel") << LoginServer::kHangLogin << "cancel" << "" << 0;
    QTest::newRow("login held, Escape") << LoginServer::kHangLogin << "escape" << "" << 0;
    // After failed parameters the login is still tried, with the defaults.
    QTest::newRow("parameters time out") << LoginServer::kHangParameters << "time-out"
                                         << "Please check your internet connection." << 1;
    QTest::newRow("login times out") << LoginServer::kHangLogin << "time-out" << "Login failed: the service at %1/cpn did not answer (" << 0;
  }
  void stalledServiceLeavesTheWindowWorking() {
    QFETCH(int, hang);
    QFETCH(QString, end);
    QFETCH(QString, message);
    QFETCH(int, consoleRuns);
    LoginServer login;
    login.hang = hang;
    if (end == "time-out") m_pEngine->SetTimeouts(1000, 1500);
    auto dlg = Dialog(login.server.Host());
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
    Fill(*dlg, "1001", "anna", "pw");
    struct PaintCounter : QObject {
      int paints = 0;
      bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
      }
    } painted;
    StatusLabel(*dlg)->installEventFilter(&painted);

    QElapsedTimer pressed;
    pressed.start();
    dlg->OnLogin();
    QVERIFY2(pressed.elapsed() < 500, qPrintable(QString("Login held the window for %1 ms").arg(pressed.elapsed())));
    QTRY_COMPARE(login.server.Targets().filter(hang == LoginServer::kHangLogin ? "wn-login" : "w-param").size(), 1);
    QVERIFY(dlg->IsConnecting());
    QCOMPARE(StatusLabel(*dlg)->text(), QString("Connecting to the service..."));
    QVERIFY(StopWaitingButton(*dlg)->isVisible());
    QVERIFY(!LoginButton(*dlg)->isEnabled());
    QTRY_VERIFY(painted.paints > 0);
    QTest::keyClicks(dlg->PasswordEdit(), "x");
    QCOMPARE(dlg->PasswordEdit()->text(), QString("pwx"));

    if (end == "cancel") StopWaitingButton(*dlg)->click();
    if (end == "escape") QTest::keyClick(dlg->PasswordEdit(), Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!dlg->IsConnecting(), 10000);
    QVERIFY(!StopWaitingButton(*dlg)->isVisible());
    QCOMPARE(m_consoleCalls.size(), consoleRuns);
    if (!message.isEmpty()) {
      QVERIFY(!m_pDesktop->messageBoxes.isEmpty());
      if (message.contains("%1")) message = message.arg(login.server.Host());
      QVERIFY2(m_pDesktop->messageBoxes[0].text.startsWith(message),
               qPrintable(m_pDesktop->messageBoxes[0].text));
      return;
    }
    QVERIFY(m_pDesktop->messageBoxes.isEmpty());
    QVERIFY(dlg->isVisible());
    QCOMPARE(StatusLabel(*dlg)->text(), QString("Stopped connecting: log in again when you are ready."));
    QVERIFY(LoginButton(*dlg)->isEnabled());

    // The service answers again: the next Login goes through, once.
    login.hang = LoginServer::kHangNone;
    LogInAndWait(*dlg);
    QCOMPARE(m_consoleCalls.size(), 1);
    QCOMPARE(LastPassword(login.server), QString("pwx"));
    QVERIFY(dlg->IsEnded());
  }

  // A remembered secure login whose automatic attempt fails leaves the box
  // ticked: Login as shown tries HTTPS again, sends no password in the
  // clear and keeps "Secure"; only the operator's hand gives HTTPS up.
  void secureChoiceIsKeptAfterAFailedSecureLogin_data() {
    QTest::addColumn<bool>("untickByHand");
    QTest::newRow("Login pressed as shown") << false;
    QTest::newRow("unticked by hand") << true;
  }
  void secureChoiceIsKeptAfterAFailedSecureLogin() {
    QFETCH(bool, untickByHand);
    LoginServer login;  // plain HTTP: every secure attempt fails
    CSavedCredentials::Save({"anna", "1001", "pw"}, [] { return true; });
    CSavedCredentials::WriteSecureIfKeyExists(true);
    auto dlg = Dialog(login.server.Host());
    RunScripted(*dlg, [&] {
      QTRY_VERIFY_WITH_TIMEOUT(!dlg->IsConnecting(), 15000);  // the automatic attempt failed
      QVERIFY(dlg->isVisible());
      QVERIFY(SecureBox(*dlg)->isChecked());
      if (untickByHand) SecureBox(*dlg)->click();
      LoginButton(*dlg)->click();
    });
    QCOMPARE(LastPassword(login.server), untickByHand ? QString("pw") : QString("(no login request)"));
    QCOMPARE(CSettingsStore().ReadText(CSettingsStore::kLoginKey, "Secure").value_or("absent"),
             untickByHand ? QString("0") : QString("1"));
    QCOMPARE(m_consoleCalls.size(), untickByHand ? 1 : 0);
  }

  void secureIsStoredOnlyWhenTheKeyExists() {
    LoginServer login;
    auto dlg = Dialog(login.server.Host());
    Fill(*dlg, "1001", "anna", "pw");
    SecureBox(*dlg)->setChecked(true);
    LogInAndWait(*dlg);  // the secure attempt fails against plain HTTP...
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kLoginKey));

    SecureBox(*dlg)->setChecked(false);
    CSettingsStore().CreateKey(CSettingsStore::kLoginKey);
    LogInAndWait(*dlg);
    QCOMPARE(CSettingsStore().ReadText(CSettingsStore::kLoginKey, "Secure").value(), QString("0"));
  }

  // The site's pages follow "Secure connection" (signing up is always
  // secure): a secure login never sends the operator to the site in the clear.
  void sitePagesOpenInTheDefaultBrowser() {
    auto dlg = Dialog("chat.example.com:8470");
    RunModal(*dlg);
    QCOMPARE(dlg->Browser()->Address(), QUrl("http://chat.example.com:8470/winapp.html"));
    dlg->OnSignup();
    dlg->OnContact();
    dlg->OnForgotPassword();
    SecureBox(*dlg)->setChecked(true);
    QCOMPARE(dlg->Browser()->Address(), QUrl("https://chat.example.com:8470/winapp.html"));
    dlg->OnContact();
    dlg->OnForgotPassword();
    QCOMPARE(m_pDesktop->openedUrls, QList<QUrl>({QUrl("https://chat.example.com:8470/order.php"),
                                                  QUrl("http://chat.example.com:8470/contactus.php"),
                                                  QUrl("http://chat.example.com:8470/forpass.php"),
                                                  QUrl("https://chat.example.com:8470/contactus.php"),
                                                  QUrl("https://chat.example.com:8470/forpass.php")}));
  }

  // The site page comes in one GET and shows as rich text; nothing of the
  // web engine is loaded for it, its links open by the outside-address rule,
  // and it loads nothing further, local files least of all.
  void sitePageIsALightView() {
    CScriptedServer server;
    server.SetScript([](const httplib::Request& req) {
      if (req.path == "/winapp.html")
        return CScriptedServer::Reply{200, "<html><body><p>Welcome in</p><a href=\"contactus.php\">c</a>"
                                           "<img src=\"file:///etc/hostname\"></body></html>"};
      return CScriptedServer::Reply{404, "gone"};
    });
    auto dlg = Dialog(server.Host());
    QString shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, dlg.get(), [&] {
      shown = dlg->Browser()->toPlainText();
      if (dlg->isVisible() && shown.contains("Welcome in")) dlg->reject();
    });
    closer.start(20);
    dlg->DoModal();
    QVERIFY(shown.contains("Welcome in"));
    QCOMPARE(server.Targets().filter("winapp.html").size(), 1);
    QCOMPARE(server.Targets().size(), 1);
    QVERIFY(!WebEngineMapped());

    emit dlg->Browser()->anchorClicked(QUrl("contactus.php"));
    emit dlg->Browser()->anchorClicked(QUrl("javascript:alert(1)"));
    emit dlg->Browser()->anchorClicked(QUrl("file:///etc/passwd"));
    QCOMPARE(m_pDesktop->openedUrls, QList<QUrl>({QUrl("http://" + server.Host() + "/contactus.php")}));
    QCOMPARE(dlg->Browser()->source(), QUrl());

    // A page that is not there, or no server at all: an empty view, no box,
    // and no failure counted against the service.
    for (const QString& address : {"http://" + server.Host() + "/missing.html", QString("http://127.0.0.1:1/winapp.html")}) {
      CSitePageView view(*m_pEngine);
      QSignalSpy loaded(&view, &CSitePageView::Loaded);
      view.Load(QUrl(address));
      QTRY_COMPARE(loaded.size(), 1);
      QCOMPARE(loaded[0][0].toBool(), false);
      QVERIFY(view.toPlainText().isEmpty());
    }
    QCOMPARE(m_pEngine->Failures(), 0);
    QVERIFY(m_pDesktop->messageBoxes.isEmpty());
  }

  void aboutBoxOnF1() {
    auto dlg = Dialog("127.0.0.1:1");
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
    QString seen;
    QTimer::singleShot(100, [&] {
      if (auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        seen = about->windowTitle();
        about->accept();
      }
    });
    QTest::keyClick(dlg.get(), Qt::Key_F1);
    QCOMPARE(seen, QString("About Talvero"));
  }

  void fullLoginAgainstTheServiceWithAnAwkwardPassword() {
    CServiceConfig config = CServiceConfig::Demo();
    const QString awkward = QString::fromUtf8("p a#s%s+&=Жж東京 ");
    config.sites[0].operators.append({"zoë", awkward, false});
    CServiceFixture service(config);
    auto dlg = Dialog(service.Host());
    Fill(*dlg, "1001", QString::fromUtf8("zoë"), awkward);
    LogInAndWait(*dlg);
    QVERIFY2(m_pDesktop->messageBoxes.isEmpty(),
             qPrintable(m_pDesktop->messageBoxes.isEmpty() ? QString() : m_pDesktop->messageBoxes[0].text));
    QCOMPARE(m_consoleCalls.size(), 1);
    QCOMPARE(m_consoleCalls[0].siteAddress, QString("http://www.example-shop.com"));
    QCOMPARE(m_pEngine->Session().consolePeriodMs, 5000);
    QCOMPARE(m_pEngine->Host(), service.Host());

    // A wrong one is refused by the service.
    auto again = Dialog(service.Host());
    Fill(*again, "1001", "anna", "not anna's");
    LogInAndWait(*again);
    QCOMPARE(m_pDesktop->messageBoxes.last().text, QString("Incorrect Password"));
  }
};

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  TestLoginDlg test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_LoginDlg.moc"
