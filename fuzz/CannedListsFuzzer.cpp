// The canned-lists reply, and finding in it as the chat window's filter does.

#include "CannedLists.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = ReplyText(data, size);
  const CannedLists lists = CannedLists::Parse(text);
  // The filter's words from the reply's own first line.
  const QStringList words = FoldedForSearch(text.left(text.indexOf(u'\n'))).split(u' ', Qt::SkipEmptyParts);
  for (const CannedResponse& r : lists.responses) {
    const QStringList texts{r.category, r.title, r.text};
    FUZZ_CHECK(MatchesFilter({}, texts));
    (void)MatchesFilter(words, texts);
  }
  for (const PushUrl& p : lists.pushUrls) (void)MatchesFilter(words, {p.title, p.url});
  return 0;
}
