// The foot-prints reply: one page per field, each page and its time taken
// from its own field.

#include "FootPrintsReply.h"
#include "FuzzInput.h"
#include "Separators.h"
#include "SplitReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = ReplyText(data, size);
  const FootPrintsReply reply = FootPrintsReply::Parse(text);
  if (text.isEmpty() || text == kDisconnect) {
    FUZZ_CHECK(!reply.wellFormed && reply.pages.isEmpty());
    return 0;
  }
  const QStringList pieces = SplitReply(text, kSepField);
  FUZZ_CHECK(reply.wellFormed && reply.pages.size() == pieces.size());
  for (qsizetype i = 0; i < pieces.size(); ++i) {
    const FootPrint& f = reply.pages[i];
    FUZZ_CHECK(!f.page.contains(u' '));
    FUZZ_CHECK(f.page.size() + f.duration.size() <= pieces[i].size());
    FUZZ_CHECK(pieces[i].startsWith(f.page) && pieces[i].endsWith(f.duration));
  }
  return 0;
}
