#pragma once

#include <QString>

// The reply to asking another operator for a chat, or to accepting one:
// the other operator's login id and the operator chat session id.
struct OperatorChatReply {
  bool wellFormed = false;  // false for an empty or failed reply, or one without a session id
  QString otherOperator;
  QString chatId;

  static OperatorChatReply Parse(const QString& reply);
};
