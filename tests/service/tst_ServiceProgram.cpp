// talvero-service as a program: options, config files, TLS, injected faults
// and many consoles at once.
#include "ChatManager.h"
#include "RecordingDesktopServices.h"
#include "ScriptedServer.h"
#include "Separators.h"
#include "ServiceFixture.h"
#include "SplitReply.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <thread>

namespace {

QString ServiceProgram() { return QCoreApplication::applicationDirPath() + QStringLiteral("/../../talvero-service"); }

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text) {
  QFile f(dir.filePath(name));
  f.open(QIODevice::WriteOnly);
  f.write(text);
  return f.fileName();
}

}  // namespace

class TestServiceProgram : public QObject {
  Q_OBJECT

 private slots:
  void portZeroPrintsThePortFirst() {
    QProcess service;
    service.start(ServiceProgram(), {"--port", "0"});
    QVERIFY(service.waitForReadyRead(10000));
    bool ok = false;
    const int port = service.readLine().trimmed().toInt(&ok);
    QVERIFY(ok && port > 0);
    CHttpTransport::Options options;
    const auto r = CHttpTransport::Get(QString("127.0.0.1:%1").arg(port), false, "/cpn/w-param.php?stid=1001&nvar=Y", options);
    QVERIFY(r.ok);
    QCOMPARE(SplitReply(QString::fromUtf8(r.body), kSepField)[2], QString("127.0.0.1:%1").arg(port));
    service.terminate();
    QVERIFY(service.waitForFinished(10000));
    QCOMPARE(service.exitStatus(), QProcess::NormalExit);
    QCOMPARE(service.exitCode(), 0);
    // It says why it ended, so that an end nobody asked for is told apart.
    const QByteArray err = service.readAllStandardError();
    QVERIFY2(err.contains("stopping on TERM") && err.endsWith("stopped\n"), err.constData());
  }

  // The library's accept loop ends by itself when accept() fails with an
  // aborted connection or no buffers; the service then bound nothing and
  // answered nobody. Here accept() fails because the socket is shut down.
  void aFailedListeningSocketIsBoundAgain() {
    CServiceFixture service;
    QVERIFY(service.IsRunning());
    const QString parameters = QStringLiteral("/cpn/w-param.php?stid=1001&nvar=Y");
    const QString answer = service.Get(parameters);
    QVERIFY2(!answer.isEmpty() && answer != QStringLiteral("DISCONNNNECT"), qPrintable(answer));
    const int port = service.Server().Port();
    int listening = -1;
    for (const QString& name : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::System | QDir::NoDotAndDotDot)) {
      const int fd = name.toInt();
      sockaddr_in address{};
      socklen_t size = sizeof address;
      int accepting = 0;
      socklen_t flagSize = sizeof accepting;
      if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0 && address.sin_family == AF_INET &&
          ntohs(address.sin_port) == port && getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &accepting, &flagSize) == 0 &&
          accepting)
        listening = fd;
    }
    QVERIFY(listening >= 0);
    QCOMPARE(shutdown(listening, SHUT_RDWR), 0);
    QTRY_COMPARE_WITH_TIMEOUT(service.Get(parameters), answer, 5000);
    QCOMPARE(service.Server().Port(), port);
  }

  void badCommandLinesAndConfigs() {
    QTemporaryDir dir;
    const struct {
      QStringList args;
      int status;
      const char* message;
    } cases[] = {
        {{"--port"}, 2, "Missing value after '--port'"},
        {{"--config", dir.filePath("missing.conf")}, 1, "missing.conf"},
        {{"--config", WriteFile(dir, "a.conf", "[site 1]\noperator = x\n")}, 1, "a.conf:2"},
        {{"--config", WriteFile(dir, "e.conf", "[site 1]\noperator = a | b | admin | extra\n")}, 1, "e.conf:2"},
        {{"--config", WriteFile(dir, "b.conf", "colour = blue\n")}, 1, "unknown setting"},
        {{"--config", WriteFile(dir, "c.conf", "[site 1]\nconsole_period = 0\noperator = a | b | admin\n")}, 1,
         "console_period"},
        {{"--config", WriteFile(dir, "d.conf", "[site 1]\naddress = x\n")}, 1, "no operator"},
        {{"--tls", dir.filePath("x.pem"), dir.filePath("x.key"), "--port", "0"}, 1, "certificate"},
    };
    for (const auto& c : cases) {
      QProcess service;
      service.start(ServiceProgram(), c.args);
      QVERIFY(service.waitForFinished(10000));
      QCOMPARE(service.exitCode(), c.status);
      const QByteArray err = service.readAllStandardError();
      QVERIFY2(err.contains(c.message), err.constData());
    }
  }

  void configFile() {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "site.conf",
                                   "# two sites\nprefix = /chat\nversion = 2.7\nnew_version_text = Get 2.7\n"
                                   "[site 77]\naddress = http://shop.example\nconsole_period = 9\nchat_period = 2\n"
                                   "operator = zed | pw | admin\n"
                                   "operator = amy | pw2 | agent\n"
                                   "canned = A | T | x | y\npush = P | push-http://shop.example/p\n"
                                   "[site 78]\noperator = solo | s | agent\n");
    CServiceConfig config;
    QString error;
    QVERIFY2(CServiceConfig::Load(path, config, error), qPrintable(error));
    CServiceFixture service(config);
    const QStringList params = service.GetPieces("/chat/w-param.php?stid=77&nvar=Y", kSepField);
    QCOMPARE(params, QStringList({"9", "2", service.Host(), "chat", "Get 2.7", "2.7"}));
    // The catalogue answers under "/cpn" too.
    QCOMPARE(service.GetPieces("/cpn/w-param.php?stid=78&nvar=Y", kSepField)[0], QString("8"));
    QCOMPARE(SplitReply(service.Login("zed", "pw", "77"), kSepField), QStringList({"true", "ADM", "http://shop.example"}));
    QCOMPARE(SplitReply(service.Login("solo", "s", "77"), kSepField)[0], QString("false"));
    QCOMPARE(service.Get("/chat/wn-amespc.php?adminid=zed&sid=77"),
             QString("P<ln>push-http://shop.example/p<blk>A<ln>T<ln>x | y"));
  }

  void tls() {
    QTemporaryDir dir;
    const TestCertificates certs = TestCertificates::Create(dir.path());
    QVERIFY(certs.IsValid());
    CServiceServer::Options options;
    options.certFile = certs.certFile;
    options.keyFile = certs.keyFile;
    qputenv("TALVERO_CA_FILE", certs.caFile.toLocal8Bit());
    CServiceFixture service(CServiceConfig::Demo(), options);
    QVERIFY(service.IsRunning());
    QCOMPARE(service.GetPieces("/cpn/w-param.php?stid=1001&nvar=Y", kSepField).size(), 6);
    qunsetenv("TALVERO_CA_FILE");
    QCOMPARE(service.Get("/cpn/w-param.php?stid=1001&nvar=Y"), kDisconnect);  // not trusted without the CA
  }

  void injectedFaultsReachTheConsoleAsItExpects() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    CServiceFixture service;
    CChatManager engine;
    engine.SetDefaultHost(service.Host());
    engine.SetTimeouts(2000, 1500);
    QString reply;
    const QString param = "/w-param.php?stid=1001&nvar=Y";

    QCOMPARE(service.Control("fault", {{"kind", "empty"}, {"count", "1"}}), QString("ok"));
    QVERIFY(engine.RequestSync(param, reply));
    QCOMPARE(reply, QString());

    service.Control("fault", {{"kind", "drop"}});
    QVERIFY(!engine.RequestSync(param, reply));
    QCOMPARE(reply, kDisconnect);

    service.Control("fault", {{"kind", "garbage"}, {"count", "3"}});
    for (int i = 0; i < 3; ++i) QVERIFY(engine.RequestSync(param, reply));

    service.Control("fault", {{"kind", "huge"}});
    QVERIFY(engine.RequestSync(param, reply));
    // Cut to the engine's capacity, its end kept behind a notice of the cut.
    QVERIFY(reply.size() > 2'000'000 && reply.size() <= 2'600'000);
    QVERIFY(reply.contains("too many, not shown"));

    service.Control("fault", {{"kind", "delay"}, {"ms", "3000"}});
    QVERIFY(!engine.RequestSync(param, reply));  // longer than the time-out

    // A fault for one script spares the others.
    service.Control("fault", {{"kind", "drop"}, {"script", "wn-lmudets.php"}});
    QCOMPARE(SplitReply((engine.RequestSync(param, reply), reply), kSepField).size(), 6);
    QVERIFY(!engine.RequestSync("/wn-lmudets.php?csesid=x&nvar=Y", reply));

    // Half of the real reply, as if it were all of it.
    service.Control("fault", {{"kind", "truncated"}});
    QVERIFY(engine.RequestSync(param, reply));
    QVERIFY(!reply.isEmpty() && SplitReply(reply, kSepField).size() < 6);

    // A fault lasting a time spoils every reply, however many, until it ends.
    service.Control("fault", {{"kind", "drop"}, {"for", "400"}});
    QVERIFY(!engine.RequestSync(param, reply));
    QVERIFY(!engine.RequestSync(param, reply));
    QTRY_VERIFY_WITH_TIMEOUT(engine.RequestSync(param, reply), 3000);
    service.Control("fault", {{"kind", "drop"}, {"for", "60000"}});
    QVERIFY(!engine.RequestSync(param, reply));
    service.Control("fault", {{"kind", "none"}});
    QVERIFY(engine.RequestSync(param, reply));

    // Control requests are never spoiled, and the faults are used up.
    QCOMPARE(SplitReply((engine.RequestSync(param, reply), reply), kSepField).size(), 6);
    QCOMPARE(service.ControlStatus("fault", {{"kind", "lightning"}}), 400);
  }

  void manyConsolesAtOnce() {
    CServiceFixture service;
    for (const char* op : {"demo", "anna", "ben"}) service.Login(op, op);
    QStringList chats;
    for (int i = 0; i < 8; ++i) {
      const QString v = service.Control("visitor/add", {{"name", QString("V%1").arg(i)}});
      service.Control("visitor/chat", {{"csesid", v}});
      service.Get(QString("/cpn/w-adc.php?csesid=%1&ipaddr=x&adminid=anna&sid=1001").arg(v));
      chats.append(v);
    }
    std::atomic<int> bad{0}, done{0};
    std::atomic<bool> stop{false};
    std::vector<std::thread> pollers;
    for (int i = 0; i < 12; ++i)
      pollers.emplace_back([&, i] {
        const char* ops[] = {"demo", "anna", "ben"};
        while (!stop) {
          const QString r = service.Get(QString("/cpn/wn-allonlineu.php?nadminid=%1&nsid=1001&nvar=Y").arg(ops[i % 3]));
          if (SplitReply(r, kSepBlock).size() != 7) ++bad;
          ++done;
        }
      });
    for (int i = 0; i < 24; ++i)
      pollers.emplace_back([&, i] {
        const QString chat = chats[i % chats.size()];
        while (!stop) {
          if (i % 4 == 0) service.Control("visitor/say", {{"csesid", chat}, {"text", "more"}});
          const QString r = service.Get(
              QString("/cpn/wn-achats.php?uname=&adminid=anna&csesid=%1&ipadd=x&sid=1001&lastnum=1").arg(chat));
          if (SplitReply(r, kSepChatType).size() != 2) ++bad;
          ++done;
        }
      });
    QTest::qWait(2000);
    stop = true;
    for (std::thread& t : pollers) t.join();
    QCOMPARE(bad.load(), 0);
    QVERIFY(done.load() > 100);
  }
};

QTEST_GUILESS_MAIN(TestServiceProgram)
#include "tst_ServiceProgram.moc"
