// The request engine against a real HTTP server on a loopback port.
#include "ChatManager.h"
#include "RecordingDesktopServices.h"
#include "ScriptedServer.h"
#include "Separators.h"
#include "StringTable.h"
#include "ResourceIds.h"
#include "TestEnvironment.h"

#include <httplib.h>

#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <optional>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Loads the server parameters on a worker and waits for the end; false
// when they could not be loaded.
bool LoadParameters(CChatManager& engine, const QString& siteId, bool bSecure, QString& versionText) {
  QObject context;
  std::optional<bool> loaded;
  engine.LoadServerParameters(siteId, bSecure, &context, [&](bool bLoaded, const QString& text) {
    loaded = bLoaded;
    if (!text.isEmpty()) versionText = text;
  });
  return QTest::qWaitFor([&] { return loaded.has_value(); }, 15000) && *loaded;
}

// A request context that records the replies its callables receive.
class ReplyRecorder : public QObject {
 public:
  struct Reply {
    QString text;
    bool onUiThread;
    int runningWorkers;
  };
  explicit ReplyRecorder(QList<Reply>* sink = nullptr) : m_pSink(sink ? sink : &m_own) {}
  void Send(CChatManager& engine, const QString& url) {
    engine.RequestAsync(url, this, [this](const QString& text) { Record(text); });
  }
  const QList<Reply>& Replies() const { return *m_pSink; }

 private:
  void Record(const QString& text) {
    m_pSink->append({text, QThread::currentThread() == QCoreApplication::instance()->thread(), CChatManager::Instance().RunningRequests()});
  }
  QList<Reply> m_own;
  QList<Reply>* m_pSink;
};

// A port on which nothing listens: connections are refused at once.
int ClosedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), len);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

const QString kNoResponse = QStringLiteral("No Response from Server. Please check your internet connection.");

}  // namespace

class TestChatManager : public QObject {
  Q_OBJECT

 private:
  CTestSettingsFolder* m_pSettings = nullptr;
  CRecordingDesktopServices* m_pDesktop = nullptr;

  static std::unique_ptr<CChatManager> EngineFor(const QString& host) {
    auto engine = std::make_unique<CChatManager>();
    engine->SetDefaultHost(host);
    engine->SetTimeouts(3000, 5000);
    return engine;
  }

 private slots:
  void init() {
    m_pSettings = new CTestSettingsFolder;
    m_pDesktop = new CRecordingDesktopServices;
  }
  void cleanup() {
    delete m_pDesktop;
    delete m_pSettings;
  }

  void syncRequestReadsTheBody() {
    CScriptedServer server;
    server.SetBody("a<fld>b");
    auto engine = EngineFor(server.Host());
    QString reply = "stale";
    QVERIFY(engine->RequestSync("/w-param.php?stid=7&nvar=Y", reply));
    QCOMPARE(reply, QString("a<fld>b"));
    QCOMPARE(server.Targets(), QStringList{"/cpn/w-param.php?stid=7&nvar=Y"});
  }

  void replyBodies_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("reply");
    QTest::newRow("empty body") << 200 << QByteArray() << QString();
    // A NUL or another control character would cut or garble the rest of
    // the reply; the tab and the line ends stay.
    QTest::newRow("NUL and escape dropped") << 200 << QByteArray("true<fld>\0AD\x1bM\x7f", 16) << QString("true<fld>ADM");
    QTest::newRow("tab and line ends kept") << 200 << QByteArray("a\tb\r\nc\n") << QString("a\tb\r\nc\n");
    QTest::newRow("invalid UTF-8") << 200 << QByteArray("ok\xFF\xFEyes") << QString("ok") + QChar(0xFFFD) + QChar(0xFFFD) + "yes";
    QTest::newRow("UTF-8 text") << 200 << QByteArray("\xC3\xA9t\xC3\xA9") << QString::fromUtf8("\xC3\xA9t\xC3\xA9");
    QTest::newRow("no content") << 204 << QByteArray() << QString();
  }
  void replyBodies() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, reply);
    CScriptedServer server([&](const httplib::Request&) {
      return CScriptedServer::Reply{status, body.toStdString()};
    });
    auto engine = EngineFor(server.Host());
    // A server answer of any kind is a success and resets the failure count.
    QString text;
    engine->SetDefaultHost(QStringLiteral("127.0.0.1:%1").arg(ClosedPort()));
    QVERIFY(!engine->RequestSync("/x", text));
    QCOMPARE(engine->Failures(), 1);
    engine->SetDefaultHost(server.Host());
    QVERIFY(engine->RequestSync("/x", text));
    QCOMPARE(text, reply);
    QCOMPARE(engine->Failures(), 0);
  }

  // A body over the capacity loses its middle: what follows one huge line
  // (a chat's newest line number) still arrives, and the cut is said.
  void bodyLongerThanTheCapacityKeepsItsEnd() {
    const std::string big = std::string(3'000'000, 'x') + "<end>";
    CScriptedServer server([&](const httplib::Request&) { return CScriptedServer::Reply{200, big}; });
    auto engine = EngineFor(server.Host());
    QString reply;
    QVERIFY(engine->RequestSync("/big", reply));
    QVERIFY(reply.endsWith("xxx<end>"));
    const qsizetype head = reply.indexOf(" [... ");
    QVERIFY2(head > 2'400'000 && head <= 2'500'000, qPrintable(QString::number(head)));
    const qsizetype tail = reply.size() - reply.indexOf(" ...] ") - 6;
    QVERIFY(tail > 0 && tail <= 64 * 1024);
    QCOMPARE(reply.mid(head, reply.size() - tail - head), CChatManager::CutNotice(qint64(big.size()) - head - tail));
    QCOMPARE(engine->Failures(), 0);
  }

  void networkFailures_data() {
    QTest::addColumn<QString>("host");
    QTest::newRow("connection refused") << QStringLiteral("127.0.0.1:%1").arg(ClosedPort());
    QTest::newRow("unknown host") << QStringLiteral("no-such-host.invalid");
    QTest::newRow("malformed host") << QStringLiteral("bad host name");
  }
  void networkFailures() {
    QFETCH(QString, host);
    auto engine = EngineFor(host);
    QString reply;
    QVERIFY(!engine->RequestSync("/x", reply));
    QCOMPARE(reply, kDisconnect);
    QCOMPARE(engine->Failures(), 1);
  }

  // Only a 2xx answer is the service's: a captive portal's redirect page, a
  // proxy's error or a missing script is a failure, counted as one and
  // never handed on as a reply.
  void answersThatAreNotTheServices_data() {
    QTest::addColumn<int>("status");
    QTest::newRow("captive portal redirect") << 302;
    QTest::newRow("moved") << 301;
    QTest::newRow("not modified") << 304;
    QTest::newRow("not found") << 404;
    QTest::newRow("bad gateway") << 502;
  }
  void answersThatAreNotTheServices() {
    QFETCH(int, status);
    CScriptedServer server([&](const httplib::Request&) {
      return CScriptedServer::Reply{status, "<html><body>true<fld>Please sign in to the Wi-Fi</body></html>"};
    });
    auto engine = EngineFor(server.Host());
    QString reply;
    QVERIFY(!engine->RequestSync("/x", reply));
    QCOMPARE(reply, kDisconnect);
    QCOMPARE(engine->Failures(), 1);
  }

  void thirteenthFailureTellsTheOperatorOnce() {
    CScriptedServer server;
    auto engine = EngineFor(QStringLiteral("127.0.0.1:%1").arg(ClosedPort()));
    int alerts = 0;
    engine->SetFailureAlert([&] {
      QVERIFY(m_pDesktop->messageBoxes.isEmpty() || alerts > 0);  // the alert comes before its box
      ++alerts;
    });
    QString reply;
    for (int i = 0; i < 12; ++i) QVERIFY(!engine->RequestSync("/x", reply));
    QVERIFY(m_pDesktop->messageBoxes.isEmpty());

    // A success in between starts the count again.
    engine->SetDefaultHost(server.Host());
    QVERIFY(engine->RequestSync("/x", reply));
    QCOMPARE(engine->Failures(), 0);
    engine->SetDefaultHost(QStringLiteral("127.0.0.1:%1").arg(ClosedPort()));
    for (int i = 0; i < 12; ++i) engine->RequestSync("/x", reply);
    QVERIFY(m_pDesktop->messageBoxes.isEmpty());

    engine->RequestSync("/x", reply);  // the 13th in a row
    QTRY_COMPARE(m_pDesktop->messageBoxes.size(), 1);
    const auto& box = m_pDesktop->messageBoxes.first();
    QCOMPARE(box.text, kNoResponse);
    QCOMPARE(box.caption, QString("Internet Connection"));
    QCOMPARE(box.icon, CDesktopServices::Icon::Error);
    QVERIFY(!box.hadOwner);
    QCOMPARE(alerts, 1);

    for (int i = 14; i <= 225; ++i) engine->RequestSync("/x", reply);
    QTest::qWait(0);
    QCOMPARE(m_pDesktop->messageBoxes.size(), 1);
    // With the box still open the 226th says nothing; once the operator
    // dismissed it, the 226th shows it again.
    m_pDesktop->CloseWarnings();
    engine->RequestSync("/x", reply);  // the 226th
    QTRY_COMPARE(m_pDesktop->messageBoxes.size(), 2);
    QCOMPARE(alerts, 2);
    // The service answers again: the box goes by itself.
    engine->SetDefaultHost(server.Host());
    QVERIFY(engine->RequestSync("/x", reply));
    QTRY_COMPARE(m_pDesktop->OpenWarnings(), 0);
    QVERIFY(m_pDesktop->warnings.last().closedByProgram);
  }

  void failureBoxOfAWorkerIsShownOnTheUserInterfaceThread() {
    auto engine = EngineFor(QStringLiteral("127.0.0.1:%1").arg(ClosedPort()));
    QString reply;
    for (int i = 0; i < 12; ++i) engine->RequestSync("/x", reply);
    ReplyRecorder target;
    target.Send(*engine, "/x");
    QTRY_COMPARE(target.Replies().size(), 1);
    QTRY_COMPARE(m_pDesktop->messageBoxes.size(), 1);
    QCOMPARE(target.Replies().first().text, kDisconnect);
  }

  void parametersReply_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("consolePeriod");
    QTest::addColumn<int>("chatPeriod");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("newVersion");
    const QString fallbackHost = "from-resource";
    QTest::newRow("six fields, version 2.6")
        << "5<fld>3<fld>chat.example.com<fld>svc<fld>Get 2.6!<fld>2.6" << 5000 << 3000 << "chat.example.com"
        << "/svc" << "Get 2.6!";
    QTest::newRow("six fields, version 2.5")
        << "5<fld>3<fld>chat.example.com<fld>svc<fld>Get 2.5!<fld>2.5" << 5000 << 3000 << "chat.example.com"
        << "/svc" << "unchanged";
    QTest::newRow("five fields") << "5<fld>3<fld>chat.example.com<fld>svc<fld>x" << 8000 << 8000 << fallbackHost
                                 << "/cpn" << "unchanged";
    QTest::newRow("seven fields") << "5<fld>3<fld>h<fld>svc<fld>x<fld>3.0<fld>" << 8000 << 8000 << fallbackHost
                                  << "/cpn" << "unchanged";
    QTest::newRow("numbers with trailing text") << "10s<fld>4 sec<fld>h<fld>p<fld>new<fld>2.51b" << 10000 << 4000
                                                << "h" << "/p" << "new";
    // A period of no number would poll without pause: the default stays.
    // An empty host or prefix would send every later request nowhere.
    QTest::newRow("no host") << "5<fld>3<fld><fld>svc<fld>n<fld>1" << 5000 << 3000 << fallbackHost << "/svc"
                             << "unchanged";
    QTest::newRow("no prefix") << "5<fld>3<fld>h<fld> <fld>n<fld>1" << 5000 << 3000 << "h" << "/cpn" << "unchanged";
    QTest::newRow("periods that are no numbers") << "fast<fld>0<fld>h<fld>p<fld>n<fld>1" << 8000 << 8000 << "h"
                                                 << "/p" << "unchanged";
  }
  void parametersReply() {
    QFETCH(QString, reply);
    QFETCH(int, consolePeriod);
    QFETCH(int, chatPeriod);
    QFETCH(QString, host);
    QFETCH(QString, prefix);
    QFETCH(QString, newVersion);
    CScriptedServer server;
    server.SetBody(reply.toStdString());
    if (host == "from-resource") host = server.Host();
    auto engine = EngineFor(server.Host());
    QString versionText = "unchanged";
    QVERIFY(LoadParameters(*engine, "42", false, versionText));
    QCOMPARE(server.Targets(), QStringList{"/cpn/w-param.php?stid=42&nvar=Y"});
    QCOMPARE(engine->Session().consolePeriodMs, consolePeriod);
    QCOMPARE(engine->Session().chatPeriodMs, chatPeriod);
    QCOMPARE(engine->Session().operChatPeriodMs, chatPeriod);
    QCOMPARE(engine->Host(), host);
    QCOMPARE(engine->Prefix(), prefix);
    QCOMPARE(versionText, newVersion);
  }

  void parametersFailureTellsTheOperator() {
    auto engine = EngineFor(QStringLiteral("127.0.0.1:%1").arg(ClosedPort()));
    QString versionText;
    QVERIFY(!LoadParameters(*engine, "42", true, versionText));
    QVERIFY(engine->Session().secure);
    QCOMPARE(m_pDesktop->messageBoxes.size(), 1);
    QCOMPARE(m_pDesktop->messageBoxes.first().text, QString("Please check your internet connection."));
    QCOMPARE(m_pDesktop->messageBoxes.first().caption, QString("Internet Connection"));
    QCOMPARE(engine->Prefix(), QString("/cpn"));
  }

  void parametersStartFromTheDefaultsEachTime() {
    CScriptedServer server;
    server.SetBody("3<fld>2<fld>" + server.Host().toStdString() + "<fld>other<fld><fld>1");
    auto engine = EngineFor(server.Host());
    QString versionText;
    QVERIFY(LoadParameters(*engine, "1", false, versionText));
    QCOMPARE(engine->Prefix(), QString("/other"));
    server.SetBody("nonsense");
    QVERIFY(LoadParameters(*engine, "1", false, versionText));
    QCOMPARE(engine->Prefix(), QString("/cpn"));
    QCOMPARE(engine->Session().consolePeriodMs, 8000);
  }

  void asyncReplyRunsOnTheUserInterfaceThreadWhileTheWorkerWaits() {
    CScriptedServer server;
    server.SetBody("r");
    auto engine = EngineFor(server.Host());
    ReplyRecorder target;
    target.Send(*engine, "/wn-allonlineu.php?nadminid=a&nsid=1&nvar=Y");
    QTRY_COMPARE(target.Replies().size(), 1);
    const auto& reply = target.Replies().first();
    QCOMPARE(reply.text, QString("r"));
    QVERIFY(reply.onUiThread);
    QCOMPARE(reply.runningWorkers, 1);  // its worker had not ended yet
    QTRY_COMPARE(engine->RunningRequests(), 0);
  }

  // The worker's step runs on the worker, with the reply or the failure
  // marker, and what it made is there when the reply is handed over; for a
  // context that is gone it does not run at all.
  void workerStepRunsBeforeTheHandOver() {
    CScriptedServer server;
    server.SetBody("r<fld>s");
    auto engine = EngineFor(server.Host());
    QObject context;
    QStringList seen;
    for (const QString& host : {server.Host(), QString("127.0.0.1:1")}) {
      engine->SetDefaultHost(host);
      auto made = std::make_shared<QStringList>();
      auto onWorker = std::make_shared<bool>(false);
      engine->RequestAsync(
          "/x", &context,
          [&seen, made](const QString& reply) { seen.append(reply + " -> " + made->join(u'|')); },
          [made, onWorker](const QString& reply) {
            *onWorker = QThread::currentThread() != QCoreApplication::instance()->thread();
            *made = reply.split("<fld>");
          });
      QTRY_COMPARE(engine->RunningRequests(), 0);
      QVERIFY(*onWorker);
    }
    QCOMPARE(seen, QStringList({"r<fld>s -> r|s", "DISCONNNNECT -> DISCONNNNECT"}));

    engine->SetDefaultHost(server.Host());
    std::atomic<bool> stepRan{false};
    auto gone = std::make_unique<QObject>();
    server.SetScript([](const httplib::Request&) { return CScriptedServer::Reply{200, "late", 300}; });
    engine->RequestAsync(
        "/x", gone.get(), [](const QString&) {}, [&stepRan](const QString&) { stepRan = true; });
    gone.reset();
    QTRY_COMPARE(engine->RunningRequests(), 0);
    QVERIFY(!stepRan);
  }

  // Every request's reply reaches its callable, once, whatever the request
  // is for (the visitor actions and the login's requests included).
  void everyReplyIsDeliveredOnce() {
    CScriptedServer server([](const httplib::Request& req) { return CScriptedServer::Reply{200, req.get_param_value("n")}; });
    auto engine = EngineFor(server.Host());
    ReplyRecorder target;
    for (int n = 0; n < 7; ++n) target.Send(*engine, QStringLiteral("/x?n=%1").arg(n));
    QTRY_COMPARE(engine->RunningRequests(), 0);
    QCOMPARE(server.RequestCount(), 7);
    QStringList texts;
    for (const auto& r : target.Replies()) texts.append(r.text);
    texts.sort();
    QCOMPARE(texts, QStringList({"0", "1", "2", "3", "4", "5", "6"}));
  }

  void eachRequestKeepsItsOwnPurpose() {
    // Two requests of one context, answered in the other order: each
    // callable gets its own reply, with what it was sent for.
    CScriptedServer server([](const httplib::Request& req) {
      const bool slow = req.get_param_value("csesid") == "first";
      return CScriptedServer::Reply{200, "reply to " + req.get_param_value("csesid"), slow ? 400 : 0};
    });
    auto engine = EngineFor(server.Host());
    QObject context;
    QStringList arrived;
    for (const QString& id : {QString("first"), QString("second")})
      engine->RequestAsync(engine->Catalogue().VisitorDetails(id), &context,
                           [&arrived, id](const QString& reply) { arrived.append(id + ": " + reply); });
    QTRY_COMPARE(arrived.size(), 2);
    QCOMPARE(arrived, QStringList({"second: reply to second", "first: reply to first"}));
  }

  void nothingIsDeliveredOnceClosing() {
    CScriptedServer server([](const httplib::Request&) { return CScriptedServer::Reply{200, "late", 300}; });
    auto engine = EngineFor(server.Host());
    ReplyRecorder target;
    target.Send(*engine, "/x");
    target.Send(*engine, "/x");
    QTRY_COMPARE(server.RequestCount(), 2);
    engine->SetClosing();
    QTRY_COMPARE(engine->RunningRequests(), 0);
    QTest::qWait(50);
    QVERIFY(target.Replies().isEmpty());
  }

  void aDestroyedTargetGetsNothing() {
    CScriptedServer server([](const httplib::Request&) { return CScriptedServer::Reply{200, "late", 300}; });
    auto engine = EngineFor(server.Host());
    QList<ReplyRecorder::Reply> sink;
    auto* target = new ReplyRecorder(&sink);
    target->Send(*engine, "/x");
    QTRY_COMPARE(server.RequestCount(), 1);
    delete target;
    QTRY_COMPARE(engine->RunningRequests(), 0);
    QVERIFY(sink.isEmpty());
  }

  void aServerThatNeverAnswersTimesOut() {
    CScriptedServer server([](const httplib::Request&) {
      CScriptedServer::Reply r;
      r.hang = true;
      return r;
    });
    auto engine = EngineFor(server.Host());
    engine->SetTimeouts(500, 800);
    QElapsedTimer timer;
    timer.start();
    QString reply;
    QVERIFY(!engine->RequestSync("/x", reply));
    QCOMPARE(reply, kDisconnect);
    QVERIFY(timer.elapsed() < 5000);

    ReplyRecorder target;
    target.Send(*engine, "/x");
    QTRY_COMPARE(target.Replies().size(), 1);
    QCOMPARE(target.Replies().first().text, kDisconnect);
    QTRY_COMPARE(engine->RunningRequests(), 0);
  }

  void destroyingTheEngineEndsItsWorkers() {
    CScriptedServer server([](const httplib::Request&) {
      CScriptedServer::Reply r;
      r.hang = true;
      return r;
    });
    ReplyRecorder target;
    QElapsedTimer timer;
    {
      auto engine = EngineFor(server.Host());
      engine->SetTimeouts(10000, 60000);
      for (int i = 0; i < 5; ++i) target.Send(*engine, "/x");
      QTRY_COMPARE(server.RequestCount(), 5);
      timer.start();
    }
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(target.Replies().isEmpty());
  }

  void chatLineReachesTheServerWhole() {
    CScriptedServer server;
    auto engine = EngineFor(server.Host());
    engine->Session().loginId = "op 1";
    engine->Session().siteId = "7";
    const QString line = "see #5 at 100% now";
    QString reply;
    QVERIFY(engine->RequestSync(engine->Catalogue().SendLine(line, "c1"), reply));
    QCOMPARE(server.Targets().first(),
             QString("/cpn/w-amessub.php?say=see%20%235%20at%20100%25%20now&csesid=c1&adminid=op%201&sid=7"));
    QCOMPARE(server.Queries().first().value("say"), line);
    QCOMPARE(server.Queries().first().value("adminid"), QString("op 1"));
  }

  void nonLatinAndReservedTextArriveIntact() {
    CScriptedServer server;
    auto engine = EngineFor(server.Host());
    const QString text = QString::fromUtf8("a+b&c=d é € 東京 \xF0\x9F\x98\x80");
    QString reply;
    QVERIFY(engine->RequestSync("/w-amessub.php?say=" + CChatManager::UrlEncode(text) + "&sid=1", reply));
    // The surrogate halves are encoded one by one, as the protocol does;
    // everything else survives the trip.
    const QString received = server.Queries().first().value("say");
    QVERIFY(received.startsWith(QString::fromUtf8("a+b&c=d é € 東京 ")));
  }

  void cannedMessagesRequest() {
    CScriptedServer server;
    server.SetBody("a<blk>b");
    auto engine = EngineFor(server.Host());
    engine->Session().loginId = "anna&co";
    engine->Session().siteId = "9";
    QObject window;
    QStringList replies;
    engine->RequestCannedMessages(&window, [&](const QString& reply) { replies.append(reply); });
    QTRY_COMPARE(replies, QStringList{"a<blk>b"});
    QCOMPARE(server.Targets().first(), QString("/cpn/wn-amespc.php?adminid=anna%26co&sid=9"));
  }

  void serverPageAddress() {
    auto engine = EngineFor("chat.example.com:8080");
    QList<QPair<QUrl, bool>> opened;
    engine->SetPageOpener([&](const QUrl& url, bool small, bool, const QRect&) { opened.append({url, small}); });
    engine->OpenServerPage("/w-browser.php?loginid=a b&stid=1&adm=&opurl=control");
    engine->OpenServerPage("/wn-fuploadweb.php?adminid=a&sid=1&csesid=c", true);
    engine->OpenServerPage("/w-browser.php?opurl=transcript");
    QCOMPARE(opened.size(), 3);
    QCOMPARE(opened[0].first.toString(QUrl::FullyEncoded),
             QString("http://chat.example.com:8080/cpn/w-browser.php?loginid=a%20b&stid=1&adm=&opurl=control"));
    QCOMPARE(opened[0].second, false);
    QCOMPARE(opened[1].second, true);
    QCOMPARE(opened[2].second, false);

    CScriptedServer server;
    server.SetBody("8<fld>8<fld>secure.example.com<fld>svc<fld><fld>1");
    engine->SetDefaultHost(server.Host());
    QString versionText;
    LoadParameters(*engine, "1", true, versionText);  // fails over TLS: defaults stay, secure is set
    engine->OpenServerPage("/p");
    QVERIFY(opened.last().first.toString().startsWith("https://" + server.Host() + "/cpn/p"));
  }

  void tlsIsVerified() {
    QTemporaryDir dir;
    const TestCertificates certs = TestCertificates::Create(dir.path());
    QVERIFY(certs.IsValid());
    CScriptedServer server({}, certs.certFile, certs.keyFile);
    QVERIFY(server.IsRunning());
    server.SetBody("secure reply");
    auto engine = EngineFor(server.Host());
    QString versionText;
    engine->SetCaFile(certs.caFile);
    LoadParameters(*engine, "1", true, versionText);  // switches to HTTPS
    QString reply;
    QVERIFY(engine->RequestSync("/x", reply));
    QCOMPARE(reply, QString("secure reply"));

    // A certificate from an authority nobody trusts is a network failure.
    engine->SetCaFile(certs.otherCaFile);
    QVERIFY(!engine->RequestSync("/x", reply));
    QCOMPARE(reply, kDisconnect);
    engine->SetCaFile(QString());
    QVERIFY(!engine->RequestSync("/x", reply));
  }
};

QTEST_GUILESS_MAIN(TestChatManager)
#include "tst_ChatManager.moc"
