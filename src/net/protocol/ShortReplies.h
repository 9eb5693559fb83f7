#pragma once

#include <QString>

// The short replies: a confirmation, the operator's status, a visitor's
// name, who is typing, the refresh's notices and its log-out word.

// The service's word for a request it carried out (ending a chat, a
// transfer, an accepted login): "true", exactly. Anything else, a failed
// request included, is a refusal.
bool IsConfirmed(const QString& reply);

// The service's answer to a change of the operator's status: "online" or
// "offline", exactly. Anything else (a failed request, a page of a portal)
// says nothing about the status.
struct StatusReply {
  bool wellFormed = false;
  bool online = false;

  static StatusReply Parse(const QString& reply);
};

// The refresh's whole reply when the service ended this operator's
// session (another login, an administrator): "logout".
bool IsLoggedOutByService(const QString& reply);

// The refresh's notice block when messages wait for this operator: it
// begins with "message".
bool IsMessagesNotice(const QString& notice);

// The visitor's name and e-mail address, asked for when a visitor joins a
// chat: two fields.
struct VisitorNameReply {
  bool wellFormed = false;
  QString name;
  QString email;

  static VisitorNameReply Parse(const QString& reply);
};

// Whether the other operator of an operator chat is typing: "blank" when
// nobody is, else the name of who is. A failed request is not well formed
// and says nothing about typing.
struct OperatorTypingReply {
  bool wellFormed = false;
  QString typist;  // empty when nobody types

  static OperatorTypingReply Parse(const QString& reply);
};

// The refresh's notice block when a colleague hands a chat over:
// "chat_trans", then the chat's session id. Any other notice, or one that
// names no chat, is no transfer.
struct TransferNotice {
  bool wellFormed = false;
  QString chatId;

  static TransferNotice Parse(const QString& notice);
};
