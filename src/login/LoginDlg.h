#pragma once

#include "SavedCredentials.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class CChatManager;
class FooButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class CSitePageView;

// The first window of the program: site id, login id and password, the
// remember and secure options, and a page of the service's web site (in a
// light view: the web engine is not started for it). A
// successful login hands the session to the console, which runs inside the
// login handling; when it ends, so does this window. A remembered login
// whose password the settings file holds starts logging in while the window
// is being set up; one whose password is in the keyring shows the window,
// filled, while the keyring is asked, and logs in when it answers. The
// operator may stop waiting and type the password instead.
//
// The login exchange (parameters, then login) never blocks the window: it
// runs on the engine's workers while the window, shown, says it is
// connecting and offers Cancel (and Escape), like the keyring wait. The
// secure box shows the remembered choice and changes only by the
// operator's hand.
class CLoginDlg : public QDialog {
  Q_OBJECT

 public:
  // Runs the console for the session the login has just filled in the engine.
  using ConsoleRunner = std::function<void()>;

  CLoginDlg(CChatManager& engine, ConsoleRunner runConsole, QWidget* parent = nullptr);

  // Sets the window up (logging in at once with a remembered login) and runs
  // it modally unless that login already ended it.
  int DoModal();

  QLineEdit* SiteIdEdit() const { return m_pSiteId; }
  QLineEdit* LoginIdEdit() const { return m_pLoginId; }
  QLineEdit* PasswordEdit() const { return m_pPassword; }
  CSitePageView* Browser() const { return m_pBrowser; }
  bool IsEnded() const { return m_bEnded; }
  bool IsWaitingForKeyring() const { return m_bWaitingForKeyring; }
  // A login exchange is under way (Cancel ends it).
  bool IsConnecting() const { return m_pAttempt != nullptr; }

  // The service's web site, where its pages are: https while "Secure
  // connection" is ticked.
  QString WebSiteAddress() const;

 public slots:
  void OnLogin();
  void OnSignup();
  void OnContact();
  void OnForgotPassword();
  void OnAbout();
  // Stops waiting for the keyring (the operator types the password) or
  // for the service (the operator may log in again).
  void OnStopWaiting();

 protected:
  bool OnInitDialog();
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Starts the login exchange with the members' values.
  void LogIn();
  // The service's news in the window's site page.
  void LoadNewsPage();
  // The steps of the exchange, each run from the window's own loop; a step
  // of an attempt that is no longer the current one does nothing.
  void OnParameters(int attempt, bool bParametersLoaded, const QString& newVersion);
  void OnLoginReply(int attempt, bool bParametersLoaded, const QString& reply);
  // Ends the current attempt: its replies are delivered no more.
  void EndAttempt(const QString& status);
  // The Cancel button and the status line while something is waited for.
  void ShowWaiting(const QString& status, const QString& cancelTip);
  void SaveLogin();
  // Whether the password may be kept in the settings file where the desktop
  // has no keyring: the operator is asked the first time.
  bool MayKeepPasswordReversible();
  bool LoadSavedLogin();
  // Without a remembered login: the ids of the last login, to type only the password.
  void ShowLastIds();
  // The remembered login in the members and the fields.
  void ShowLogin(const Credentials& login);
  void OnKeyringAnswer(const CSavedCredentials::Loaded& loaded);
  void EndKeyringWait(const QString& status);
  void EndDialog(int result);
  void OpenSitePage(const QString& address);

  CChatManager& m_engine;
  ConsoleRunner m_runConsole;
  CSitePageView* m_pBrowser;
  QCheckBox* m_pSecureBox;
  QCheckBox* m_pRememberBox;
  FooButton* m_pLoginButton;
  FooButton* m_pStopWaiting;
  QLabel* m_pStatus;
  QLineEdit* m_pSiteId;
  QLineEdit* m_pLoginId;
  QLineEdit* m_pPassword;
  QString m_strLoginId;
  QString m_strPassword;
  QString m_strSiteId;
  bool m_bSecure = false;
  bool m_bEnded = false;
  bool m_bWaitingForKeyring = false;
  // The context of the current login exchange's requests (deleted when it
  // ends, so that late replies reach nothing), and its number.
  QObject* m_pAttempt = nullptr;
  int m_nAttempt = 0;
  // The remembered login when its password was read from the settings
  // file: a successful login with it moves the password to the keyring.
  QStringList m_rememberedInData;  // login id, site id, password
};
