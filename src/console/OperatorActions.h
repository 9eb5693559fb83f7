#pragma once

#include "OperatorEntry.h"
#include "ServiceSound.h"

#include <QObject>

#include <functional>

class CChatManager;
class QWidget;
struct MessagesReply;

// The commands on the site's other operators: ask one for a chat, accept
// or deny one's request, log one out (administrators), leave one a message,
// read the messages left for this operator. Every request carries what it
// was for; a failed one shows nothing.
class COperatorActions : public QObject {
  Q_OBJECT

 public:
  COperatorActions(CChatManager& engine, QWidget* owner);

  // Whether an operator's entry allows a command: the buttons under the
  // table follow the entry's request alone; the right-click menu also
  // offers Accept and Deny on any request of an operator online or
  // offline, never Request Chat to oneself or to an operator offline, and
  // nothing on a request another operator took.
  enum class Command { RequestChat, AcceptChat, Deny, LogOut };
  enum class Where { Buttons, Menu };
  static bool Allows(Command command, const OperatorEntry& entry, const QString& loginId, bool bAdmin,
                     Where where = Where::Buttons);

  void RequestChat(const QString& operatorId);
  void AcceptChat(const QString& chatId);
  void Deny(const QString& chatId);
  void LogOutOperator(const QString& operatorId);
  // The service's answer goes to onSent; on a failure the text goes back to
  // onFailure, to be put back in its box.
  void SendMessage(const QString& operatorId, const QString& text, std::function<void(const QString& reply)> onSent,
                   std::function<void(const QString& text)> onFailure);
  void ViewMessages();
  void WaitingMessages();

 signals:
  // An invitation or an accept was answered with the operator chat's
  // session id and the other operator.
  void ChatAccepted(const QString& chatId, const QString& otherOperator);
  // A messages reply named the service's sound for a waiting message.
  void SoundRung(ServiceSound sound);

 private:
  void Send(const QString& url, std::function<void(const QString&)> onReply);
  void ShowMessages(const MessagesReply& reply, bool bAskedFor);
  void OnOperatorChatReply(const QString& reply);

  CChatManager& m_engine;
  bool m_bWaitingMessagesOut = false;  // a notice repeated every refresh asks once
};
