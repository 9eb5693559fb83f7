#pragma once

#include "Session.h"

#include <QString>
#include <QStringList>

// The request catalogue: one function per server request, each giving the
// path and query to hand to the engine. The session's values are filled in,
// and every value placed into a query goes through UrlEncode, ids included,
// so that an id holding "&" or "=" cannot break the query.
class Requests {
 public:
  explicit Requests(const CSession& session) : m_session(session) {}

  // Before a session exists.
  static QString Login(const QString& loginId, const QString& siteId, const QString& password);
  static QString Parameters(const QString& siteId);

  // Console.
  QString Refresh(bool chatsOnly) const;
  QString Status(bool online) const;
  QString LogOut() const;
  QString Action(const QString& actionWord, const QString& sessionId) const;
  QString ProactivePop(const QString& sessionId, const QString& popWindow, const QString& popUrl) const;
  QString Accept(const QString& sessionId, const QString& ip) const;
  QString VisitorDetails(const QString& sessionId) const;
  QString FootPrints(const QString& sessionId) const;

  // Operators and their messages.
  QString SaveMessage(const QString& operatorId, const QString& text) const;
  QString WaitingMessages() const;
  QString AllMessages() const;
  QString LogOutOperator(const QString& operatorId) const;
  QString AcceptOperatorChat(const QString& chatId) const;
  QString InviteOperator(const QString& operatorId) const;
  QString CloseOperatorChat(const QString& chatId) const;

  // Visitor chat window.
  QString CannedMessages() const;
  QString SendLine(const QString& text, const QString& sessionId) const;
  QString PollChat(const QString& sessionId, const QString& ip, const QString& lastNumber) const;
  QString OperatorTyping(const QString& sessionId) const;
  QString TransferChat(const QString& sessionId, const QString& operatorId) const;
  QString NameAndEmail(const QString& sessionId) const;

  // Operator chat window.
  QString OperatorSendLine(const QString& text, const QString& chatId) const;
  QString OperatorPoll(const QString& chatId, const QString& address, const QString& lastNumber) const;
  QString OperatorTypingQuery(const QString& chatId) const;
  QString OperatorTypingNotice(const QString& chatId) const;

  // Server pages (OpenServerPage).
  QString TranscriptsPage() const;
  QString ControlPanelPage() const;
  QString ChatHistoryPage(const QString& ip) const;
  QString FileTransferPage(const QString& sessionId) const;
  QString OperatorTranscriptsPage() const;

 private:
  // The template with each value encoded, in order.
  static QString Fill(const char* format, const QStringList& values);

  const CSession& m_session;
};
