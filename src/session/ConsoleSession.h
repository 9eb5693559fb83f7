#pragma once

#include "ChatList.h"
#include "RefreshReply.h"

#include <QHash>
#include <QObject>
#include <QSet>

#include <memory>

class CChatManager;
class COperatorList;
class CPresence;
class CRefreshCycle;
class CSystemEvents;
class CVisitorTableModel;
struct CSession;

// The logged-in session below the windows. It owns the refresh cycle and
// applies each reply to the visitor and operator models, keeps the details
// cache, the operator's presence, the ids of the open chats, and ends the
// session by the one log-out path. What a refresh means comes out as typed
// events, each once: the console window renders the models, the alert room
// decides what the operator hears and sees.
class CConsoleSession : public QObject {
  Q_OBJECT

 public:
  // What the console shows; the refresh asks for chats only in ChatsOnly,
  // and visitors arriving ring only while visitors are shown.
  enum class View { AllVisitors, ChatsOnly, Operators };

  explicit CConsoleSession(CChatManager& engine, QObject* parent = nullptr);
  ~CConsoleSession() override;

  CChatManager& Engine() const { return m_engine; }
  const CSession& Account() const;
  CRefreshCycle& Refresh() const { return *m_pRefresh; }
  CVisitorTableModel& Visitors() const { return *m_pVisitors; }
  COperatorList& Operators() const { return *m_pOperators; }
  CPresence& Presence() const { return *m_pPresence; }
  CChatList& Chats() const { return *m_pChats; }

  // Announces the operator online and refreshes at once, then on the timer.
  void Start();
  View CurrentView() const { return m_view; }
  // Refreshes at once for the new view.
  void SetView(View view);

  // Follows what the machine says of sleep and the network.
  void Follow(CSystemEvents& events);
  // The machine goes to sleep: what fails until it wakes is not counted.
  void Suspend();
  // The machine woke up, or the network came back: the table, the
  // presence and every chat's poll go out at once, without waiting for
  // their timers or for requests that may hang on a connection that is
  // gone; the table is marked stale until an answer comes.
  void CatchUp();
  // What the desktop says of the network: gone is told at once; back
  // catches up at once.
  void SetNetworkReachable(bool bReachable);
  // The connection alert: the network is gone, or the refresh fails.
  bool IsConnectionAlert() const;

  // The answer to the accept of a transferred chat: settled (its window
  // opened, or the service refused it) or failed on the way, in which case
  // the next refresh that still offers the chat has it accepted again.
  void TransferAcceptFailed(const QString& chatId);

  // A visitor's details, as the chat window or the details panel got them;
  // the visitor's rows carry them from the next refresh on.
  void CacheDetails(const VisitorDetails& details, const QString& sessionId);

  // Ends the session: stops the refresh, tells the service (unless the
  // service said it), forgets the remembered login when asked, closes the
  // chats and drops every reply still to come.
  void End(bool bForgetLogin, bool bToldByServer);
  bool IsEnded() const { return m_bEnded; }

  // The chat requests waiting at the last well-formed refresh, by chat id.
  const QSet<QString>& WaitingRequests() const { return m_waiting; }

  static constexpr int kLogOutWaitMs = 5000;

 signals:
  // Before a refresh is applied to the models.
  void RefreshArriving();
  // The view changed, whoever asked for it (the operator, the alerts).
  void ViewChanged(CConsoleSession::View view);
  // A refresh was applied to the models; the typed events below it came first.
  void Refreshed(const RefreshReply& reply);
  void VisitorsArrived(int count);
  // A chat request not waiting at the last refresh: a visitor's, or
  // another operator's asking this one.
  void ChatRequested(const VisitorLine& visitor);
  void OperatorAsksForChat(const OperatorEntry& entry);
  // A request that waited is gone without its chat opening here: another
  // operator took it, it was refused, or the visitor left.
  void ChatTakenElsewhere(const QString& chatId);
  // A colleague handed a chat to this operator; once per transfer.
  void TransferOffered(const QString& chatId);
  // The transferred chat is to be accepted: at its offer, and again at
  // each refresh that still offers it after an accept that failed.
  void TransferToAccept(const QString& chatId);
  // Messages from other operators wait; at every refresh that says so.
  void MessagesWaiting();
  void ConnectionLost();
  void ConnectionBack();
  // The table on screen is no longer current and is this old: a refresh
  // failed or has been out too long, or the machine has just woken up.
  void TableStale(qint64 tableAgeMs);
  void SessionEnded(bool bToldByServer);

 private:
  void OnRefreshed(const RefreshReply& reply);
  void NoteRequests(const RefreshReply& reply);
  void NoteNotice(const QString& notice);
  void MarkStale(qint64 tableAgeMs);
  void FollowConnectionAlert();
  QList<CSiteVisitor> WithCachedDetails(QList<CSiteVisitor> rows) const;

  CChatManager& m_engine;
  CRefreshCycle* m_pRefresh;
  CVisitorTableModel* m_pVisitors;
  COperatorList* m_pOperators;
  CPresence* m_pPresence;
  CChatList* m_pChats;
  QHash<QString, std::shared_ptr<const VisitorDetails>> m_detailsCache;
  QSet<QString> m_waiting;
  QString m_strTransferSeen;  // the chat of the transfer notice last offered
  bool m_bTransferAcceptFailed = false;  // its accept failed: the next offer retries
  bool m_bNetworkReachable = true;
  bool m_bConnectionAlert = false;  // as last told
  View m_view = View::AllVisitors;
  bool m_bEnded = false;
};
