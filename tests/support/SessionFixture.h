#pragma once

#include "ChatManager.h"
#include "RecordingDesktopServices.h"
#include "ScriptedServer.h"
#include "ServiceFixture.h"
#include "TestEnvironment.h"

#include <memory>

class CChatArchive;
class CConsoleController;
class CConsoleSession;
class CMainDlg;

// One session for a test: a temporary settings folder holding the
// program's key, the recording desktop services, an engine pointed at a
// server (a scripted one, or talvero-service in process), the session as a
// login fills it, and the console of that session. Members are torn down
// windows first, settings last.
class CSessionFixture {
 public:
  struct Login {
    QString loginId = QStringLiteral("anna");
    QString siteId = QStringLiteral("1001");
    bool admin = false;
    QString siteAddress = QStringLiteral("http://www.example-shop.com");
  };

  CSessionFixture();
  ~CSessionFixture();

  CTestSettingsFolder& Settings() { return *m_pSettings; }
  CRecordingDesktopServices& Desktop() { return *m_pDesktop; }
  CChatManager& Engine() { return *m_pEngine; }

  // Points the engine at a new scripted server, or at talvero-service.
  CScriptedServer& UseScriptedServer(CScriptedServer::Script script = {});
  CServiceFixture& UseService(CServiceConfig config = CServiceConfig::Demo(), CServiceServer::Options options = {});
  CScriptedServer& Server() { return *m_pScripted; }
  CServiceFixture& Service() { return *m_pService; }

  // Fills the engine's session as a successful login does.
  void LogIn(const Login& login);
  void LogIn() { LogIn(Login()); }
  // The session's console: made, shown and set up on the first call.
  CMainDlg& Console();
  // What the console is built of: the window, its rooms and chat hosts.
  CConsoleController& Controller();
  bool HasConsole() const { return m_pConsole != nullptr; }
  // The archive the console is made with (before the first Console() or
  // Controller()); it must outlive the console.
  void UseArchive(CChatArchive* archive) { m_pArchive = archive; }
  void DestroyConsole();

 private:
  std::unique_ptr<CTestSettingsFolder> m_pSettings;
  std::unique_ptr<CRecordingDesktopServices> m_pDesktop;
  std::unique_ptr<CScriptedServer> m_pScripted;
  std::unique_ptr<CServiceFixture> m_pService;
  std::unique_ptr<CChatManager> m_pEngine;
  std::unique_ptr<CConsoleSession> m_pConsoleSession;
  std::unique_ptr<CConsoleController> m_pConsole;
  CChatArchive* m_pArchive = nullptr;
};
