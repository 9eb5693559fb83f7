// The emoticon scan of a chat line: the pieces put together give the line,
// and every picture stands for its own code.

#include "Emoticons.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString line = ReplyText(data, size);
  QString joined;
  for (const EmoticonPiece& piece : ScanEmoticons(line)) {
    FUZZ_CHECK(!piece.text.isEmpty());
    if (piece.IsPicture()) FUZZ_CHECK(EmoticonCodeOf(piece.bitmap) == piece.text);
    joined += piece.text;
  }
  FUZZ_CHECK(joined == line);
  return 0;
}
