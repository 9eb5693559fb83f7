// The poll replies of both chat windows: the visitor chat's reply with its
// typing flag, and the operator chat's four blocks alone.

#include "ChatPollReply.h"
#include "FuzzInput.h"
#include "Separators.h"

namespace {

void CheckShape(const ChatPollReply& r) {
  for (const QString& line : r.lines) {
    FUZZ_CHECK(!line.isEmpty());
    FUZZ_CHECK(!line.contains(kSepChatLine));
    FUZZ_CHECK(r.messages.contains(line));
  }
  if (r.messages.isEmpty()) FUZZ_CHECK(r.lines.isEmpty());
  if (!r.wellFormed) FUZZ_CHECK(r.messages.isEmpty() && r.number.isEmpty() && r.sound == ServiceSound::None);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = ReplyText(data, size);
  const ChatPollReply visitor = ChatPollReply::Parse(text);
  CheckShape(visitor);
  if (!visitor.hasTypingFlag) FUZZ_CHECK(visitor.lines.isEmpty() && !visitor.visitorTyping);
  (void)visitor.IsClosingNotice(ChatPollReply::kClosedByUser);

  const ChatPollReply oper = ChatPollReply::ParseBlocks(text);
  CheckShape(oper);
  FUZZ_CHECK(!oper.hasTypingFlag);
  (void)oper.IsClosingNotice(ChatPollReply::kClosedByOperator);
  return 0;
}
