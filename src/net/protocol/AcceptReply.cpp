#include "AcceptReply.h"

#include "Separators.h"
#include "SplitReply.h"

std::optional<AcceptReply> AcceptReply::Parse(const QString& reply) {
  const QStringList pieces = SplitReply(reply, kSepField);
  if (pieces.size() != 5) return std::nullopt;
  AcceptReply r;
  r.accepted = pieces[0] == QStringLiteral("true");
  if (!r.accepted) {
    r.refusal = pieces[0];
    return r;
  }
  r.visitorName = pieces[1];
  r.visitorEmail = pieces[2];
  r.earlierChats = pieces[3] == QStringLiteral("Y");
  r.chatId = pieces[4];
  return r;
}
