#include "OperatorChatReply.h"

#include "Separators.h"
#include "SplitReply.h"

OperatorChatReply OperatorChatReply::Parse(const QString& reply) {
  if (reply.isEmpty() || reply == kDisconnect) return {};
  const QStringList pieces = SplitReply(reply, kSepField);
  if (pieces.size() < 2 || pieces[1].isEmpty()) return {};
  return OperatorChatReply{true, pieces[0], pieces[1]};
}
