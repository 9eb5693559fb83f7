// The messages reply: a failed request or an empty reply shows nothing;
// any other reads as text without the protocol's separators.

#include "FuzzInput.h"
#include "MessagesReply.h"
#include "Separators.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = ReplyText(data, size);
  const MessagesReply reply = MessagesReply::Parse(text);
  if (text.isEmpty() || text == kDisconnect) {
    FUZZ_CHECK(!reply.wellFormed && reply.text.isEmpty() && reply.sound == ServiceSound::None);
    return 0;
  }
  FUZZ_CHECK(reply.wellFormed);
  FUZZ_CHECK(!reply.text.contains(kSepBlock) && !reply.text.contains(kSepField) && !reply.text.contains(kSepLine));
  if (reply.RingsNewMessage()) FUZZ_CHECK(text.endsWith(kSepBlock + QStringLiteral("sound3")));
  return 0;
}
