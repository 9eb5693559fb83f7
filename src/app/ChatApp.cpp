#include "ChatApp.h"

#include "ChatManager.h"
#include "DesktopServices.h"
#include "EventSound.h"
#include "LinkOpener.h"
#include "LoginDlg.h"
#include "MainDlg.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "WebBrowserDlg.h"

#include <QCoreApplication>

#include <unistd.h>

void CChatApp::PrepareProcess() {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

CChatApp::Options CChatApp::ParseCommandLine(const QStringList& arguments) {
  Options options;
  options.service = qEnvironmentVariable("TALVERO_SERVICE").trimmed();
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (arg == QStringLiteral("--service")) {
      if (i + 1 >= arguments.size()) {
        options.error = QStringLiteral("--service needs HOST[:PORT]");
        return options;
      }
      options.service = arguments[++i].trimmed();
    } else if (arg.startsWith(QStringLiteral("--service="))) {
      options.service = arg.mid(10).trimmed();
    } else if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
      options.showHelp = true;
    } else if (arg == QStringLiteral("--version")) {
      options.showVersion = true;
    } else {
      options.error = QStringLiteral("unknown option: %1").arg(arg);
      return options;
    }
  }
  if (options.service.contains(u'/') || options.service.contains(u' '))
    options.error = QStringLiteral("--service takes HOST[:PORT], not an address: %1").arg(options.service);
  return options;
}

QString CChatApp::UsageText() {
  return QStringLiteral(
      "usage: talvero [--service HOST[:PORT]]\n"
      "\n"
      "  --service HOST[:PORT]  the chat service to log in to (default 127.0.0.1:8470,\n"
      "                         the stand-in service); also TALVERO_SERVICE\n"
      "  --version              print the version and exit\n"
      "  --help                 print this text and exit\n");
}

CChatApp::CChatApp(CChatManager& engine) : m_engine(engine) {}

bool CChatApp::InitInstance(const Options& options) {
  Prepare(options);
  RunLoginWindow();
  return false;
}

void CChatApp::Prepare(const Options& options) {
  if (!options.service.isEmpty()) m_engine.SetDefaultHost(options.service);
  m_engine.SetPageOpener(&CWebBrowserDlg::OpenPage);
  m_engine.SetFailureAlert([] { PlayEventSound(EVENT_CONNECTION_FAILURE); });
  // Links of the controls open through the desktop services, like every
  // other address the program opens.
  CLinkOpener::SetOpener([](const QUrl& url) { return CDesktopServices::Get().OpenUrl(url); });
  // The installer used to create the program's key; without it preferences
  // and the remembered login would silently not be stored.
  CSettingsStore().CreateKey(CSettingsStore::kRootKey);
  LoadPreferences();
}

void CChatApp::RunLoginWindow() {
  CLoginDlg login(m_engine, [this] { RunConsole(); });
  login.DoModal();
}

void CChatApp::RunConsole() {
  CMainDlg console(m_engine);
  console.DoModal();
}
