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
// whose password the settings file holds logs in while the window is being
// set up, so that it never shows; one whose password is in the keyring
// shows the window, filled, while the keyring is asked, and logs in when it
// answers. The operator may stop waiting and type the password instead.
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
  QCheckBox* RememberBox() const { return m_pRememberBox; }
  QCheckBox* SecureBox() const { return m_pSecureBox; }
  FooButton* LoginButton() const { return m_pLoginButton; }
  CSitePageView* Browser() const { return m_pBrowser; }
  FooButton* StopWaitingButton() const { return m_pStopWaiting; }
  QLabel* StatusLabel() const { return m_pStatus; }
  bool IsEnded() const { return m_bEnded; }
  bool IsWaitingForKeyring() const { return m_bWaitingForKeyring; }

  // The service's web site, where its pages are.
  QString WebSiteAddress() const;

 public slots:
  void OnLogin();
  void OnSignup();
  void OnContact();
  void OnForgotPassword();
  void OnAbout();
  // Stops waiting for the keyring: the operator types the password.
  void OnStopWaiting();

 protected:
  bool OnInitDialog();
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void LogIn();
  void SaveLogin();
  bool LoadSavedLogin();
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
  // The remembered login when its password was read from the settings
  // file: a successful login with it moves the password to the keyring.
  QStringList m_rememberedInData;  // login id, site id, password
};
