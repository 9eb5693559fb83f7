// talvero-pages: the console's server pages (transcripts, the control panel,
// chat histories, file transfers) in windows of a process of their own, so
// that the web engine, its graphics stack and its helper processes come and
// go with the pages instead of staying in the console for good.
#include "AppIdentity.h"
#include "LinkOpener.h"
#include "PageViewer.h"
#include "QtDesktopServices.h"
#include "StandardOptions.h"

#include <QApplication>

#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

int main(int argc, char* argv[]) {
  // The web engine starts late, from the server-page module, with the first
  // page. Linked into the program it would prepare itself before the
  // application object exists; loaded late it cannot, so this does it:
  // contexts shared with the engine, and OpenGL for its views (unless the
  // user chose a graphics backend).
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND")) qputenv("QSG_RHI_BACKEND", "opengl");
  if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  // A console that ended while a report was being written is no reason to die.
  std::signal(SIGPIPE, SIG_IGN);
  // Its pages end with the console, even one that crashed or was killed
  // and so never closed the channel in order: the kernel says so. A
  // console gone before this line was reached is found by its pid.
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (const QByteArray console = qgetenv("TALVERO_CONSOLE_PID"); !console.isEmpty() && console.toLongLong() != ::getppid())
    return 0;

  {
    // Help and version answer without a display.
    QCoreApplication commandLine(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TALVERO_VERSION));
    CStandardOptions cli(QStringLiteral(
        "The server pages of the Talvero console, in windows of their own. The console starts it\n"
        "and hands it pages on standard input; it ends a short while after its last page closed."));
    if (const int status = cli.Finish(cli.Parse(QCoreApplication::arguments())); status >= 0) return status;
  }

  QApplication app(argc, argv);
  // The console's windows to the desktop: its name (the window class its
  // launcher entry matches), launcher entry and icon.
  QCoreApplication::setApplicationName(QStringLiteral("Talvero"));
  QCoreApplication::setApplicationVersion(QStringLiteral(TALVERO_VERSION));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));
  QApplication::setWindowIcon(AppIcon());
  // Closing a page must not end the viewer before the console was told.
  QApplication::setQuitOnLastWindowClosed(false);

  // The pages' save dialogs and mail addresses go through the desktop
  // services, by the same rules as the console's.
  CQtDesktopServices desktop;
  CDesktopServices::Install(&desktop);
  CLinkOpener::SetOpener([](const QUrl& url) { return CDesktopServices::Get().OpenUrl(url); });
  CPageViewer viewer(STDIN_FILENO, stdout);
  const int status = app.exec();
  CDesktopServices::Install(nullptr);
  return status;
}
