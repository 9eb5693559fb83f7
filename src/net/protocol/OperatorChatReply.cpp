#include "OperatorChatReply.h"

#include "Separators.h"
#include "SplitReply.h"

std::optional<OperatorChatReply> OperatorChatReply::Parse(const QString& reply) {
  if (reply.isEmpty() || reply == kDisconnect) return std::nullopt;
  const QStringList pieces = SplitReply(reply, kSepField);
  if (pieces.size() < 2 || pieces[1].isEmpty()) return std::nullopt;
  return OperatorChatReply{pieces[0], pieces[1]};
}
