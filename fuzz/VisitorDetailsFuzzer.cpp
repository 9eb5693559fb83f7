// The visitor details reply: read only from exactly 19 fields, each of them
// one field of the reply.

#include "FuzzInput.h"
#include "Separators.h"
#include "SplitReply.h"
#include "VisitorDetails.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = ReplyText(data, size);
  const VisitorDetails details = VisitorDetails::Parse(text);
  const QStringList pieces = SplitReply(text, kSepField);
  FUZZ_CHECK(details.wellFormed == (pieces.size() == VisitorDetails::kFieldCount));
  for (const QString& field : details.fields) {
    if (!details.wellFormed) FUZZ_CHECK(field.isEmpty());
    FUZZ_CHECK(field.isEmpty() || pieces.contains(field));
  }
  return 0;
}
