#include "ChatPollReply.h"

#include "Separators.h"
#include "SplitReply.h"

const QString ChatPollReply::kClosedByUser = QStringLiteral("Notice: Chat Closed by User.");
const QString ChatPollReply::kClosedByOperator = QStringLiteral("Notice: Chat Closed by Operator.");

ChatPollReply ChatPollReply::Parse(const QString& reply) {
  const QStringList parts = SplitReply(reply, kSepChatType);
  if (parts.size() != 2) return ChatPollReply();
  ChatPollReply r = ParseBlocks(parts[0]);
  r.hasTypingFlag = true;
  r.visitorTyping = parts[1] == QStringLiteral("vt");
  return r;
}

ChatPollReply ChatPollReply::ParseBlocks(const QString& chatPart) {
  ChatPollReply r;
  const QStringList blocks = SplitReply(chatPart, kSepChatBlock);
  if (blocks.size() != 4) return r;
  r.wellFormed = true;
  r.messages = blocks[0];
  r.number = blocks[1];
  r.third = blocks[2];
  r.sound = ServiceSoundNamed(blocks[3]);
  for (const QString& line : SplitReply(r.messages, kSepChatLine))
    if (!line.isEmpty()) r.lines.append(ShownLine(line));
  return r;
}

QString ChatPollReply::ShownLine(const QString& line) {
  if (line.size() <= kMaxShownLine) return line;
  return line.left(kMaxShownLine) +
         QStringLiteral(" [... %1 characters not shown ...]").arg(line.size() - kMaxShownLine);
}

bool ChatPollReply::IsClosingNotice(const QString& notice) const {
  return number.isEmpty() && third.isEmpty() && messages.startsWith(notice);
}

QString ChatElapsedText(qint64 seconds) {
  return QStringLiteral("%1:%2:%3")
      .arg(seconds / 3600 % 24, 2, 10, QLatin1Char('0'))
      .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

bool IsOwnLine(const QString& line, const QString& loginId) {
  if (loginId.isEmpty() || line.size() <= loginId.size()) return false;
  return line.startsWith(loginId, Qt::CaseInsensitive) && line.at(loginId.size()) == u':';
}
