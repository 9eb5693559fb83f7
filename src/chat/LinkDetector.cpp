#include "LinkDetector.h"

#include <QRegularExpression>

namespace {

// A closing bracket that opens nowhere in the address is the sentence's,
// as are the marks that end a sentence or a quote.
qsizetype TrimmedLength(QStringView link) {
  qsizetype n = link.size();
  while (n > 0) {
    const QChar last = link[n - 1];
    if (QStringLiteral(".,;:!?'\"").contains(last)) {
      --n;
    } else if (last == u')' && link.first(n).count(u'(') < link.first(n).count(u')')) {
      --n;
    } else {
      break;
    }
  }
  return n;
}

}  // namespace

QList<TextLink> FindLinks(const QString& text) {
  static const QRegularExpression kLink(QStringLiteral("(https?://|ftp://|mailto:|www\\.)[^\\s<>\"]+"),
                                        QRegularExpression::CaseInsensitiveOption);
  QList<TextLink> links;
  for (auto it = kLink.globalMatch(text); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    // Part of a longer word ("xwww.a.b") is no address.
    if (m.capturedStart() > 0 && text[m.capturedStart() - 1].isLetterOrNumber()) continue;
    const qsizetype length = TrimmedLength(QStringView(text).mid(m.capturedStart(), m.capturedLength()));
    // The scheme alone ("http://") is no address.
    if (length > m.capturedLength(1)) links.append({m.capturedStart(), length});
  }
  return links;
}
