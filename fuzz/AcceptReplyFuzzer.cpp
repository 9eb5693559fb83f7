// The reply to accepting a visitor's chat.

#include "AcceptReply.h"
#include "FuzzInput.h"
#include "Separators.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = ReplyText(data, size);
  const AcceptReply reply = AcceptReply::Parse(text);
  if (!reply.wellFormed) {
    FUZZ_CHECK(!reply.accepted && reply.refusal.isEmpty() && reply.chatId.isEmpty());
    return 0;
  }
  // A failed request is never an answer.
  FUZZ_CHECK(text != kDisconnect);
  if (reply.accepted) {
    FUZZ_CHECK(reply.refusal.isEmpty());
    FUZZ_CHECK(!reply.chatId.contains(kSepField));
  } else {
    FUZZ_CHECK(reply.chatId.isEmpty());
    FUZZ_CHECK(reply.refusal != QStringLiteral("true"));
  }
  return 0;
}
