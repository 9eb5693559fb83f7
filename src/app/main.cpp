#include "AccessibleControls.h"
#include "AppIdentity.h"
#include "ChatApp.h"
#include "ChatManager.h"
#include "KeychainSecretStore.h"
#include "QtDesktopServices.h"
#include "SettingsStore.h"
#include "SingleInstance.h"
#include "WaylandSeat.h"

#include <QApplication>

#include <cstdio>

namespace {

void NameTheProgram() {
  QCoreApplication::setApplicationName(QStringLiteral("Talvero"));
  QCoreApplication::setApplicationVersion(QStringLiteral(TALVERO_VERSION));
}

}  // namespace

int main(int argc, char* argv[]) {
  {
    // Help and version answer before anything needs a display, so that they
    // work on a text console too; so does a mistake where no display is.
    QCoreApplication commandLine(argc, argv);
    NameTheProgram();
    CStandardOptions cli(CChatApp::Description());
    const CStandardOptions::Outcome outcome = CChatApp::ParseCommandLine(QCoreApplication::arguments(), cli).outcome;
    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (outcome == CStandardOptions::ShowHelp || outcome == CStandardOptions::ShowVersion ||
        (outcome == CStandardOptions::UsageError && noDisplay))
      return cli.Finish(outcome);
  }

  // Before Qt connects: a compositor without a seat would crash Qt's input
  // context at the first focused entry box.
  CWaylandSeat::AvoidSeatlessInputContext();

  // Qt takes its own options (-platform, -style, ...) out of the arguments;
  // what is left must be ours.
  QApplication qtApp(argc, argv);
  NameTheProgram();
  CStandardOptions cli(CChatApp::Description());
  const CChatApp::Options options = CChatApp::ParseCommandLine(QApplication::arguments(), cli);
  if (const int status = cli.Finish(options.outcome); status >= 0) return status;
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));
  QApplication::setWindowIcon(AppIcon());
  // Screen readers hear our own controls as what they are.
  AccessibleControls::Install();

  // One console per user and settings: a second start brings the first
  // forward instead of logging the same operator in twice.
  CSingleInstance instance(CSettingsStore::DefaultPath());
  if (instance.AskRunningToComeForward()) {
    std::fprintf(stderr, "talvero: already running with these settings; brought it to the front\n");
    return 0;
  }
  // A socket name taken by someone else never stops the start: it is said.
  const bool bListening = instance.Listen();
  if (!instance.Problem().isEmpty())
    std::fprintf(stderr, "talvero: %s%s\n", qPrintable(instance.Problem()),
                 bListening ? "" : "; starting without the one-console check");

  CQtDesktopServices desktop;
  CDesktopServices::Install(&desktop);
  // The remembered password goes to the desktop's keyring where it has one.
  CKeychainSecretStore secrets(QStringLiteral("Talvero"));
  CSecretStore::Install(&secrets);
  {
    CChatManager engine;
    CChatApp app(engine);
    QObject::connect(&instance, &CSingleInstance::ComeForward, [&app] { app.BringForward(); });
    app.InitInstance(options);
  }
  CSecretStore::Install(nullptr);
  CDesktopServices::Install(nullptr);
  return 0;
}
