#include "SessionFixture.h"

#include "ConsoleController.h"
#include "MainDlg.h"
#include "SettingsStore.h"

CSessionFixture::CSessionFixture()
    : m_pSettings(std::make_unique<CTestSettingsFolder>()),
      m_pDesktop(std::make_unique<CRecordingDesktopServices>()),
      m_pEngine(std::make_unique<CChatManager>()) {
  CSettingsStore().CreateKey(CSettingsStore::kRootKey);
  m_pEngine->SetTimeouts(3000, 5000);
}

CSessionFixture::~CSessionFixture() {
  m_pConsole.reset();
  m_pConsoleSession.reset();
  m_pEngine.reset();
  m_pScripted.reset();
  m_pService.reset();
  m_pDesktop.reset();
  m_pSettings.reset();
}

CScriptedServer& CSessionFixture::UseScriptedServer(CScriptedServer::Script script) {
  m_pScripted = std::make_unique<CScriptedServer>(std::move(script));
  m_pEngine->SetDefaultHost(m_pScripted->Host());
  return *m_pScripted;
}

CServiceFixture& CSessionFixture::UseService(CServiceConfig config, CServiceServer::Options options) {
  m_pService = std::make_unique<CServiceFixture>(std::move(config), options);
  m_pEngine->SetDefaultHost(m_pService->Host());
  return *m_pService;
}

void CSessionFixture::LogIn(const Login& login) {
  CSession& session = m_pEngine->Session();
  session.loginId = login.loginId;
  session.siteId = login.siteId;
  session.admin = login.admin;
  session.siteAddress = login.siteAddress;
}

CMainDlg& CSessionFixture::Console() { return Controller().Window(); }

CConsoleController& CSessionFixture::Controller() {
  if (!m_pConsole) {
    m_pConsoleSession = std::make_unique<CConsoleSession>(*m_pEngine);
    m_pConsole = std::make_unique<CConsoleController>(*m_pConsoleSession, m_pArchive);
    m_pConsole->Window().show();
    m_pConsole->Window().OnInitDialog();
  }
  return *m_pConsole;
}

void CSessionFixture::DestroyConsole() {
  m_pConsole.reset();
  m_pConsoleSession.reset();
}
