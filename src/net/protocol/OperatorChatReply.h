#pragma once

#include <QString>

#include <optional>

// The reply to asking another operator for a chat, or to accepting one:
// the other operator's login id and the operator chat session id.
struct OperatorChatReply {
  QString otherOperator;
  QString chatId;

  // Nothing for an empty or failed reply, or one without a session id.
  static std::optional<OperatorChatReply> Parse(const QString& reply);
};
