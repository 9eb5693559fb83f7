// The transcript's link detection on a chat line: links lie inside the
// line, in order, apart, and each starts as an address does.

#include "FuzzInput.h"
#include "LinkDetector.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString line = ReplyText(data, size);
  qsizetype end = 0;
  for (const TextLink& link : FindLinks(line)) {
    FUZZ_CHECK(link.start >= end && link.length > 0 && link.start + link.length <= line.size());
    const QString text = line.mid(link.start, link.length);
    FUZZ_CHECK(!text.contains(u' ') && !text.contains(u'\n'));
    const QString lower = text.toLower();
    FUZZ_CHECK(lower.startsWith(QStringLiteral("http://")) || lower.startsWith(QStringLiteral("https://")) ||
               lower.startsWith(QStringLiteral("ftp://")) || lower.startsWith(QStringLiteral("mailto:")) ||
               lower.startsWith(QStringLiteral("www.")));
    end = link.start + link.length;
  }
  return 0;
}
