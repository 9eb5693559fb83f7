#include "ChatApp.h"

#include "Alerts.h"
#include "AutoStart.h"
#include "ChatArchive.h"
#include "ChatManager.h"
#include "ConsoleController.h"
#include "ConsoleSession.h"
#include "DesktopServices.h"
#include "LinkOpener.h"
#include "LoginDlg.h"
#include "MainDlg.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "SystemEvents.h"
#include "PageViewerClient.h"
#include "WindowArrival.h"

#include <QGuiApplication>

#include <unistd.h>

#include <cstdio>

QString CChatApp::Description() {
  return QStringLiteral(
      "The console of a support operator of a live-chat service.\n"
      "The service is 127.0.0.1:8470 (the stand-in service) unless --service or\n"
      "the environment variable TALVERO_SERVICE names another.");
}

CChatApp::Options CChatApp::ParseCommandLine(const QStringList& arguments, CStandardOptions& cli) {
  const QCommandLineOption service(QStringLiteral("service"),
                                   QStringLiteral("The chat service to log in to (ports 80/443 unless given)."),
                                   QStringLiteral("HOST[:PORT]"));
  cli.Parser().addOption(service);
  Options options;
  options.outcome = cli.Parse(arguments);
  if (options.outcome != CStandardOptions::Run) return options;
  if (!cli.Parser().positionalArguments().isEmpty()) {
    options.outcome = cli.Fail(QStringLiteral("unexpected argument: %1").arg(cli.Parser().positionalArguments().first()));
    return options;
  }
  options.service = cli.Parser().isSet(service) ? cli.Parser().value(service).trimmed()
                                                 : qEnvironmentVariable("TALVERO_SERVICE").trimmed();
  if (options.service.contains(u'/') || options.service.contains(u' '))
    options.outcome = cli.Fail(QStringLiteral("--service takes HOST[:PORT], not an address: %1").arg(options.service));
  return options;
}

CChatApp::CChatApp(CChatManager& engine) : m_engine(engine), m_pPages(std::make_unique<CPageViewerClient>()) {}

CChatApp::~CChatApp() = default;

bool CChatApp::InitInstance(const Options& options) {
  Prepare(options);
  RunLoginWindow();
  return false;
}

void CChatApp::Prepare(const Options& options) {
  // The session ends only by logging out: the last chat window closing
  // while the console waits in the tray must not quit the program.
  QGuiApplication::setQuitOnLastWindowClosed(false);
  if (!options.service.isEmpty()) {
    m_engine.SetDefaultHost(options.service);
    // An automatic start goes to the same service, whether it was named on
    // the command line or in the environment the desktop may not have.
    CAutoStart::SetArguments({QStringLiteral("--service"), options.service});
  }
  m_engine.SetPageOpener([pages = m_pPages.get()](const QUrl& address, bool smallWindow, bool quietly,
                                                  const QRect& beside) {
    pages->OpenPage(address, smallWindow, quietly, beside);
  });
  m_engine.SetFailureAlert(&CAlerts::RequestFailed);
  // Links of the controls open through the desktop services, like every
  // other address the program opens.
  CLinkOpener::SetOpener([](const QUrl& url) { return CDesktopServices::Get().OpenUrl(url); });
  // The installer used to create the program's key; without it preferences
  // and the remembered login would silently not be stored.
  CSettingsStore store;
  store.CreateKey(CSettingsStore::kRootKey);
  // A file made readable by others (by hand, a copy, an old version) would
  // stay so until the next change of a setting.
  if (!store.RestrictAccess())
    std::fprintf(stderr, "talvero: cannot make %s readable by its owner only\n", qPrintable(store.FilePath()));
  LoadPreferences();
}

void CChatApp::RunLoginWindow() {
  CLoginDlg login(m_engine, [this] { RunConsole(); });
  m_pLogin = &login;
  login.DoModal();
}

void CChatApp::RunConsole() {
  CConsoleSession session(m_engine);
  CSystemEvents machine;
  session.Follow(machine);
  // The operator's retention period from the start: a default one would
  // remove chats he keeps for longer.
  if (!m_pArchive)
    m_pArchive = std::make_unique<CChatArchive>(CChatArchive::DefaultFilePath(), CPreferences::Instance().ArchiveDays());
  CConsoleController console(session, m_pArchive.get());
  m_pConsole = &console.Window();
  console.Window().DoModal();
  // The session's pages (its transcripts, its control panel) end with it.
  m_pPages->CloseAll();
}

void CChatApp::BringForward() {
  if (m_pConsole && !m_pConsole->Session().IsEnded())
    m_pConsole->RestoreConsole();
  else if (m_pLogin && m_pLogin->isVisible())
    CWindowArrival::ShowInFront(m_pLogin);
}
