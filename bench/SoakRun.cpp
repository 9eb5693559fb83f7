// Soak: one console with ten open chats against talvero-service in demo
// mode (a child process, so that its memory is not counted here), for a
// number of minutes. Visitors write now and then and the operator answers;
// a chat that ends is replaced by a new one. Every minute it prints the
// process's resident memory, threads and open files, so that a slow leak
// of memory, threads or descriptors shows as a rising column.
//
//   build/bench/soak_console [--minutes N] [--chats N] [--service PATH]
#include "ChatDlg.h"
#include "ChatManager.h"
#include "ChatRichEd.h"
#include "ChatWindows.h"
#include "ConsoleController.h"
#include "HttpTransport.h"
#include "MainDlg.h"
#include "MySpellEditCtrl.h"
#include "Requests.h"
#include "SettingsStore.h"
#include "SilentDesktop.h"
#include "VisitorActions.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <malloc.h>

#include <cstdio>

namespace {

long StatusKb(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith(field)) return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
  return -1;
}

int Entries(const QString& dir) { return int(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size()); }

// The service's control interface, which lives outside the catalogue's prefix.
class ServiceControl {
 public:
  explicit ServiceControl(QString host) : m_strHost(std::move(host)) {}
  QString Call(const QString& command, const QString& query) const {
    CHttpTransport::Options options;
    options.totalTimeoutMs = 5000;
    const CHttpTransport::Result result =
        CHttpTransport::Get(m_strHost, false, QStringLiteral("/control/") + command + u'?' + query, options);
    return result.ok ? QString::fromUtf8(result.body).trimmed() : QString();
  }

 private:
  QString m_strHost;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.addHelpOption();
  parser.addOption({"minutes", "How long to run (default 10).", "N", "10"});
  parser.addOption({"service", "The talvero-service program.", "PATH", QStringLiteral(TALVERO_SERVICE_PROGRAM)});
  parser.addOption({"chats", "Open chats to keep (default 10).", "N", "10"});
  parser.process(app);
  bool okMinutes = false, okChats = false;
  const int minutes = parser.value("minutes").toInt(&okMinutes);
  const int nChats = parser.value("chats").toInt(&okChats);
  if (!okMinutes || !okChats || nChats < 0 || minutes < 1) {
    std::fprintf(stderr, "soak_console: --minutes takes a whole number from 1, --chats one from 0\n");
    return 2;
  }

  // Settings and the user's dictionary copy in a folder of their own.
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
  QDir().mkpath(home.path() + "/data/talvero");
  QFile::copy(QStringLiteral(TALVERO_DICT_FILE), home.path() + "/data/talvero/TVRDIC.dic");
  CSettingsStore().CreateKey(CSettingsStore::kRootKey);
  SilentDesktop desktop;
  CDesktopServices::Install(&desktop);

  QProcess service;
  service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  service.start(parser.value("service"), {"--demo", "--port", "0"});
  if (!service.waitForStarted(5000) || !service.waitForReadyRead(5000)) {
    std::fprintf(stderr, "soak_console: cannot start %s\n", qPrintable(parser.value("service")));
    return 1;
  }
  const QString host = QStringLiteral("127.0.0.1:") + QString::fromLatin1(service.readLine()).trimmed();
  // A service that ends before the soak is the finding, not a detail.
  QElapsedTimer serviceClock;
  serviceClock.start();
  QObject::connect(&service, &QProcess::finished, [&serviceClock](int code, QProcess::ExitStatus status) {
    std::printf("the service ended after %lld s: %s %d\n", static_cast<long long>(serviceClock.elapsed() / 1000),
                status == QProcess::CrashExit ? "signal" : "exit code", code);
    std::fflush(stdout);
  });

  {
    CChatManager engine;
    engine.SetDefaultHost(host);
    {
      QEventLoop loading;  // the parameters load on a worker
      engine.LoadServerParameters(QStringLiteral("1001"), false, &loading, [&loading](bool, const QString&) { loading.quit(); });
      loading.exec();
    }
    QString reply;
    engine.RequestSync(Requests::Login(QStringLiteral("demo"), QStringLiteral("1001"), QStringLiteral("demo")), reply);
    if (!reply.startsWith(QStringLiteral("true"))) {
      std::fprintf(stderr, "soak_console: the login was refused: %s\n", qPrintable(reply));
      service.terminate();
      service.waitForFinished(5000);
      return 1;
    }
    CSession& session = engine.Session();
    session.loginId = QStringLiteral("demo");
    session.siteId = QStringLiteral("1001");
    session.admin = true;

    const ServiceControl control(host);
    CConsoleSession consoleSession(engine);
    auto console = std::make_unique<CConsoleController>(consoleSession);
    console->Window().show();
    console->Window().OnInitDialog();

    // Ten chats of our own visitors, topped up whenever one has ended.
    QList<QPointer<CChatDlg>> chats;
    QStringList visitors;
    int nextVisitor = 0;
    auto topUp = [&] {
      for (int i = int(chats.size()) - 1; i >= 0; --i)
        if (chats[i].isNull() || chats[i]->Session() == nullptr || !chats[i]->Session()->IsPolling()) {
          if (chats[i]) chats[i]->CloseChatWindow();
          chats.removeAt(i);
          visitors.removeAt(i);
        }
      while (chats.size() < nChats) {
        const QString id = control.Call("visitor/add", QStringLiteral("name=Soak%1").arg(nextVisitor++));
        control.Call("visitor/chat", QStringLiteral("csesid=") + id);
        console->VisitorActions().AcceptChat(id);
        QElapsedTimer wait;
        wait.start();
        while (console->ChatWindows().Find(id) == nullptr && wait.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 50);
        auto* chat = qobject_cast<CChatDlg*>(console->ChatWindows().Find(id));
        if (chat == nullptr) break;  // the service is busy: the next round tries again
        chats.append(chat);
        visitors.append(id);
      }
    };

    // Every few seconds a visitor writes; every other time the operator answers.
    QTimer talk;
    int turn = 0;
    QObject::connect(&talk, &QTimer::timeout, [&] {
      if (chats.isEmpty()) return;
      const int i = int(QRandomGenerator::global()->bounded(chats.size()));
      control.Call("visitor/say", QStringLiteral("csesid=%1&text=line+%2+from+the+visitor+http://shop.example/%2+[:)]")
                                      .arg(visitors[i])
                                      .arg(turn));
      if (chats[i] && ++turn % 2 == 0) {
        chats[i]->EntryBox()->setPlainText(QStringLiteral("answer %1, see you soon").arg(turn));
        chats[i]->SendChatLine();
      }
    });

    QElapsedTimer clock;
    clock.start();
    auto report = [&](int minute) {
      long lines = 0;
      for (const auto& chat : chats)
        if (chat) lines += chat->Transcript()->document()->blockCount();
      // The heap's bytes in use and the widgets alive tell a leak from a
      // heap that only holds on to freed memory.
      std::printf(
          "minute %3d  VmRSS %7ld kB  heap in use %7zu kB  threads %3d  open files %3d  widgets %4lld  chats %2lld  "
          "transcript lines %6ld  failures %d\n",
          minute, StatusKb("VmRSS:"), mallinfo2().uordblks / 1024, Entries("/proc/self/task"), Entries("/proc/self/fd"),
          static_cast<long long>(QApplication::allWidgets().size()), static_cast<long long>(chats.size()), lines,
          engine.Failures());
      std::fflush(stdout);
    };

    topUp();
    report(0);
    talk.start(1500);
    QTimer minuteTimer;
    int minute = 0;
    QObject::connect(&minuteTimer, &QTimer::timeout, [&] {
      ++minute;
      topUp();
      report(minute);
      if (minute >= minutes) app.quit();
    });
    minuteTimer.start(60000);
    app.exec();

    talk.stop();
    console->Window().LogOut(false);
    console.reset();
  }
  CDesktopServices::Install(nullptr);
  service.terminate();
  if (!service.waitForFinished(5000)) service.kill();
  return 0;
}
