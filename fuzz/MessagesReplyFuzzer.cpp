// The messages reply, shown in a message window as the console shows it.

#include "FuzzApplication.h"
#include "FuzzInput.h"
#include "MessageDlg.h"
#include "Separators.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EnsureFuzzApplication();
  const QString text = ReplyText(data, size);
  CMessageDlg* window = CMessageDlg::ShowMessagesReply(text);
  if (text.isEmpty() || text == kDisconnect) {
    FUZZ_CHECK(window == nullptr);
    return 0;
  }
  FUZZ_CHECK(window != nullptr);
  delete window;
  return 0;
}
