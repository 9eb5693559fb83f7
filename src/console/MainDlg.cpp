#include "MainDlg.h"

#include "ChatDlg.h"
#include "ChatManager.h"
#include "OpenChatsQuestion.h"
#include "ConsoleTable.h"
#include "ConsoleTray.h"
#include "OutsideText.h"
#include "DesktopServices.h"
#include "FooButton.h"
#include "OperatorBox.h"
#include "OperatorList.h"
#include "Presence.h"
#include "Preferences.h"
#include "RefreshCycle.h"
#include "ResourceIds.h"
#include "Shortcuts.h"
#include "StringTable.h"
#include "VisitorInfo.h"
#include "VisitorPanel.h"
#include "VisitorTableModel.h"
#include "WindowLoop.h"
#include "WindowPlacement.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>

namespace {

const QString kConnectionAlert = QStringLiteral("ALERT : Internet Connection is not available.");

}  // namespace

const QString CMainDlg::kPlacementName = QStringLiteral("Console");

CMainDlg::CMainDlg(CConsoleSession& session, QWidget* parent)
    : QDialog(parent),
      m_session(session),
      m_engine(session.Engine()),
      m_pVisitorInfo(new CVisitorInfo(m_engine, this)) {
  m_ui.Build(this);
  m_pTable = new CConsoleTable(session, m_ui.table, this);
  m_pTray = new CConsoleTray(this, [this] { RestoreConsole(); }, [this](bool bForget) { LogOut(bForget); });
  m_pPanel = new CVisitorPanel(session, *m_pVisitorInfo, m_ui, this,
                               [this](const CSiteVisitor** visitor) { return SelectedVisitor(visitor); });
  connect(m_ui.ViewDetailsButton(), &FooButton::clicked, this, &CMainDlg::OnViewDetails);
  connect(m_ui.FootPrintsButton(), &FooButton::clicked, this, &CMainDlg::OnFootPrints);
  connect(&session, &CConsoleSession::Refreshed, this, &CMainDlg::OnRefreshed);
  connect(&session, &CConsoleSession::ConnectionLost, this, [this] { m_ui.statusLine->setText(kConnectionAlert); });
  connect(&session, &CConsoleSession::ConnectionBack, m_ui.statusLine, &QLabel::clear);
  connect(&session, &CConsoleSession::TableStale, this, [this](qint64 tableAgeMs) {
    const QString age = QStringLiteral("No answer: the table is %1 s old.").arg(tableAgeMs / 1000);
    m_ui.statusLine->setText(m_session.IsConnectionAlert() ? kConnectionAlert + u' ' + age : age);
  });
  connect(&session, &CConsoleSession::SessionEnded, this, &CMainDlg::OnSessionEnded);
  connect(&session, &CConsoleSession::ViewChanged, this, &CMainDlg::FollowView);
  connect(&session.Presence(), &CPresence::Confirmed, this,
          [this](bool bOnline) { (bOnline ? m_ui.online : m_ui.offline)->setChecked(true); });
  connect(&CPreferences::Instance(), &CPreferences::AlwaysOnTopChanged, this, &CMainDlg::KeepOnTop);
  connect(m_ui.online, &QRadioButton::clicked, this, &CMainDlg::OnOnline);
  connect(m_ui.offline, &QRadioButton::clicked, this, &CMainDlg::OnOffline);
  connect(m_ui.logOut, &FooButton::clicked, this, &CMainDlg::OnLogOutButton);
  const struct {
    FooButton* button;
    void (CMainDlg::*command)();
  } commands[] = {{m_ui.AcceptButton(), &CMainDlg::OnAccept},         {m_ui.BusyButton(), &CMainDlg::OnBusy},
                  {m_ui.InviteButton(), &CMainDlg::OnInvite},         {m_ui.DeleteButton(), &CMainDlg::OnDelete},
                  {m_ui.JoinButton(), &CMainDlg::OnJoin},             {m_ui.BlockIpButton(), &CMainDlg::OnBlockIp},
                  {m_ui.sendPop, &CMainDlg::OnSendPop},            {m_ui.sendMessage, &CMainDlg::OnSendMessage},
                  {m_ui.PreferencesButton(), &CMainDlg::OnPreferences}, {m_ui.ViewMessageButton(), &CMainDlg::OnViewMessage},
                  {m_ui.controlPanel, &CMainDlg::OnControlPanel},
                  {m_ui.TranscriptsButton(), &CMainDlg::OnTranscripts}, {m_ui.operatorLogOut, &CMainDlg::OnOperatorLogOut}};
  for (const auto& c : commands) connect(c.button, &FooButton::clicked, this, c.command);
  // The keys the operator gave the console's commands (none by default).
  CShortcuts::Instance().AddButtonKey(this, QStringLiteral("Accept"), m_ui.AcceptButton());
  CShortcuts::Instance().AddButtonKey(this, QStringLiteral("Preferences"), m_ui.PreferencesButton());
  // Enter in the message box sends it, as in a chat's entry box.
  connect(m_ui.message, &QLineEdit::returnPressed, this, &CMainDlg::OnSendMessage);
  connect(m_pTable, &CConsoleTable::SelectionMoved, this, &CMainDlg::FollowSelection);
  connect(m_pTable, &CConsoleTable::ClickedSelected, this, &CMainDlg::OnListClick);
  connect(m_pTable, &CConsoleTable::ClickedOther, this, &CMainDlg::UpdateVisitorButtons);
  connect(m_pTable, &CConsoleTable::RightClicked, this, &CMainDlg::OnListRightClick);
  connect(m_pTable, &CConsoleTable::MenuKey, this, &CMainDlg::ShowRowMenuFromKeyboard);
  connect(m_pTable, &CConsoleTable::EnterPressed, this, &CMainDlg::OnEnter);
  connect(m_ui.table, &QTableView::doubleClicked, this, [this] {
    if (m_ui.AcceptButton()->isEnabled()) OnAccept();
  });
  connect(m_ui.tabAll, &FooButton::clicked, this, [this] { SwitchView(ViewMode::AllVisitors); });
  connect(m_ui.tabChats, &FooButton::clicked, this, [this] { SwitchView(ViewMode::ChatsOnly); });
  connect(m_ui.tabOperators, &FooButton::clicked, this, [this] { SwitchView(ViewMode::Operators); });
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::Attach(CVisitorActions& visitorActions, COperatorActions& operatorActions) {
  m_pVisitorActions = &visitorActions;
  m_pOperatorActions = &operatorActions;
}

void CMainDlg::ShowAway(int minutes) {
  m_strAwayNote = minutes == 1 ? QStringLiteral("Offline: no input for a minute.")
                               : QStringLiteral("Offline: no input for %1 minutes.").arg(minutes);
  m_ui.statusLine->setText(m_strAwayNote);
  m_ui.offline->setChecked(true);
}

void CMainDlg::ShowBack() { m_strAwayNote.clear(); }

int CMainDlg::DoModal() {
  OnInitDialog();
  // A large font makes the first size taller than a small screen: the
  // console then starts as large as the work area leaves room for, its
  // table shorter.
  resize(size().boundedTo(CWindowPlacement::RoomOnScreen(this)).expandedTo(minimumSize()));
  return CWindowLoop::RunUntilFinished(this);
}

bool CMainDlg::OnInitDialog() {
  const CSession& account = m_session.Account();
  m_ui.siteUrl->setText(DisplayedField(account.siteAddress));
  m_ui.account->setText(DisplayedField(account.loginId) + QStringLiteral(" (") + DisplayedField(account.siteId) +
                        QStringLiteral(") "));
  CWindowPlacement::Restore(this, kPlacementName);
  m_pTable->ShowVisitors();
  m_ui.padlock->setVisible(account.secure);
  m_session.Start();
  m_pTray->Show();
  KeepOnTop(IsAlwaysOnTop());
  m_ui.LayOutBottomButtons();
  m_ui.controlPanel->setEnabled(account.admin);
  m_ui.ShowView(Mode());
  // The table takes the keyboard: arrows pick a visitor, Enter accepts.
  m_ui.table->setFocus();
  return true;
}

void CMainDlg::OnRefreshed(const RefreshReply& reply) {
  if (!m_session.IsConnectionAlert()) {
    QString status = CStringTable::Format(IDS_STATUS_TOTALS, {QString::number(reply.total), QString::number(reply.chatCount)});
    if (!m_strAwayNote.isEmpty()) status += QStringLiteral("             ") + m_strAwayNote;
    m_ui.statusLine->setText(status);
  }
  RefillOperatorBox(m_ui.operatorsBox, m_session.Operators().Entries(), m_session.Account().loginId);
  // The panel and the buttons follow the selection, back in place.
  FollowSelection();
  KeepWithinReach();
}

void CMainDlg::OnOnline() { m_session.Presence().ChooseOnline(); }

void CMainDlg::OnOffline() { m_session.Presence().ChooseOffline(); }

void CMainDlg::SwitchView(ViewMode mode) {
  m_ui.ShowView(mode);  // the tab pressed again shows as pressed
  m_session.SetView(mode);
}

void CMainDlg::FollowView(ViewMode mode) {
  m_ui.ShowView(mode);
  if (mode == ViewMode::Operators) {
    m_pTable->ShowOperators();
  } else {
    m_ui.operatorLogOut->setEnabled(false);
    m_pTable->ShowVisitors();
  }
  FollowSelection();
}

void CMainDlg::OnLogOutButton() { LogOut(true); }

// Chats still open are the operator's to end or keep, rather than left
// with their visitors waiting unasked; Cancel keeps the console.
void CMainDlg::LogOut(bool bForgetLogin) {
  if (m_session.IsEnded()) return;
  if (!SettleOpenChats(this, m_session.Chats(), CConsoleSession::kLogOutWaitMs)) return;
  m_ui.logOut->setEnabled(false);
  CWindowPlacement::Save(this, kPlacementName);
  m_session.End(bForgetLogin, false);
}

void CMainDlg::OnSessionEnded(bool bToldByServer) {
  m_ui.logOut->setEnabled(false);
  if (bToldByServer) CWindowPlacement::Save(this, kPlacementName);
  m_pTray->Remove();
  if (bToldByServer)
    CDesktopServices::Get().MessageBox(this, QStringLiteral("You have been logged out."), QStringLiteral("Logged Out"),
                                       CDesktopServices::Icon::Information);
  done(QDialog::Accepted);
}

void CMainDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  m_ui.FollowSize();
}

void CMainDlg::accept() {}

void CMainDlg::reject() { LogOut(false); }

void CMainDlg::keyPressEvent(QKeyEvent* event) {
  // Escape never closes the console, nor does Enter.
  if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}
