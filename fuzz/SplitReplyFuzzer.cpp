// SplitReply with each of the protocol's separators, or one taken from the
// input: the pieces joined again give the text, and none holds the separator.

#include "FuzzInput.h"
#include "Separators.h"
#include "SplitReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const QString kSeparators[] = {kSepBlock,     kSepLine,     kSepField,    kSepSubField,
                                        kSepChatBlock, kSepChatLine, kSepChatType, kSepChatField};
  const int choice = data[0] % 9;
  QString text = ReplyText(data + 1, size - 1);
  QString separator;
  if (choice < 8) {
    separator = kSeparators[choice];
  } else {
    // A separator of the input's own: its first line.
    const qsizetype end = text.indexOf(u'\n');
    separator = end < 0 ? QString() : text.left(end);
    text = end < 0 ? text : text.mid(end + 1);
  }
  const QStringList pieces = SplitReply(text, separator);
  FUZZ_CHECK(!pieces.isEmpty());
  if (separator.isEmpty()) {
    FUZZ_CHECK(pieces == QStringList{text});
    return 0;
  }
  FUZZ_CHECK(pieces.join(separator) == text);
  for (const QString& piece : pieces) FUZZ_CHECK(!piece.contains(separator));
  return 0;
}
