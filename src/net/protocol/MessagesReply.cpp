#include "MessagesReply.h"

#include "Separators.h"
#include "SplitReply.h"

MessagesReply MessagesReply::Parse(const QString& reply) {
  MessagesReply r;
  if (reply.isEmpty() || reply == kDisconnect) return r;
  r.wellFormed = true;
  const QStringList pieces = SplitReply(reply, kSepBlock);
  if (pieces.size() == 2) r.sound = ServiceSoundNamed(pieces[1]);
  r.text = TextOf(pieces[0]);
  return r;
}

QString MessagesReply::TextOf(const QString& block) {
  QString text = block;
  text.replace(kSepField, QStringLiteral("\n"));
  text.replace(kSepLine, QStringLiteral(":  "));
  return text;
}
