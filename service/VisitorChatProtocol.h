#pragma once

#include "ServiceReply.h"

class CServiceState;

// The console's requests about visitors and their chats: accepting a chat,
// the actions on a visitor, details and foot prints, the chat lines, typing,
// ending and transferring a chat, and the canned lists.
class CVisitorChatProtocol {
 public:
  explicit CVisitorChatProtocol(CServiceState& state) : m_state(state) {}

  QString Accept(const Query& q);
  QString Action(const Query& q);
  QString ProactivePop(const Query& q);
  QString Details(const Query& q);
  QString FootPrints(const Query& q);
  QString CannedLists(const Query& q);
  QString SendLine(const Query& q);
  QString Poll(const Query& q);
  QString OperatorTyping(const Query& q);
  QString Transfer(const Query& q);
  QString NameAndEmail(const Query& q);

 private:
  CServiceState& m_state;
};
