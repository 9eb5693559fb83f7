#include "ConsoleSession.h"

#include "ChatManager.h"
#include "OperatorList.h"
#include "Presence.h"
#include "RefreshCycle.h"
#include "SavedCredentials.h"
#include "Separators.h"
#include "ShortReplies.h"
#include "SystemEvents.h"
#include "VisitorTableModel.h"

CConsoleSession::CConsoleSession(CChatManager& engine, QObject* parent)
    : QObject(parent),
      m_engine(engine),
      m_pRefresh(new CRefreshCycle(engine, this)),
      m_pVisitors(new CVisitorTableModel(this)),
      m_pOperators(new COperatorList(this)),
      m_pPresence(new CPresence(engine, this)),
      m_pChats(new CChatList(this)) {
  connect(m_pRefresh, &CRefreshCycle::Refreshed, this, &CConsoleSession::OnRefreshed);
  connect(m_pRefresh, &CRefreshCycle::ConnectionAlertChanged, this, &CConsoleSession::FollowConnectionAlert);
  connect(m_pRefresh, &CRefreshCycle::Failed, this, [this](qint64 tableAgeMs) {
    if (m_bEnded) return;
    MarkStale(tableAgeMs);
    m_pPresence->Announce();
  });
  connect(m_pRefresh, &CRefreshCycle::Stalled, this, &CConsoleSession::MarkStale);
  connect(m_pRefresh, &CRefreshCycle::LoggedOutByServer, this, [this] { End(true, true); });
}

CConsoleSession::~CConsoleSession() = default;

const CSession& CConsoleSession::Account() const { return m_engine.Session(); }

void CConsoleSession::Start() {
  m_pPresence->Announce();
  m_pRefresh->Start();
}

bool CConsoleSession::IsConnectionAlert() const { return !m_bNetworkReachable || m_pRefresh->IsConnectionAlert(); }

void CConsoleSession::FollowConnectionAlert() {
  const bool alert = IsConnectionAlert();
  if (alert == m_bConnectionAlert) return;
  m_bConnectionAlert = alert;
  if (alert)
    emit ConnectionLost();
  else
    emit ConnectionBack();
}

void CConsoleSession::MarkStale(qint64 tableAgeMs) {
  // The rows stay, with their commands and the requests' alerts; they are
  // drawn as old until an answer replaces them.
  m_pVisitors->SetStale(true);
  emit TableStale(tableAgeMs);
}

void CConsoleSession::Follow(CSystemEvents& events) {
  connect(&events, &CSystemEvents::Sleeping, this, &CConsoleSession::Suspend);
  connect(&events, &CSystemEvents::Resumed, this, &CConsoleSession::CatchUp);
  connect(&events, &CSystemEvents::NetworkChanged, this, &CConsoleSession::SetNetworkReachable);
}

void CConsoleSession::Suspend() {
  if (m_bEnded) return;
  m_engine.SetSuspended(true);
}

void CConsoleSession::CatchUp() {
  if (m_bEnded) return;
  m_engine.SetSuspended(false);
  MarkStale(m_pRefresh->TableAgeMs());
  m_pRefresh->Restart();
  m_pPresence->AnnounceNow();
  m_pChats->CatchUp();
}

void CConsoleSession::SetNetworkReachable(bool bReachable) {
  if (m_bEnded || bReachable == m_bNetworkReachable) return;
  m_bNetworkReachable = bReachable;
  FollowConnectionAlert();
  if (bReachable) CatchUp();
}

void CConsoleSession::SetView(View view) {
  if (view == m_view) return;
  m_view = view;
  m_pRefresh->SetChatsOnly(view == View::ChatsOnly);
  emit ViewChanged(view);
  // The new view's table at once, not a period later.
  if (!m_bEnded) m_pRefresh->Restart();
}

void CConsoleSession::CacheDetails(const VisitorDetails& details, const QString& sessionId) {
  m_detailsCache.insert(sessionId, std::make_shared<const VisitorDetails>(details));
  m_pVisitors->SetDetails(sessionId, details);
}

QList<CSiteVisitor> CConsoleSession::WithCachedDetails(QList<CSiteVisitor> rows) const {
  // The records come made from the worker; only the cached details are
  // added here, and nothing is copied when there are none.
  if (m_detailsCache.isEmpty()) return rows;
  for (qsizetype i = 0; i < rows.size(); ++i) {
    const auto cached = m_detailsCache.constFind(rows.at(i).m_line.sessionId);
    if (cached == m_detailsCache.constEnd()) continue;
    rows[i].m_pDetails = *cached;
    rows[i].m_bDetailsLoaded = true;
  }
  return rows;
}

void CConsoleSession::OnRefreshed(const RefreshReply& reply) {
  if (m_bEnded) return;
  NoteRequests(reply);
  emit RefreshArriving();
  m_pVisitors->SetStale(false);
  // An answer proves the service reachable, whatever the desktop thought
  // of the network (a service on this machine needs none).
  if (!m_bNetworkReachable) {
    m_bNetworkReachable = true;
    FollowConnectionAlert();
  }
  m_pOperators->SetEntries(reply.operators);
  // In the Operators view the visitors are kept, not shown, for the
  // commands that need them; they ring only where they are shown.
  m_pVisitors->SetVisitors(WithCachedDetails(reply.rows));
  if (m_view != View::Operators && reply.newVisitorCount > 0) emit VisitorsArrived(reply.newVisitorCount);
  NoteNotice(reply.notice);
  emit Refreshed(reply);
  if (!m_bEnded) m_pPresence->Announce();
}

void CConsoleSession::NoteRequests(const RefreshReply& reply) {
  QSet<QString> waiting;
  for (const CSiteVisitor& row : reply.rows) {
    if (!row.m_line.IsChatRequest()) continue;
    waiting.insert(row.m_line.sessionId);
    if (!m_waiting.contains(row.m_line.sessionId)) emit ChatRequested(row.m_line);
  }
  for (const OperatorEntry& entry : reply.operators) {
    if (!entry.AsksForChat()) continue;
    waiting.insert(entry.chatId);
    if (!m_waiting.contains(entry.chatId)) emit OperatorAsksForChat(entry);
  }
  const QSet<QString> before = std::exchange(m_waiting, std::move(waiting));
  for (const QString& id : before)
    if (!m_waiting.contains(id) && !m_pChats->Contains(id)) emit ChatTakenElsewhere(id);
}

void CConsoleSession::NoteNotice(const QString& notice) {
  const TransferNotice transfer = TransferNotice::Parse(notice);
  if (!transfer.wellFormed) {
    m_strTransferSeen.clear();
    m_bTransferAcceptFailed = false;
    if (IsMessagesNotice(notice)) emit MessagesWaiting();
    return;
  }
  // The service repeats the notice at every refresh until the chat is
  // taken; one offer per transfer, or a refused one would be asked (and
  // refused) again every few seconds. An accept lost on the way is sent
  // again, or the chat would be lost while the service still offers it.
  if (transfer.chatId == m_strTransferSeen) {
    if (!m_bTransferAcceptFailed) return;
    m_bTransferAcceptFailed = false;
    emit TransferToAccept(transfer.chatId);
    return;
  }
  m_strTransferSeen = transfer.chatId;
  m_bTransferAcceptFailed = false;
  emit TransferOffered(transfer.chatId);
  emit TransferToAccept(transfer.chatId);
}

void CConsoleSession::TransferAcceptFailed(const QString& chatId) {
  if (chatId == m_strTransferSeen) m_bTransferAcceptFailed = true;
}

void CConsoleSession::End(bool bForgetLogin, bool bToldByServer) {
  if (m_bEnded) return;
  m_bEnded = true;
  m_pRefresh->Stop();
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
  m_pChats->CloseAll();
  m_detailsCache.clear();
  emit SessionEnded(bToldByServer);
}
