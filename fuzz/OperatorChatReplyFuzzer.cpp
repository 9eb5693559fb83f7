// The reply to asking another operator for a chat, or to accepting one.

#include "FuzzInput.h"
#include "OperatorChatReply.h"
#include "Separators.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = ReplyText(data, size);
  const OperatorChatReply reply = OperatorChatReply::Parse(text);
  if (!reply.wellFormed) return 0;
  FUZZ_CHECK(text != kDisconnect);
  FUZZ_CHECK(!reply.chatId.isEmpty());
  FUZZ_CHECK(!reply.otherOperator.contains(kSepField) && !reply.chatId.contains(kSepField));
  return 0;
}
