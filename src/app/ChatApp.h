#pragma once

#include "StandardOptions.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class CChatArchive;
class CChatManager;
class CMainDlg;
class CPageViewerClient;
class QWidget;

// The application object: prepares the process, applies the command line,
// makes sure the settings key exists, and runs the login window, inside
// which the whole session runs. When that window closes the process ends.
class CChatApp {
 public:
  struct Options {
    QString service;  // HOST[:PORT] of the chat service, empty for the built-in one
    CStandardOptions::Outcome outcome = CStandardOptions::Run;
  };

  // --service HOST[:PORT] (or --service=HOST[:PORT]) wins over the
  // environment variable TALVERO_SERVICE; cli says what went wrong.
  static Options ParseCommandLine(const QStringList& arguments, CStandardOptions& cli);
  static QString Description();

  explicit CChatApp(CChatManager& engine);
  ~CChatApp();

  // The start-up operation: Prepare(), then the login window, modally.
  // Always returns false: once the login window has closed there is
  // nothing left to run.
  bool InitInstance(const Options& options);
  // Points the engine at the service, lets it open server pages and sound
  // its failure warning, makes sure the settings key exists and reads the
  // preferences.
  void Prepare(const Options& options);
  void RunLoginWindow();
  // Another start of the program asked for this one: the console (out of
  // the tray if need be) or the login window comes to the front.
  void BringForward();

 private:
  // The console of a logged-in session, run inside the login handling.
  void RunConsole();

  CChatManager& m_engine;
  // Server pages show in the page viewer, a process of its own.
  std::unique_ptr<CPageViewerClient> m_pPages;
  // The chats of every session of this run, opened with the first console.
  std::unique_ptr<CChatArchive> m_pArchive;
  QPointer<QWidget> m_pLogin;
  QPointer<CMainDlg> m_pConsole;
};
