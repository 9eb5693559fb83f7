#pragma once

#include "ServiceReply.h"

class CServiceState;

// Chats between two operators of one site: asking, accepting, closing, the
// lines and typing.
class COperatorChatProtocol {
 public:
  explicit COperatorChatProtocol(CServiceState& state) : m_state(state) {}

  // "/wn-opacpt_chts.php": with init=Y a request to op2, else accepting csesid.
  QString OpenChat(const Query& q);
  QString CloseChat(const Query& q);
  QString SendLine(const Query& q);
  QString Poll(const Query& q);
  // "/wn-op_type.php": stat=otype reports typing, an empty stat asks.
  QString Typing(const Query& q);

 private:
  CServiceState& m_state;
};
