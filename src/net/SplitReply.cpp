#include "SplitReply.h"

QStringList SplitReply(const QString& text, const QString& separator) {
  QStringList pieces;
  if (separator.isEmpty()) {
    pieces.append(text);
    return pieces;
  }
  const QStringView all(text);
  qsizetype start = 0;
  for (;;) {
    const qsizetype found = all.indexOf(separator, start);
    if (found < 0) break;
    pieces.append(all.sliced(start, found - start).toString());
    start = found + separator.size();
  }
  pieces.append(all.sliced(start).toString());
  return pieces;
}
