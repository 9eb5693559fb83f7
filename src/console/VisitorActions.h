#pragma once

#include "SiteVisitor.h"

#include "ChatWindows.h"

#include <QObject>
#include <QPointer>

#include <functional>

class CChatManager;
class CChatWindows;
class CConsoleSession;
class QWidget;

// The commands on one visitor: accept or join a chat (and open its window
// when the service gives it to this operator), refuse, invite, delete,
// block the address, push a page. Each command works on a copy of the
// visitor's row, so a refresh that rebuilds the table meanwhile changes
// nothing; each request carries its own purpose, and its reply's message
// comes from that, never from the failure marker.
class CVisitorActions : public QObject {
  Q_OBJECT

 public:
  // The console's row of a session id, or nullptr; read at once, never kept.
  using RowFinder = std::function<const CSiteVisitor*(const QString& sessionId)>;

  CVisitorActions(CConsoleSession& session, CChatWindows& chatWindows, RowFinder findRow, QWidget* owner);

  // The chat window the accept opens comes forward only when the operator
  // asked for the chat himself.
  void Accept(const CSiteVisitor& row, CChatWindows::Arrival arrival = CChatWindows::Arrival::ByOperator);
  // Accepts the chat of a session id for the operator (the pop-up, the
  // notification): raises its window when one is open already.
  void AcceptChat(const QString& chatId);
  void Busy(const VisitorLine& row);
  void Invite(const VisitorLine& row);
  void Delete(const VisitorLine& row);
  // With no row, tells the operator to choose one.
  void BlockIp(const VisitorLine* row);
  void ProactivePop(const VisitorLine& row, bool bSameWindow, const QString& url);
  // A chat a colleague handed to this operator: taken without the
  // keyboard, which stays where the operator is typing.
  void AcceptTransferred(const QString& chatId);

  // The address as it is pushed: trimmed, "http://" in front when it names
  // no scheme; empty when there is nothing to push.
  static QString NormalisedPopUrl(const QString& url);
  // Join is allowed for an administrator, or on a chat of this operator.
  static bool CanJoin(const QString& status, const QString& loginId, bool bAdmin);
  // The commands on one visitor's row, and whether its state allows each:
  // the buttons, the menu and the keys all ask this, so no command acts on
  // a visitor whose state does not allow it (an accept for a visitor who
  // asked for nothing). Join only on a running chat: it does not keep the
  // state of the row selected before.
  enum class Command { Accept, Join, Busy, Invite, Delete, BlockIp, ProactivePop };
  static bool Allows(Command command, const VisitorLine& line, const QString& loginId, bool bAdmin);

  // A chat the service gave to this operator, as its accept reply and the
  // table say: what its session and window are opened from.
  struct AcceptedChat {
    QString chatId;
    QString visitorName;
    QString visitorEmail;
    // The table's row of the chat, empty when the table no longer has it.
    CSiteVisitor visitor;
    // The service has earlier chats of this visitor to show beside it.
    bool earlierChats = false;
    CChatWindows::Arrival arrival = CChatWindows::Arrival::ByOperator;
  };

 signals:
  void ChatAccepted(const CVisitorActions::AcceptedChat& chat);

 private:
  // Reply handlers, by what the request was for.
  void OnAcceptReply(const QString& reply, const CSiteVisitor& row, CChatWindows::Arrival arrival);
  void OnActionReply(const QString& action, const QString& ip, const QString& reply);
  void AcceptChatAs(const QString& chatId, CChatWindows::Arrival arrival);
  void SendAction(const QString& action, const VisitorLine& row);
  void ShowBox(const QString& text, const QString& caption);

  CConsoleSession& m_session;
  CChatManager& m_engine;
  CChatWindows& m_chatWindows;
  RowFinder m_findRow;
  QPointer<QWidget> m_pOwner;
};
