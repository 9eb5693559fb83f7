#include "AcceptReply.h"

#include "Separators.h"
#include "ShortReplies.h"
#include "SplitReply.h"

AcceptReply AcceptReply::Parse(const QString& reply) {
  AcceptReply r;
  const QStringList pieces = SplitReply(reply, kSepField);
  if (pieces.size() != 5) return r;
  r.wellFormed = true;
  r.accepted = IsConfirmed(pieces[0]);
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
