#include "MainDlg.h"

#include "Alerts.h"
#include "ChatDlg.h"
#include "ChatManager.h"
#include "ChatWindows.h"
#include "OperatorActions.h"
#include "VisitorActions.h"
#include "DesktopServices.h"
#include "FooButton.h"
#include "OperatorBox.h"
#include "OperatorList.h"
#include "Preferences.h"
#include "RefreshCycle.h"
#include "RequestTypes.h"
#include "ResourceIds.h"
#include "SavedCredentials.h"
#include "StringTable.h"
#include "VisitorInfo.h"
#include "VisitorTableModel.h"
#include "WindowLoop.h"
#include "WindowPlacement.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QTableView>

namespace {

constexpr int kLogOutWaitMs = 5000;
const QString kConnectionAlert = QStringLiteral("ALERT : Internet Connection is not available.");

bool IsChatStatus(const VisitorLine& line) { return line.status.startsWith(QStringLiteral("Chat")); }

}  // namespace

const QString CMainDlg::kPlacementName = QStringLiteral("Console");

CMainDlg::CMainDlg(CChatManager& engine, QWidget* parent)
    : QDialog(parent),
      m_engine(engine),
      m_pRefresh(new CRefreshCycle(engine, this)),
      m_pOperators(new COperatorList(this)),
      m_pChatWindows(new CChatWindows(this)),
      m_pOperChatWindows(new CChatWindows(this)),
      m_pAlerts(new CAlerts(this)),
      m_pVisitorInfo(new CVisitorInfo(engine, this)) {
  BuildWindow();
  m_pVisitorActions = new CVisitorActions(
      engine, *this, *m_pChatWindows,
      [this](const QString& id) -> const CSiteVisitor* { return m_pVisitorModel->Find(id); }, this);
  m_pOperatorActions = new COperatorActions(engine, *m_pOperChatWindows, this);
  connect(m_pVisitorActions, &CVisitorActions::ChatTransferred, this,
          [this] { HandleSoundName(QStringLiteral("chat_tran_snd")); });
  connect(m_pVisitorInfo, &CVisitorInfo::DetailsArrived, this, &CMainDlg::OnDetailsArrived);
  connect(m_pVisitorInfo, &CVisitorInfo::FootPrintsArrived, this, &CMainDlg::OnFootPrintsArrived);
  connect(ViewDetailsButton(), &FooButton::clicked, this, &CMainDlg::OnViewDetails);
  connect(FootPrintsButton(), &FooButton::clicked, this, &CMainDlg::OnFootPrints);
  connect(m_pRefresh, &CRefreshCycle::Refreshed, this, &CMainDlg::OnRefreshed);
  connect(m_pRefresh, &CRefreshCycle::ConnectionAlertChanged, this, &CMainDlg::OnConnectionAlert);
  connect(m_pRefresh, &CRefreshCycle::Stalled, this, [this](qint64 tableAgeMs) {
    m_pStatusLine->setText(kConnectionAlert + QStringLiteral(" No answer: the table is %1 s old.").arg(tableAgeMs / 1000));
  });
  connect(m_pRefresh, &CRefreshCycle::LoggedOutByServer, this, [this] { EndSession(true, true); });
  connect(m_pAlerts, &CAlerts::AcceptVisitorChat, m_pVisitorActions, &CVisitorActions::AcceptChat);
  connect(m_pAlerts, &CAlerts::AcceptOperatorChat, m_pOperatorActions, &COperatorActions::AcceptChat);
  connect(m_pAlerts, &CAlerts::ChatRequestWhileHidden, this, [this] {
    if (m_mode == ViewMode::Operators && m_pAlerts->HasNewVisitorRequest()) SwitchView(ViewMode::AllVisitors);
  });
  connect(&CPreferences::Instance(), &CPreferences::AlwaysOnTopChanged, this, [this](bool bOn) {
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, bOn);
    if (shown) show();  // changing a window flag hides the window
  });
  connect(m_pOnline, &QRadioButton::clicked, this, &CMainDlg::OnOnline);
  connect(m_pOffline, &QRadioButton::clicked, this, &CMainDlg::OnOffline);
  connect(m_pLogOut, &FooButton::clicked, this, &CMainDlg::OnLogOutButton);
  const struct {
    FooButton* button;
    void (CMainDlg::*command)();
  } commands[] = {{AcceptButton(), &CMainDlg::OnAccept},         {BusyButton(), &CMainDlg::OnBusy},
                  {InviteButton(), &CMainDlg::OnInvite},         {DeleteButton(), &CMainDlg::OnDelete},
                  {JoinButton(), &CMainDlg::OnJoin},             {BlockIpButton(), &CMainDlg::OnBlockIp},
                  {m_pSendPop, &CMainDlg::OnSendPop},            {m_pSendMessage, &CMainDlg::OnSendMessage},
                  {m_bottomButtons[0], &CMainDlg::OnPreferences}, {m_bottomButtons[1], &CMainDlg::OnViewMessage},
                  {m_pControlPanel, &CMainDlg::OnControlPanel},
                  {m_bottomButtons[3], &CMainDlg::OnTranscripts}, {m_pOperatorLogOut, &CMainDlg::OnOperatorLogOut}};
  for (const auto& c : commands) connect(c.button, &FooButton::clicked, this, c.command);
  FollowSelectionModel();
  connect(m_pTable, &QTableView::doubleClicked, this, [this] {
    if (AcceptButton()->isEnabled()) OnAccept();
  });
  connect(m_pTabAll, &FooButton::clicked, this, [this] { SwitchView(ViewMode::AllVisitors); });
  connect(m_pTabChats, &FooButton::clicked, this, [this] { SwitchView(ViewMode::ChatsOnly); });
  connect(m_pTabOperators, &FooButton::clicked, this, [this] { SwitchView(ViewMode::Operators); });
}

CMainDlg::~CMainDlg() {
  // Chat windows are top-level and poll through the engine: a console
  // destroyed without a log-out must not leave them polling on.
  m_pChatWindows->CloseAll();
  m_pOperChatWindows->CloseAll();
}

const QList<CSiteVisitor>& CMainDlg::Visitors() const { return m_pVisitorModel->Visitors(); }

QStringList CMainDlg::OperatorTexts() const { return m_pOperators->Texts(); }

bool CMainDlg::IsConnectionAlert() const { return m_pRefresh->IsConnectionAlert(); }

bool CMainDlg::IsRefreshTimerActive() const { return m_pRefresh->IsActive(); }

int CMainDlg::DoModal() {
  OnInitDialog();
  return CWindowLoop::RunUntilFinished(this);
}

bool CMainDlg::OnInitDialog() {
  const CSession& session = m_engine.Session();
  m_pSiteUrl->setText(session.siteAddress);
  m_pSession->setText(session.loginId + QStringLiteral(" (") + session.siteId + QStringLiteral(") "));
  CWindowPlacement::Restore(this, kPlacementName);
  AnnounceOnline();
  InsertVisitorColumns();
  m_pPadlock->setVisible(session.secure);
  m_pRefresh->Start();
  SetTrayIcon(true);
  setWindowFlag(Qt::WindowStaysOnTopHint, IsAlwaysOnTop());
  LayOutBottomButtons();
  m_pControlPanel->setEnabled(session.admin);
  UpdateTabButtons();
  // The table takes the keyboard: arrows pick a visitor, Enter accepts.
  m_pTable->setFocus();
  return true;
}

void CMainDlg::RefreshVisitors() { m_pRefresh->RefreshNow(); }

void CMainDlg::ApplyRefreshReply(const QString& reply) {
  if (!m_bEnded) m_pRefresh->Apply(reply);
}

void CMainDlg::ApplyRefreshReply(const QString& reply, const RefreshReply& parsed) {
  if (!m_bEnded) m_pRefresh->Apply(reply, parsed);
}

void CMainDlg::HandleServerReply(int nType, const QString& strReply) {
  if (m_engine.IsClosing()) return;
  if (nType == REQ_STATUS) OnStatusReply(strReply);
}

int CMainDlg::SelectedRow() const {
  const QModelIndexList rows = m_pTable->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

CSiteVisitor CMainDlg::MakeVisitor(const VisitorLine& line) const {
  CSiteVisitor visitor(line);
  const auto cached = m_detailsCache.constFind(line.sessionId);
  if (cached != m_detailsCache.constEnd()) {
    visitor.m_pDetails = *cached;
    visitor.m_bDetailsLoaded = true;
  }
  return visitor;
}

void CMainDlg::OnConnectionAlert(bool bAlert) {
  if (bAlert)
    m_pStatusLine->setText(kConnectionAlert);
  else
    m_pStatusLine->clear();
}

void CMainDlg::OnRefreshed(const RefreshReply& reply) {
  if (m_bEnded) return;
  // Which requests are new, and the notices for them while the console is
  // hidden, before the request's sound brings it forward.
  m_pAlerts->ChatRequestsSeen(reply, m_bOnline);
  // The panel and the buttons follow the selection once the rows are in.
  const QScopedValueRollback<bool> applying(m_bApplyingRefresh, true);
  const bool alert = IsConnectionAlert();
  if (!alert) m_pStatusLine->setText(CStringTable::Load(IDS_STATUS_NO_TOTALS));
  // The operator selected in the Operators view stays selected by name.
  const OperatorEntry* selected = SelectedOperator();
  const QString selectedName = selected ? selected->name : QString();
  m_pOperators->SetEntries(reply.operators);
  if (m_mode == ViewMode::Operators) {
    const int row = selectedName.isEmpty() ? -1 : m_pOperators->Find(selectedName);
    if (row >= 0)
      m_pTable->selectRow(row);
    else
      m_pTable->clearSelection();
  }
  int chats = 0;
  bool backToVisitors = false;
  if (m_mode == ViewMode::Operators) {
    QList<CSiteVisitor> visitors;
    for (const CSiteVisitor& row : reply.rows) {
      const VisitorLine& line = row.m_line;
      // A chat request while the operator looks at the operators: back to
      // the visitors once this reply is applied; the next refresh fills them.
      // Once per new request: a click on Operators while it waits stays.
      if (line.status == QStringLiteral("Chat Request") && m_pAlerts->IsConsoleVisible() &&
          m_pAlerts->HasNewVisitorRequest())
        backToVisitors = true;
      visitors.append(MakeVisitor(line));
      if (IsChatStatus(line)) ++chats;
    }
    // The visitors are kept (not shown) for the commands that need them.
    m_pVisitorModel->SetVisitors(std::move(visitors));
  } else {
    ApplyVisitorLines(reply, chats);
  }

  if (!alert)
    m_pStatusLine->setText(CStringTable::Format(IDS_STATUS_TOTALS, {QString::number(reply.total), QString::number(chats)}));
  RefillOperatorsBox();
  m_bApplyingRefresh = false;
  FollowSelection();
  HandleSoundName(reply.sound);
  // Block 4: a chat handed to this operator, or messages waiting. A failed
  // refresh carries no notice and says nothing about one.
  if (reply.wellFormed && !m_pVisitorActions->HandleNotice(reply.notice) &&
      reply.notice.startsWith(QStringLiteral("message")))
    m_pOperatorActions->WaitingMessages();
  if (backToVisitors) {
    m_pAlerts->ChatRequestInOperatorsView();
    SwitchView(ViewMode::AllVisitors);
    return;
  }
  ApplyOperatorAlerts(reply);
}

void CMainDlg::ApplyVisitorLines(const RefreshReply& reply, int& chats) {
  int reselect = SelectedRow();
  const QString selectedId = reselect >= 0 && reselect < Visitors().size() ? Visitors()[reselect].m_line.sessionId : QString();
  // The records come made from the worker; only the cached details are
  // added here, and nothing is copied when there are none.
  QList<CSiteVisitor> visitors = reply.rows;
  if (!m_detailsCache.isEmpty()) {
    for (qsizetype i = 0; i < visitors.size(); ++i) {
      const auto cached = m_detailsCache.constFind(visitors.at(i).m_line.sessionId);
      if (cached == m_detailsCache.constEnd()) continue;
      visitors[i].m_pDetails = *cached;
      visitors[i].m_bDetailsLoaded = true;
    }
  }
  if (reselect != -1 && !selectedId.isEmpty()) {
    // The last line with the id, should the service list one twice.
    for (qsizetype i = visitors.size() - 1; i >= 0; --i) {
      if (visitors.at(i).m_line.sessionId != selectedId) continue;
      reselect = int(i);
      break;
    }
  }
  chats = reply.chatCount;
  // One sound for any number of new visitors: each would cut the last.
  if (reply.newVisitorCount > 0) m_pAlerts->NewVisitorsSeen();
  m_pVisitorModel->SetVisitors(std::move(visitors));

  // The visitor selected before stays selected where it now is; if it is
  // gone, the row at its old place is; with nothing selected, the first row.
  if (reselect < 0) reselect = 0;
  if (reselect < m_pVisitorModel->rowCount()) {
    const QModelIndex index = m_pVisitorModel->index(reselect, 0);
    m_pTable->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_pTable->scrollTo(index, QAbstractItemView::EnsureVisible);
  } else {
    m_pTable->selectionModel()->clearSelection();
  }
}

void CMainDlg::RefillOperatorsBox() {
  RefillOperatorBox(m_pOperatorsBox, m_pOperators->Texts(), m_engine.Session().loginId);
  AnnounceOnline();
}

void CMainDlg::SendPresence(bool bOnline) {
  m_engine.RequestAsync(m_engine.Catalogue().Status(bOnline), REQ_STATUS, this,
                        [this](const QString& reply) { HandleServerReply(REQ_STATUS, reply); });
}

void CMainDlg::AnnounceOnline() {
  // Every chat window announces at each of its ticks; against a slow
  // service one announcement out at a time is enough, and more would pile
  // up a thread each.
  if (m_bManualOffline || m_bAnnouncementOut) return;
  m_bAnnouncementOut = true;
  m_engine.RequestAsync(m_engine.Catalogue().Status(true), REQ_STATUS, this, [this](const QString& reply) {
    m_bAnnouncementOut = false;
    HandleServerReply(REQ_STATUS, reply);
  });
}

void CMainDlg::OnOnline() {
  m_bManualOffline = false;
  SendPresence(true);
}

void CMainDlg::OnOffline() {
  SendPresence(false);
  m_bManualOffline = true;
}

void CMainDlg::OnStatusReply(const QString& reply) {
  if (reply == QStringLiteral("online"))
    m_bOnline = true;
  else if (reply == QStringLiteral("offline"))
    m_bOnline = false;
  else
    return;
  if (m_bManualOffline) return;
  (m_bOnline ? m_pOnline : m_pOffline)->setChecked(true);
}

void CMainDlg::HandleSoundName(const QString& name) { m_pAlerts->HandleSoundName(name, m_bOnline); }

void CMainDlg::SwitchView(ViewMode mode) {
  if (mode == m_mode) {
    UpdateTabButtons();
    return;
  }
  m_mode = mode;
  m_pRefresh->SetChatsOnly(mode == ViewMode::ChatsOnly);
  // The new view's table at once, not a period later.
  if (!m_bEnded) m_pRefresh->Restart();
  UpdateTabButtons();
  if (mode == ViewMode::Operators) {
    m_pVisitorModel->Clear();
    m_pTable->setModel(m_pOperators);
    FollowSelectionModel();
    const int half = m_pTable->viewport()->width() / 2;
    m_pTable->setColumnWidth(COperatorList::ColName, half);
    m_pTable->setColumnWidth(COperatorList::ColStatus, half);
  } else {
    m_pOperatorLogOut->setEnabled(false);
    InsertVisitorColumns();
  }
  FollowSelection();
}

void CMainDlg::CacheDetails(const VisitorDetails& details, const QString& sessionId) {
  m_detailsCache.insert(sessionId, std::make_shared<const VisitorDetails>(details));
}

void CMainDlg::OnLogOutButton() { LogOut(true); }

// Chats still open are the operator's to end or keep, rather than left
// with their visitors waiting unasked; Cancel keeps the console.
void CMainDlg::LogOut(bool bForgetLogin) {
  if (m_bEnded) return;
  QList<QWidget*> chats;
  for (const QString& id : m_pChatWindows->Ids()) chats.append(m_pChatWindows->Find(id));
  if (!CChatDlg::SettleOpenChats(this, m_engine, chats, kLogOutWaitMs)) return;
  EndSession(bForgetLogin, false);
}

// The one way a session ends: the LogOut button (forgetting the saved
// login), closing the window (keeping it), or the service's word.
void CMainDlg::EndSession(bool bForgetLogin, bool bToldByServer) {
  if (m_bEnded) return;
  m_bEnded = true;
  m_pLogOut->setEnabled(false);
  m_pRefresh->Stop();
  CWindowPlacement::Save(this, kPlacementName);
  if (!bToldByServer) {
    QString reply;
    // A dead service must not hold the operator for the request's whole time-out.
    m_engine.RequestSync(m_engine.Catalogue().LogOut(), reply, kLogOutWaitMs);
  }
  // From here on no reply reaches any window of the session.
  m_engine.SetClosing();
  // The remembered login goes at once; the keyring forgets its password in
  // the background, so a keyring that does not answer holds nothing up.
  if (bForgetLogin) CSavedCredentials::Forget();
  SetTrayIcon(false);
  m_pAlerts->CloseNotices();
  m_pChatWindows->CloseAll();
  m_pOperChatWindows->CloseAll();
  m_detailsCache.clear();
  if (bToldByServer)
    CDesktopServices::Get().MessageBox(this, QStringLiteral("You have been logged out."), QStringLiteral("Logged Out"),
                                       CDesktopServices::Icon::Information);
  done(QDialog::Accepted);
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
