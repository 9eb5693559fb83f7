#pragma once

#include "ServiceReply.h"

class CFaultInjector;
class CServiceState;

// "/control/...": what tests and demos do in the visitors' place (arrive,
// ask for a chat, type, write, leave), operator messages, a look at the
// state, and fault injection. Answered only from loopback.
class CControlInterface {
 public:
  CControlInterface(CServiceState& state, CFaultInjector& faults) : m_state(state), m_faults(faults) {}

  // command is the path after "/control/", such as "visitor/add".
  ServiceReply Handle(const QString& command, const Query& q);

 private:
  ServiceReply AddVisitor(const Query& q);
  ServiceReply VisitorCommand(const QString& command, const Query& q);
  ServiceReply LeaveMessage(const Query& q);
  ServiceReply ShowOperators(const Query& q);
  ServiceReply ArmFault(const Query& q);

  CServiceState& m_state;
  CFaultInjector& m_faults;
};
