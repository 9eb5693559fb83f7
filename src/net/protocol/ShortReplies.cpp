#include "ShortReplies.h"

#include "Separators.h"
#include "SplitReply.h"

bool IsConfirmed(const QString& reply) { return reply == QLatin1String("true"); }

StatusReply StatusReply::Parse(const QString& reply) {
  StatusReply r;
  r.online = reply == QLatin1String("online");
  r.wellFormed = r.online || reply == QLatin1String("offline");
  return r;
}

bool IsLoggedOutByService(const QString& reply) { return reply == QLatin1String("logout"); }

bool IsMessagesNotice(const QString& notice) { return notice.startsWith(QLatin1String("message")); }

VisitorNameReply VisitorNameReply::Parse(const QString& reply) {
  VisitorNameReply r;
  const QStringList pieces = SplitReply(reply, kSepField);
  if (pieces.size() != 2) return r;
  r.wellFormed = true;
  r.name = pieces[0];
  r.email = pieces[1];
  return r;
}

OperatorTypingReply OperatorTypingReply::Parse(const QString& reply) {
  OperatorTypingReply r;
  if (reply == kDisconnect) return r;
  r.wellFormed = true;
  if (reply != QLatin1String("blank")) r.typist = reply;
  return r;
}

TransferNotice TransferNotice::Parse(const QString& notice) {
  TransferNotice r;
  const QStringList pieces = SplitReply(notice, kSepField);
  if (pieces[0] != QLatin1String("chat_trans") || pieces.size() < 2 || pieces[1].isEmpty()) return r;
  r.wellFormed = true;
  r.chatId = pieces[1];
  return r;
}
