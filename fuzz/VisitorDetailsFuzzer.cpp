// The visitor details reply, read and shown in the details panel.

#include "FuzzApplication.h"
#include "FuzzInput.h"
#include "Separators.h"
#include "SplitReply.h"
#include "VisitorDetails.h"
#include "VisitorDtlsDlg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EnsureFuzzApplication();
  static CVisitorDtlsDlg panel;
  VisitorDetails details;
  const QStringList pieces = SplitReply(ReplyText(data, size), kSepField);
  const bool read = VisitorDetails::FromReplyPieces(pieces, details);
  FUZZ_CHECK(read == (pieces.size() == VisitorDetails::kFieldCount));
  if (read) panel.ShowDetails(details);
  return 0;
}
