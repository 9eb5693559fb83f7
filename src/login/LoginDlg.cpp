#include "LoginDlg.h"

#include "AboutDlg.h"
#include "AppIdentity.h"
#include "ChatManager.h"
#include "DesktopServices.h"
#include "WindowUnits.h"
#include "FooButton.h"
#include "ResourceArt.h"
#include "ResourceIds.h"
#include "SavedCredentials.h"
#include "Separators.h"
#include "SettingsStore.h"
#include "SitePageView.h"
#include "LoginReply.h"
#include "StringTable.h"
#include "ThemeColours.h"
#include "WindowLoop.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QShortcut>
#include <QTimer>

namespace {

FooButton* MakeButton(QWidget* parent, const QString& text, const QRect& du) {
  auto* button = new FooButton(text, parent);  // a push button, auto-default off
  button->setGeometry(CWindowUnits::Of(parent).Rect(du.x(), du.y(), du.width(), du.height()));
  // Owner-drawn buttons show no focus by default; the keyboard user needs it.
  button->SetFocusStyle(FooButton::FocusRectAndDefault);
  return button;
}

QLineEdit* MakeEdit(QWidget* parent, const QRect& du, const QString& name) {
  auto* edit = new QLineEdit(parent);
  edit->setGeometry(CWindowUnits::Of(parent).Rect(du.x(), du.y(), du.width(), du.height()));
  edit->setAccessibleName(name);
  return edit;
}

QCheckBox* MakeCheckBox(QWidget* parent, const QRect& du, const QString& name) {
  // The caption is part of the picture behind the box.
  auto* box = new QCheckBox(parent);
  box->setGeometry(CWindowUnits::Of(parent).Rect(du.x(), du.y(), du.width() + 2, du.height() + 2));
  box->setAccessibleName(name);
  box->setToolTip(name);
  return box;
}

// What the status line says when the keyring gave no password.
QString KeyringFailureText(CSecretStore::Status status) {
  switch (status) {
    case CSecretStore::Status::Unavailable:
      return QStringLiteral("There is no keyring: type the password and log in.");
    case CSecretStore::Status::Ok:  // an empty password
    case CSecretStore::Status::NotFound:
      return QStringLiteral("The keyring has no password for this login: type it and log in.");
    case CSecretStore::Status::Failed: break;
  }
  return QStringLiteral("The keyring did not give the password: type it and log in.");
}

// The site id and login id of the last login that went through, kept with or
// without "Remember me" (never the password), for the next start.
const QString kLastSiteId = QStringLiteral("LastSiteId");
const QString kLastLoginId = QStringLiteral("LastLoginId");

}  // namespace

CLoginDlg::CLoginDlg(CChatManager& engine, ConsoleRunner runConsole, QWidget* parent)
    : QDialog(parent), m_engine(engine), m_runConsole(std::move(runConsole)) {
  setWindowTitle(QStringLiteral("Talvero Executive Login:"));
  setWindowIcon(AppIcon());
  const CWindowUnits du = CWindowUnits::Of(this);
  setFixedSize(du.Size(404, 182));

  auto* picture = new QLabel(this);
  // On a dark palette the picture's light ground and dark captions take the
  // palette's colours, below the blue band (74 pixels of the 1x picture)
  // that reads on any palette.
  const QImage art = ResourceArt::Image(ResourceArt::BitmapPath(IDB_LOGIN_PICTURE));
  ThemeColours::FollowPalette(picture, [picture, art] {
    const QImage shown = ThemeColours::OnPalette(art, qRound(74 * art.devicePixelRatio()),
                                                 ThemeColours::InheritedPalette(picture));
    picture->setPixmap(QPixmap::fromImage(shown));
  });
  // Scaled with the window: the captions of the boxes are in the picture.
  picture->setScaledContents(true);
  picture->setGeometry(du.Rect(0, 0, 263, 182));
  m_pSiteId = MakeEdit(this, {146, 56, 89, 14}, QStringLiteral("Site ID"));
  m_pLoginId = MakeEdit(this, {146, 73, 89, 14}, QStringLiteral("Login ID"));
  m_pPassword = MakeEdit(this, {146, 90, 89, 14}, QStringLiteral("Password"));
  m_pPassword->setEchoMode(QLineEdit::Password);
  m_pRememberBox = MakeCheckBox(this, {146, 109, 9, 10}, QStringLiteral("Remember me"));
  m_pSecureBox = MakeCheckBox(this, {146, 120, 10, 10}, QStringLiteral("Secure connection"));
  m_pLoginButton = MakeButton(this, QStringLiteral("L&ogin"), {147, 140, 52, 14});
  m_pLoginButton->setDefault(true);
  m_pBrowser = new CSitePageView(m_engine, this);
  m_pBrowser->setGeometry(du.Rect(264, 1, 140, 181));
  m_pBrowser->setAccessibleName(QStringLiteral("News from the service"));
  FooButton* signup = MakeButton(this, QStringLiteral("&Signup"), {33, 164, 62, 14});
  FooButton* forgot = MakeButton(this, QStringLiteral("Forgot Password"), {102, 164, 62, 14});
  FooButton* contact = MakeButton(this, QStringLiteral("&Contact"), {171, 164, 62, 14});
  // Shown only while the keyring is asked for a remembered password, or
  // while the service is.
  m_pStopWaiting = MakeButton(this, QStringLiteral("C&ancel"), {203, 140, 52, 14});
  m_pStopWaiting->hide();
  m_pStatus = new QLabel(this);
  m_pStatus->setObjectName(QStringLiteral("status"));
  m_pStatus->setTextFormat(Qt::PlainText);
  m_pStatus->setWordWrap(true);
  m_pStatus->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_pStatus->setGeometry(du.Rect(8, 136, 134, 22));

  connect(m_pLoginButton, &FooButton::clicked, this, &CLoginDlg::OnLogin);
  connect(signup, &FooButton::clicked, this, &CLoginDlg::OnSignup);
  connect(contact, &FooButton::clicked, this, &CLoginDlg::OnContact);
  connect(forgot, &FooButton::clicked, this, &CLoginDlg::OnForgotPassword);
  connect(m_pStopWaiting, &FooButton::clicked, this, &CLoginDlg::OnStopWaiting);
  connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, &CLoginDlg::OnAbout);

  // Keyboard order: the fields, the options, Login (and Cancel), then the site pages.
  setTabOrder(m_pSiteId, m_pLoginId);
  setTabOrder(m_pLoginId, m_pPassword);
  setTabOrder(m_pPassword, m_pRememberBox);
  setTabOrder(m_pRememberBox, m_pSecureBox);
  setTabOrder(m_pSecureBox, m_pLoginButton);
  setTabOrder(m_pLoginButton, m_pStopWaiting);
  setTabOrder(m_pStopWaiting, signup);
  setTabOrder(signup, forgot);
  setTabOrder(forgot, contact);
}

QString CLoginDlg::WebSiteAddress() const {
  // The site's pages go the way the login goes: a secure login must not
  // send the operator to the same site in the clear.
  return (m_pSecureBox->isChecked() ? QStringLiteral("https://") : QStringLiteral("http://")) + m_engine.DefaultHost();
}

void CLoginDlg::LoadNewsPage() { m_pBrowser->Load(QUrl(WebSiteAddress() + QStringLiteral("/winapp.html"))); }

int CLoginDlg::DoModal() {
  OnInitDialog();
  if (m_bEnded) return result();
  return CWindowLoop::RunUntilFinished(this);
}

bool CLoginDlg::OnInitDialog() {
  m_bSecure = false;
  m_pSiteId->setFocus();
  // The remembered login sets "Secure connection", which the news page follows.
  const bool bRemembered = LoadSavedLogin();
  LoadNewsPage();
  connect(m_pSecureBox, &QCheckBox::toggled, this, &CLoginDlg::LoadNewsPage, Qt::UniqueConnection);
  if (bRemembered) {
    LogIn();
  } else if (!m_bWaitingForKeyring) {
    ShowLastIds();
  }
  return true;
}

void CLoginDlg::ShowLastIds() {
  const CSettingsStore store;
  m_pSiteId->setText(store.ReadText(CSettingsStore::kRootKey, kLastSiteId).value_or(QString()));
  m_pLoginId->setText(store.ReadText(CSettingsStore::kRootKey, kLastLoginId).value_or(QString()));
  // Only the password is left to type.
  if (!m_pSiteId->text().isEmpty() && !m_pLoginId->text().isEmpty()) m_pPassword->setFocus();
}

void CLoginDlg::contextMenuEvent(QContextMenuEvent* event) {
  // No system menu to extend here: the About box lives in the window's
  // own context menu (and on F1).
  QMenu menu(this);
  menu.addAction(CStringTable::Load(IDS_ABOUTBOX), this, &CLoginDlg::OnAbout);
  menu.exec(event->globalPos());
}

void CLoginDlg::keyPressEvent(QKeyEvent* event) {
  // While the keyring or the service is asked, Escape stops the wait;
  // otherwise it closes the window as ever.
  if ((m_bWaitingForKeyring || IsConnecting()) && event->matches(QKeySequence::Cancel)) {
    OnStopWaiting();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CLoginDlg::OnAbout() {
  CAboutDlg about(this);
  about.setWindowModality(Qt::WindowModal);  // never application-modal
  about.exec();
}

void CLoginDlg::OnLogin() {
  if (IsConnecting()) return;  // Enter while the button is disabled
  m_strSiteId = m_pSiteId->text();
  m_strLoginId = m_pLoginId->text();
  m_strPassword = m_pPassword->text();
  m_bSecure = m_pSecureBox->isChecked();
  if (!m_strSiteId.isEmpty() && !m_strLoginId.isEmpty() && !m_strPassword.isEmpty()) {
    // Typed by hand: a late answer of the keyring is not wanted any more.
    EndKeyringWait(QString());
    LogIn();
    return;
  }
  CDesktopServices::Get().MessageBox(this, CStringTable::Load(IDS_EMPTY_FIELDS), CStringTable::Load(IDS_PRODUCT_NAME),
                                     CDesktopServices::Icon::Error);
}

void CLoginDlg::LogIn() {
  // Waiting for the two requests froze the window for up to the engine's
  // time-out: they run on workers, and each step goes on from the
  // window's own loop (a delivery holds its worker, and the console's loop
  // runs inside the last step).
  EndAttempt(QString());
  const int attempt = ++m_nAttempt;
  m_pAttempt = new QObject(this);
  m_pLoginButton->setEnabled(false);
  ShowWaiting(QStringLiteral("Connecting to the service..."), QStringLiteral("Stop connecting (Esc)"));
  // When the parameters cannot be loaded the engine has told the operator
  // already, and the login is tried with the defaults.
  m_engine.LoadServerParameters(m_strSiteId, m_bSecure, m_pAttempt,
                                [this, attempt](bool bLoaded, const QString& newVersion) {
                                  QTimer::singleShot(0, this, [this, attempt, bLoaded, newVersion] {
                                    OnParameters(attempt, bLoaded, newVersion);
                                  });
                                });
}

void CLoginDlg::OnParameters(int attempt, bool bParametersLoaded, const QString& newVersion) {
  if (attempt != m_nAttempt) return;
  CDesktopServices& desktop = CDesktopServices::Get();
  if (!newVersion.isEmpty()) {
    const CDesktopServices::Answer answer = desktop.MessageBox(
        this, newVersion, QStringLiteral("New Version"), CDesktopServices::Icon::Question, CDesktopServices::Buttons::YesNo);
    if (attempt != m_nAttempt) return;  // cancelled while the question was open
    if (answer == CDesktopServices::Answer::Yes) {
      EndAttempt(QString());
      desktop.OpenUrl(QUrl(WebSiteAddress() + u'/'));
      m_pBrowser->Clear();
      EndDialog(QDialog::Accepted);
      return;
    }
  }
  m_engine.RequestAsync(Requests::Login(m_strLoginId, m_strSiteId, m_strPassword), m_pAttempt,
                        [this, attempt, bParametersLoaded](const QString& reply) {
                          QTimer::singleShot(0, this, [this, attempt, bParametersLoaded, reply] {
                            OnLoginReply(attempt, bParametersLoaded, reply);
                          });
                        });
}

void CLoginDlg::OnLoginReply(int attempt, bool bParametersLoaded, const QString& reply) {
  if (attempt != m_nAttempt) return;
  EndAttempt(QString());
  CDesktopServices& desktop = CDesktopServices::Get();
  if (reply == kDisconnect) {
    // Without the parameters the operator has been told about the
    // connection already; otherwise the service's address answered the
    // parameters and not the login, and the operator must learn why.
    if (bParametersLoaded)
      desktop.MessageBox(this,
                         QStringLiteral("Login failed: the service at %1 did not answer (%2).")
                             .arg(m_engine.Host() + m_engine.Prefix(), m_engine.LastFailure()),
                         CStringTable::Load(IDS_PRODUCT_NAME), CDesktopServices::Icon::Error);
    m_pLoginButton->setEnabled(true);
    return;
  }
  const LoginReply login = LoginReply::Parse(reply);
  const QString& result = login.result;
  CSession& session = m_engine.Session();
  if (login.wellFormed) session.admin = login.admin;
  if (login.IsAccepted()) {
    // A remembered login whose password sat in the settings file is saved
    // again, which puts the password in the keyring where there is one.
    const bool bRememberedInData =
        !m_rememberedInData.isEmpty() && m_rememberedInData == QStringList({m_strLoginId, m_strSiteId, m_strPassword});
    if (m_pRememberBox->isChecked() || bRememberedInData) SaveLogin();
    CSavedCredentials::WriteSecureIfKeyExists(m_bSecure);
    CSettingsStore store;
    store.WriteText(CSettingsStore::kRootKey, kLastSiteId, m_strSiteId);
    store.WriteText(CSettingsStore::kRootKey, kLastLoginId, m_strLoginId);
    m_pBrowser->Clear();
    EndDialog(QDialog::Accepted);
    session.loginId = m_strLoginId;
    session.siteId = m_strSiteId;
    session.siteAddress = login.siteAddress;
    m_runConsole();
    return;
  }
  QString message;
  if (result == QStringLiteral("false"))
    message = QStringLiteral("Login Failure");
  else if (result == QStringLiteral("incorrect"))
    message = QStringLiteral("Incorrect Password");
  else if (result == QStringLiteral("already"))
    message = QStringLiteral("User is already logged in.");
  else
    message = QStringLiteral("There is some account setup problem. Please contact ") + WebSiteAddress();
  desktop.MessageBox(this, message, CStringTable::Load(IDS_PRODUCT_NAME), CDesktopServices::Icon::Exclamation);
  m_pLoginButton->setEnabled(true);
}

void CLoginDlg::SaveLogin() {
  // The saving may end after the keyring answers, and only then is there a
  // "Login" key to hold "Secure".
  QPointer<CLoginDlg> self(this);
  CSavedCredentials::Save(
      {m_strLoginId, m_strSiteId, m_strPassword}, [self] { return self && self->MayKeepPasswordReversible(); },
      [self, bSecure = m_bSecure](bool bStored, CSecretStore::Status keyring) {
        if (bStored) CSavedCredentials::WriteSecureIfKeyExists(bSecure);
        if (self && (keyring == CSecretStore::Status::Failed || keyring == CSecretStore::Status::NotFound))
          self->m_pStatus->setText(
              QStringLiteral("The keyring did not take the password: it is not kept on this computer."));
      });
}

bool CLoginDlg::MayKeepPasswordReversible() {
  if (const std::optional<bool> choice = CSavedCredentials::ReversibleChoice()) return *choice;
  // Asked once: the answer is kept for every later login.
  QWidget* owner = isVisible() ? this : QApplication::activeWindow();
  const bool bAllowed =
      CDesktopServices::Get().MessageBox(
          owner,
          QStringLiteral("This desktop has no keyring to keep your password in.\n\n"
                         "Talvero can keep it in its settings file instead, in a form that anyone who can read "
                         "that file can turn back into the password.\n\n"
                         "Keep the password there? (No: only the site and login ids are remembered.)"),
          CStringTable::Load(IDS_PRODUCT_NAME), CDesktopServices::Icon::Question,
          CDesktopServices::Buttons::YesNo) == CDesktopServices::Answer::Yes;
  CSavedCredentials::SetReversibleChoice(bAllowed);
  return bAllowed;
}

bool CLoginDlg::LoadSavedLogin() {
  const std::optional<Credentials> record = CSavedCredentials::Record();
  if (!record) return false;
  ShowLogin(*record);
  // The box shows the remembered choice (left unticked, the next press of
  // Login gave HTTPS up without a word).
  m_bSecure = CSavedCredentials::ReadSecure();
  m_pSecureBox->setChecked(m_bSecure);
  if (!m_strPassword.isEmpty()) {
    m_rememberedInData = QStringList({m_strLoginId, m_strSiteId, m_strPassword});
    return true;
  }
  // The keyring keeps the password and may take its time, or never answer:
  // the window shows meanwhile, and the operator may type the password.
  m_bWaitingForKeyring = true;
  ShowWaiting(QStringLiteral("Waiting for the keyring..."), QStringLiteral("Stop waiting for the keyring (Esc)"));
  m_pPassword->setFocus();
  QPointer<CLoginDlg> self(this);
  CSavedCredentials::Load([self](const CSavedCredentials::Loaded& loaded) {
    if (self) self->OnKeyringAnswer(loaded);
  });
  return false;
}

void CLoginDlg::ShowLogin(const Credentials& login) {
  m_strLoginId = login.loginId;
  m_strSiteId = login.siteId;
  m_strPassword = login.password;
  m_pLoginId->setText(m_strLoginId);
  m_pSiteId->setText(m_strSiteId);
  m_pPassword->setText(m_strPassword);
}

void CLoginDlg::OnKeyringAnswer(const CSavedCredentials::Loaded& loaded) {
  if (!m_bWaitingForKeyring) return;  // the operator stopped waiting
  if (!loaded.credentials) {
    EndKeyringWait(KeyringFailureText(loaded.keyring));
    m_pPassword->setFocus();
    return;
  }
  EndKeyringWait(QString());
  ShowLogin(*loaded.credentials);
  // As after a press of Login, no second login can start meanwhile. The
  // answer arrives inside the keyring's signal, and LogIn runs the
  // console's loop: it starts from the window's own loop instead. A window
  // closed by then logs in no more.
  // The box as it is now: ticked or unticked by hand meanwhile, that wins.
  m_pLoginButton->setEnabled(false);
  QTimer::singleShot(0, this, [this] {
    if (!isVisible() || m_bEnded) return;
    m_bSecure = m_pSecureBox->isChecked();
    LogIn();
  });
}

void CLoginDlg::OnStopWaiting() {
  if (IsConnecting()) {
    // The worker runs on to its time-out, but its reply reaches nothing.
    EndAttempt(QStringLiteral("Stopped connecting: log in again when you are ready."));
    m_pLoginButton->setEnabled(true);
    if (m_pStopWaiting->hasFocus() || !focusWidget()) m_pPassword->setFocus();
    return;
  }
  if (!m_bWaitingForKeyring) return;
  EndKeyringWait(QStringLiteral("Stopped waiting for the keyring: type the password and log in."));
  m_pPassword->setFocus();
}

void CLoginDlg::ShowWaiting(const QString& status, const QString& cancelTip) {
  m_pStatus->setText(status);
  m_pStopWaiting->setToolTip(cancelTip);
  m_pStopWaiting->show();
}

void CLoginDlg::EndAttempt(const QString& status) {
  if (m_pAttempt == nullptr) return;
  ++m_nAttempt;
  // The engine holds it only through a QPointer, also while one of its
  // deliveries runs (a failure box of the engine may be open then).
  delete m_pAttempt;
  m_pAttempt = nullptr;
  m_pStopWaiting->hide();
  m_pStatus->setText(status);
}

void CLoginDlg::EndKeyringWait(const QString& status) {
  m_bWaitingForKeyring = false;
  m_pStopWaiting->hide();
  m_pStatus->setText(status);
}

void CLoginDlg::EndDialog(int result) {
  m_bEnded = true;
  done(result);
}

void CLoginDlg::OpenSitePage(const QString& address) { CDesktopServices::Get().OpenUrl(QUrl(address)); }

void CLoginDlg::OnSignup() { OpenSitePage(QStringLiteral("https://") + m_engine.DefaultHost() + QStringLiteral("/order.php")); }

void CLoginDlg::OnContact() { OpenSitePage(WebSiteAddress() + QStringLiteral("/contactus.php")); }

void CLoginDlg::OnForgotPassword() { OpenSitePage(WebSiteAddress() + QStringLiteral("/forpass.php")); }
