#pragma once

#include <QString>

// The short replies: a confirmation, a visitor's name, who is typing, and
// the refresh notice of a chat handed over.

// The service's word for a request it carried out (ending a chat, a
// transfer, an accepted login): "true", exactly. Anything else, a failed
// request included, is a refusal.
bool IsConfirmed(const QString& reply);

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
