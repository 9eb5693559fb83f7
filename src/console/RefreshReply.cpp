#include "RefreshReply.h"

#include "NumberText.h"
#include "Separators.h"
#include "SplitReply.h"

#include <algorithm>
#include <climits>

RefreshReply RefreshReply::Parse(const QString& text) {
  RefreshReply r;
  const QStringList blocks = SplitReply(text, kSepBlock);
  if (blocks.size() != kBlockCount) return r;
  r.wellFormed = true;
  r.noUsersOnline = blocks[0] == QStringLiteral("No Users Online");
  if (!r.noUsersOnline) {
    for (const QString& line : SplitReply(blocks[0], kSepLine)) {
      VisitorLine v;
      if (!VisitorLine::FromFields(SplitReply(line, kSepField), v)) continue;
      r.anyChatRequest = r.anyChatRequest || v.status == QStringLiteral("Chat Request");
      r.visitors.append(std::move(v));
    }
  }
  r.total = int(std::clamp<long>(ReadLeadingInt(blocks[1]), 0, INT_MAX));
  r.sound = blocks[3];
  r.notice = blocks[4];
  if (!blocks[5].isEmpty()) {
    for (const QString& entry : SplitReply(blocks[5], kSepField)) {
      const QStringList sub = SplitReply(entry, kSepSubField);
      if (sub.size() != 4) continue;
      r.operators.append({sub[0], sub[1], sub[2], sub[3]});
      r.anyOperatorRequest = r.anyOperatorRequest || sub[2] == QStringLiteral("op_chat");
    }
  }
  return r;
}
