// Start-up: the command line and the settings key.
#include "ChatApp.h"
#include "SingleInstance.h"
#include "ChatManager.h"
#include "LinkOpener.h"
#include "RecordingDesktopServices.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QLocalServer>
#include <QProcess>
#include <QScopeGuard>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include <grp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kOtherUser = 65534;

// A process of another user listening on a local socket at path (in a
// folder that user may write); its pid, or -1.
pid_t ListenAsAnotherUser(const QByteArray& path) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(ready[0]);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::setgroups(0, nullptr) != 0 || ::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0)
      ::_exit(1);
    (void)!::write(ready[1], "r", 1);
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char c = 0;
  const bool bReady = pid > 0 && ::read(ready[0], &c, 1) == 1;
  ::close(ready[0]);
  if (pid > 0 && !bReady) ::waitpid(pid, nullptr, 0);
  return bReady ? pid : -1;
}

}  // namespace

class TestChatApp : public QObject {
  Q_OBJECT

 private slots:
  void commandLine() {
    const struct {
      QStringList args;
      const char* environment;
      CStandardOptions::Outcome outcome;
      const char* service;
    } cases[] = {
        {{}, nullptr, CStandardOptions::Run, ""},
        {{"--service", "chat.example.com"}, nullptr, CStandardOptions::Run, "chat.example.com"},
        {{"--service=10.0.0.2:8443"}, nullptr, CStandardOptions::Run, "10.0.0.2:8443"},
        {{}, "env.example.com:81", CStandardOptions::Run, "env.example.com:81"},
        {{"--service", "cli.example.com"}, "env.example.com:81", CStandardOptions::Run, "cli.example.com"},
        {{"--service"}, nullptr, CStandardOptions::UsageError, ""},
        {{"--bogus"}, nullptr, CStandardOptions::UsageError, ""},
        {{"stray"}, nullptr, CStandardOptions::UsageError, ""},
        {{"--service", "http://x/"}, nullptr, CStandardOptions::UsageError, ""},
        {{}, "http://env/", CStandardOptions::UsageError, ""},
        {{"--help"}, nullptr, CStandardOptions::ShowHelp, ""},
        {{"--version"}, nullptr, CStandardOptions::ShowVersion, ""},
    };
    for (const auto& c : cases) {
      if (c.environment) qputenv("TALVERO_SERVICE", c.environment);
      else qunsetenv("TALVERO_SERVICE");
      CStandardOptions cli(CChatApp::Description());
      const CChatApp::Options options = CChatApp::ParseCommandLine(QStringList{"talvero"} + c.args, cli);
      QVERIFY2(options.outcome == c.outcome, qPrintable(c.args.join(' ')));
      if (c.outcome == CStandardOptions::Run) QCOMPARE(options.service, QString(c.service));
      if (c.outcome == CStandardOptions::UsageError) QVERIFY(!cli.ErrorText().isEmpty());
    }
    qunsetenv("TALVERO_SERVICE");
  }

  void serviceOptionReplacesTheBuiltInHost() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    CChatManager engine;
    QCOMPARE(engine.Host(), QString("127.0.0.1:8470"));
    CChatApp app(engine);
    CChatApp::Options options;
    options.service = "chat.example.com:8443";
    app.Prepare(options);
    QCOMPARE(engine.Host(), QString("chat.example.com:8443"));
    QCOMPARE(engine.DefaultHost(), QString("chat.example.com:8443"));
  }

  void theFailureWarningRingsItsSound() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    CChatManager engine;
    CChatApp app(engine);
    CChatApp::Options options;
    options.service = "127.0.0.1:1";  // nothing listens on port 1
    app.Prepare(options);
    QString reply;
    for (int i = 0; i < 13; ++i) engine.RequestSync("/x", reply);
    QTRY_COMPARE(desktop.messageBoxes.size(), 1);
    QCOMPARE(desktop.sounds, QList<QUrl>{QUrl("qrc:/sounds/301.wav")});
  }

  void linksOpenThroughTheDesktopServices() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    CChatManager engine;
    CChatApp app(engine);
    app.Prepare({});
    QVERIFY(CLinkOpener::Open("www.example.com"));
    QVERIFY(!CLinkOpener::Open("javascript:alert(1)"));
    QCOMPARE(desktop.openedUrls, QList<QUrl>{QUrl("http://www.example.com")});
    CLinkOpener::SetOpener({});
  }

  void startUpCreatesTheSettingsKey() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kRootKey));
    CChatManager engine;
    CChatApp app(engine);
    app.Prepare({});
    QVERIFY(CSettingsStore().KeyExists(CSettingsStore::kRootKey));
    QVERIFY(QFile::exists(folder.SettingsFile()));
  }

  // A settings file left readable by others (it may hold the remembered
  // login) is the owner's alone from the start, not from the next change.
  void startUpMakesTheSettingsFileOwnerOnly() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    QVERIFY(CSettingsStore().CreateKey(CSettingsStore::kLoginKey));
    const QFile::Permissions everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(folder.SettingsFile(), everyone));
    CChatManager engine;
    CChatApp app(engine);
    app.Prepare({});
    QCOMPARE(QFile::permissions(folder.SettingsFile()) & ~(QFile::ReadUser | QFile::WriteUser),
             QFile::ReadOwner | QFile::WriteOwner);
  }

  void closingTheLoginWindowEndsTheRun() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    CChatManager engine;
    CChatApp app(engine);
    app.Prepare({});
    QString shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible()) continue;
        shown = w->windowTitle();
        w->close();
      }
    });
    closer.start(50);
    app.RunLoginWindow();  // returns once the window is closed
    QCOMPARE(shown, QString("Talvero Executive Login:"));
    QCOMPARE(engine.Session().loginId, QString());
  }

  // One console per user and settings: a second start with the same
  // settings brings the first forward and ends; other settings are another
  // console.
  void aSecondStartBringsTheFirstForward() {
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("XDG_DATA_HOME", dir.filePath("data"));
    const QString talvero = QCoreApplication::applicationDirPath() + "/../../talvero";
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(talvero, {"--service", "127.0.0.1:9"});
    QVERIFY(first.waitForStarted());
    CSingleInstance probe(dir.filePath("config/TVR/Client.conf"));
    QTRY_VERIFY_WITH_TIMEOUT(probe.AskRunningToComeForward(200), 20000);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(talvero, {"--service", "127.0.0.1:9"});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(second.readAllStandardError().contains("already running"));
    QCOMPARE(first.state(), QProcess::Running);

    CSingleInstance other(dir.filePath("elsewhere/Client.conf"));
    QVERIFY(!other.AskRunningToComeForward(200));
    first.kill();
    first.waitForFinished();
    // A console that died leaves its socket: the next start is not refused.
    QVERIFY(!probe.AskRunningToComeForward(200));
    QVERIFY(probe.Listen());
  }

  // Nobody else can keep the console from starting by taking its socket's
  // name first: a runtime folder open to others or of another owner is
  // passed over for one of our own, and a socket that another user holds
  // is neither obeyed nor left in the way. The start says why on stderr.
  void aSquattedSocketNeverStopsTheStart_data() {
    QTest::addColumn<QString>("squat");
    QTest::addColumn<QString>("said");
    QTest::newRow("runtime folder open to others") << "open folder" << "is open to others (mode 0777)";
    QTest::newRow("runtime folder of another user") << "foreign folder" << "belongs to user 65534";
    QTest::newRow("socket of another user") << "foreign socket" << "is held by user 65534";
  }
  void aSquattedSocketNeverStopsTheStart() {
    QFETCH(QString, squat);
    QFETCH(QString, said);
    if (squat != "open folder" && ::getuid() != 0) QSKIP("another user's folder or socket needs root to be made");
    QTemporaryDir squatter;  // a folder the other user may write
    ::chmod(QFile::encodeName(squatter.path()).constData(), 0777);
    QTemporaryDir dir;
    const QString run = dir.filePath("run");
    const QString settings = dir.filePath("config/TVR/Client.conf");
    QVERIFY(QDir().mkpath(run) && QDir().mkpath(dir.filePath("tmp")));
    ::chmod(QFile::encodeName(run).constData(), 0700);
    const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray tmpBefore = qgetenv("TMPDIR");
    auto restore = qScopeGuard([&] {
      qputenv("XDG_RUNTIME_DIR", runtimeBefore);
      qputenv("TMPDIR", tmpBefore);
    });
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run));
    qputenv("TMPDIR", QFile::encodeName(dir.filePath("tmp")));
    // The name a console of these settings takes in the runtime folder.
    const QString name = CSingleInstance(settings).ServerName();
    QVERIFY(name.startsWith(run + '/'));

    QLocalServer taken;
    pid_t foreign = -1;
    auto endForeign = qScopeGuard([&] {
      if (foreign > 0 && ::kill(foreign, SIGKILL) == 0) ::waitpid(foreign, nullptr, 0);
    });
    if (squat == "foreign socket") {
      const QString bound = squatter.filePath("s");
      foreign = ListenAsAnotherUser(QFile::encodeName(bound));
      QVERIFY(foreign > 0);
      QVERIFY(QFile::rename(bound, name));
    } else {
      QVERIFY(taken.listen(name));
      if (squat == "open folder")
        ::chmod(QFile::encodeName(run).constData(), 0777);
      else
        QVERIFY(::chown(QFile::encodeName(run).constData(), kOtherUser, kOtherUser) == 0);
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("XDG_DATA_HOME", dir.filePath("data"));
    QProcess console;
    console.setProcessEnvironment(env);
    console.start(QCoreApplication::applicationDirPath() + "/../../talvero", {"--service", "127.0.0.1:9"});
    QVERIFY(console.waitForStarted());
    CSingleInstance probe(settings);
    QTRY_VERIFY_WITH_TIMEOUT(probe.AskRunningToComeForward(200), 20000);
    QByteArray err;
    QTRY_VERIFY2_WITH_TIMEOUT((err += console.readAllStandardError()).contains(said.toUtf8()), err.constData(), 10000);
    QCOMPARE(console.state(), QProcess::Running);
    QVERIFY(!taken.hasPendingConnections());
    QVERIFY(!err.contains("already running"));
    console.kill();
    console.waitForFinished();
  }

  // The three programs share the command-line rules: help and version on
  // standard output with status 0, a clear complaint and status 2 otherwise.
  void programsAnswerHelpVersionAndBadOptions() {
    const QString talvero = QCoreApplication::applicationDirPath() + "/../../talvero";
    const QString service = QCoreApplication::applicationDirPath() + "/../../talvero-service";
    const QString dict = QStringLiteral(TALVERO_DICT_TOOL);
    const struct {
      QString program;
      QStringList args;
      int status;
      const char* out;
      const char* err;
    } cases[] = {
        {talvero, {"--help"}, 0, "--service <HOST[:PORT]>", ""},
        {talvero, {"--version"}, 0, "talvero " TALVERO_VERSION "\n", ""},
        {talvero, {"--no-such-option"}, 2, "", "talvero: Unknown option 'no-such-option'."},
        {talvero, {"--service"}, 2, "", "Missing value after '--service'."},
        {service, {"--help"}, 0, "--tls <CERT>", ""},
        {service, {"--version"}, 0, "talvero-service " TALVERO_VERSION "\n", ""},
        {service, {"--bogus"}, 2, "", "talvero-service: Unknown option 'bogus'."},
        {service, {"--port", "99999"}, 2, "", "--port takes a number"},
        {service, {"--tls", "cert.pem"}, 2, "", "--tls takes a certificate and a key"},
        {dict, {"--help"}, 0, "lookup DIC WORD...", ""},
        {dict, {"--version"}, 0, "talvero-dict " TALVERO_VERSION "\n", ""},
        {dict, {"-x", "dump"}, 2, "", "talvero-dict: Unknown option 'x'."},
    };
    for (const auto& c : cases) {
      QProcess program;
      program.start(c.program, c.args);
      QVERIFY(program.waitForFinished(20000));
      const QByteArray out = program.readAllStandardOutput();
      const QByteArray err = program.readAllStandardError();
      QVERIFY2(program.exitCode() == c.status, qPrintable(c.args.join(' ') + ": " + err));
      QVERIFY2(out.contains(c.out), out.constData());
      QVERIFY2(err.contains(c.err), err.constData());
      if (c.status == 2) QVERIFY(err.contains("--help"));
    }
  }
};

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  TestChatApp test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_ChatApp.moc"
