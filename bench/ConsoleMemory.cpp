// Resident memory of a whole console session, and its start-up time: the
// program starts the stand-in service in demo mode (a process of its own,
// not counted), then does what talvero does - shows the login window with
// its site page, logs in as the demo administrator, opens chat windows for
// visitors who ask for a chat - and reports the memory of itself and every
// process it started (the page viewer and the web engine's helpers), without
// the service:
//   after login, with a server page open, ten seconds after that page was
//   closed again (and whether the viewer is still running), and with the
//   chat windows open.
// Figures are RSS (pages counted once per process) and PSS (shared pages
// split between the processes that map them), in MB, one "name value" a line.
// With --idle S it also reports the share of one core the console used in S
// seconds of polling with the chat windows open (--no-demo: against a service
// where nothing happens).
//   measure_console_memory [--chats N] [--settle MS] [--idle S] [--no-demo]
#include "ChatApp.h"
#include "ChatManager.h"
#include "ChatWindows.h"
#include "ConsoleController.h"
#include "HttpTransport.h"
#include "LoginDlg.h"
#include "MainDlg.h"
#include "QtDesktopServices.h"
#include "SiteVisitor.h"
#include "VisitorTableModel.h"
#include "PageViewerClient.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Milliseconds since this process was started by the system.
double MsSinceProcessStart() {
  QFile stat(QStringLiteral("/proc/self/stat"));
  QFile uptime(QStringLiteral("/proc/uptime"));
  if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly)) return -1;
  const QByteArray s = stat.readAll();
  // Fields after the command's closing parenthesis; starttime is field 22.
  const QList<QByteArray> f = s.mid(s.lastIndexOf(')') + 2).split(' ');
  const double startTicks = f.value(19).toDouble();
  const double up = uptime.readAll().split(' ').value(0).toDouble();
  return (up - startTicks / double(::sysconf(_SC_CLK_TCK))) * 1000.0;
}

QList<int> ChildrenOf(int pid) {
  QList<int> children;
  for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    bool isPid = false;
    const int other = entry.toInt(&isPid);
    if (!isPid) continue;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(other));
    if (!stat.open(QIODevice::ReadOnly)) continue;
    const QByteArray s = stat.readAll();
    const QList<QByteArray> f = s.mid(s.lastIndexOf(')') + 2).split(' ');
    if (f.value(1).toInt() == pid) children.append(other);
  }
  return children;
}

// kB of one "Name:" line of a /proc file.
double ProcKb(const QString& file, const QByteArray& name) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith(name)) return line.mid(name.size()).trimmed().split(' ').value(0).toDouble();
  return 0;
}

struct Memory {
  double rssMb = 0, pssMb = 0;
  double consoleRssMb = 0;  // this process alone
  int processes = 0;
  QStringList each;  // "command:RSS" of every process counted
};

// This process and all its descendants but the service's.
Memory MeasureTree(qint64 excludedPid) {
  Memory m;
  QList<int> unvisited{int(::getpid())};
  while (!unvisited.isEmpty()) {
    const int pid = unvisited.takeFirst();
    if (pid == excludedPid) continue;
    ++m.processes;
    const double rss = ProcKb(QStringLiteral("/proc/%1/status").arg(pid), "VmRSS:") / 1024.0;
    // The web engine's helpers by their --type (zygote, renderer, ...).
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    cmdline.open(QIODevice::ReadOnly);
    QString kind = pid == ::getpid() ? QStringLiteral("console") : QStringLiteral("child");
    for (const QByteArray& arg : cmdline.readAll().split('\0'))
      if (arg.startsWith("--type=")) kind = QString::fromUtf8(arg.mid(7));
    m.each.append(QStringLiteral("%1:%2").arg(kind).arg(rss, 0, 'f', 1));
    if (qEnvironmentVariableIsSet("MEASURE_SMAPS_PREFIX") && pid == ::getpid()) {
      QFile in(QStringLiteral("/proc/self/smaps")), out(qEnvironmentVariable("MEASURE_SMAPS_PREFIX") + QString::number(int(rss)));
      if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly)) out.write(in.readAll());
    }
    m.rssMb += rss;
    if (pid == ::getpid()) m.consoleRssMb = rss;
    m.pssMb += ProcKb(QStringLiteral("/proc/%1/smaps_rollup").arg(pid), "Pss:") / 1024.0;
    unvisited.append(ChildrenOf(pid));
  }
  return m;
}

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeoutMs) return false;
    QEventLoop loop;
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

void Settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

void Report(const char* name, const Memory& m) {
  std::printf("%s_rss_mb %.1f\n%s_pss_mb %.1f\n%s_console_rss_mb %.1f\n%s_processes %d\n", name, m.rssMb, name, m.pssMb,
              name, m.consoleRssMb, name, m.processes);
  std::printf("%s_each %s\n", name, qPrintable(m.each.join(u' ')));
  std::fflush(stdout);
}


// CPU seconds this process has used, all its threads together.
double CpuSeconds() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int Fail(const char* what) {
  std::fprintf(stderr, "console-memory: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Settings of its own, so that no remembered login or sound of the user's
  // plays a part.
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
  qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
  // The server-page module of this build, unless told otherwise.
  if (qEnvironmentVariableIsEmpty("TALVERO_MODULE_DIR")) qputenv("TALVERO_MODULE_DIR", TALVERO_BUILD_DIR);
  QApplication qtApp(argc, argv);
  int chats = 10, settleMs = 8000, idleSeconds = 0;
  bool demo = true;
  const QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    int* number = a == QStringLiteral("--chats")    ? &chats
                  : a == QStringLiteral("--settle") ? &settleMs
                  : a == QStringLiteral("--idle")   ? &idleSeconds
                                                    : nullptr;
    bool ok = false;
    if (number && i + 1 < args.size()) *number = args[++i].toInt(&ok);
    if (a == QStringLiteral("--no-demo")) demo = false;
    else if (!ok || *number < 0) return Fail("usage: measure_console_memory [--chats N] [--settle MS] [--idle S] [--no-demo]");
  }

  QProcess service;
  QStringList serviceArgs{QStringLiteral("--port"), QStringLiteral("0")};
  if (demo) serviceArgs.prepend(QStringLiteral("--demo"));
  service.start(QStringLiteral(TALVERO_SERVICE_BINARY), serviceArgs);
  if (!service.waitForStarted(10000) || !service.waitForReadyRead(10000)) return Fail("the service did not start");
  const QString host = QStringLiteral("127.0.0.1:") + QString::fromLatin1(service.readLine().trimmed());

  CQtDesktopServices desktop;
  CDesktopServices::Install(&desktop);
  int status = 0;
  {
    CChatManager engine;
    CChatApp app(engine);
    CChatApp::Options options;
    options.service = host;
    // What talvero does before its login window, without running it.
    engine.SetDefaultHost(host);
    CPageViewerClient pages(QStringLiteral(TALVERO_BUILD_DIR "/talvero-pages"));
    engine.SetPageOpener(
        [&pages](const QUrl& address, bool smallWindow, bool quietly, const QRect& beside) {
          pages.OpenPage(address, smallWindow, quietly, beside);
        });
    int pagesShown = 0;
    QObject::connect(&pages, &CPageViewerClient::PageReported, [&pagesShown](const QString& what, int) {
      if (what == QStringLiteral("shown")) ++pagesShown;
    });

    CLoginDlg* login = nullptr;
    auto console = [&] {
      CConsoleSession session(engine);
      CConsoleController controller(session);
      CMainDlg& dlg = controller.Window();
      dlg.show();
      dlg.OnInitDialog();
      Settle(settleMs);
      Report("after_login", MeasureTree(service.processId()));

      // A server page right after login, so that its figures compare with
      // the login's: the page open, and ten seconds after it closed.
      engine.OpenServerPage(engine.Catalogue().TranscriptsPage());
      if (!WaitFor([&] { return pagesShown > 0; }, 15000)) status = Fail("no server page window");
      Settle(settleMs);
      Report("page_open", MeasureTree(service.processId()));
      // The page closes; the viewer then ends by itself a short while later.
      pages.CloseAll();
      Settle(std::max(settleMs, 10000));
      std::printf("viewer_left %d\n", pages.IsViewerRunning() ? 1 : 0);
      Report("page_closed", MeasureTree(service.processId()));

      auto control = [&](const QString& target) {
        CHttpTransport::Options o;
        return QString::fromUtf8(CHttpTransport::Get(host, false, target, o).body).trimmed();
      };
      QStringList ids;
      for (int i = 0; i < chats; ++i) {
        const QString id = control(QStringLiteral("/control/visitor/add?name=Guest%1").arg(i));
        control(QStringLiteral("/control/visitor/chat?csesid=") + id);
        ids.append(id);
      }
      for (const QString& id : ids) {
        auto row = [&] {
          const QList<CSiteVisitor>& rows = dlg.Session().Visitors().Visitors();
          for (int r = 0; r < rows.size(); ++r)
            if (rows[r].m_line.sessionId == id && rows[r].m_line.status == QStringLiteral("Chat Request")) return r;
          return -1;
        };
        if (!WaitFor([&] { return row() >= 0; }, 30000)) {
          status = Fail("a visitor's chat request did not show");
          break;
        }
        const int before = controller.ChatWindows().Count();
        dlg.findChild<QTableView*>(QStringLiteral("visitorTable"))->selectRow(row());
        dlg.OnAccept();
        if (!WaitFor([&] { return controller.ChatWindows().Count() > before; }, 15000)) {
          status = Fail("a chat window did not open");
          break;
        }
      }
      Settle(settleMs);
      Report("chats_open", MeasureTree(service.processId()));
      std::printf("chat_windows %d\n", controller.ChatWindows().Count());
      if (idleSeconds > 0) {
        const double before = CpuSeconds();
        QElapsedTimer wall;
        wall.start();
        Settle(idleSeconds * 1000);
        std::printf("idle_cpu_percent %.2f\n", 100.0 * (CpuSeconds() - before) / (double(wall.elapsed()) / 1000.0));
        std::fflush(stdout);
      }

      controller.ChatWindows().CloseAll();
      dlg.hide();
    };

    CLoginDlg dlg(engine, console);
    login = &dlg;
    // Start-up: from the process's start to the login window on screen
    // and ready for typing.
    QTimer::singleShot(0, login, [&] {
      if (!WaitFor([&] { return login->isVisible() && login->windowHandle() && login->windowHandle()->isExposed(); },
                   30000)) {
        status = Fail("the login window did not show");
        login->reject();
        return;
      }
      std::printf("startup_ms %.0f\n", MsSinceProcessStart());
      Settle(settleMs);
      Report("login_window", MeasureTree(service.processId()));
      login->SiteIdEdit()->setText(QStringLiteral("1001"));
      login->LoginIdEdit()->setText(QStringLiteral("demo"));
      login->PasswordEdit()->setText(QStringLiteral("demo"));
      login->OnLogin();  // the exchange runs on the engine's workers
      WaitFor([&] { return !login->IsConnecting(); }, 90000);
      if (login->isVisible()) login->reject();
    });
    login->DoModal();
    engine.SetClosing();
  }
  CDesktopServices::Install(nullptr);
  service.terminate();
  service.waitForFinished(5000);
  return status;
}
