#include "ChatPollReply.h"

#include "Separators.h"
#include "SplitReply.h"

const QString ChatPollReply::kClosedByUser = QStringLiteral("Notice: Chat Closed by User.");

ChatPollReply ChatPollReply::Parse(const QString& reply) {
  ChatPollReply r;
  const QStringList parts = SplitReply(reply, kSepChatType);
  if (parts.size() != 2) return r;
  r.hasTypingFlag = true;
  r.visitorTyping = parts[1] == QStringLiteral("vt");
  const QStringList blocks = SplitReply(parts[0], kSepChatBlock);
  if (blocks.size() != 4) return r;
  r.messages = blocks[0];
  r.number = blocks[1];
  r.third = blocks[2];
  r.sound = blocks[3];
  for (const QString& line : SplitReply(r.messages, kSepChatLine))
    if (!line.isEmpty()) r.lines.append(line);
  return r;
}

bool ChatPollReply::IsClosedByUser() const {
  return number.isEmpty() && third.isEmpty() && messages.startsWith(kClosedByUser);
}
