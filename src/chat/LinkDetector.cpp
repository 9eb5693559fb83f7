#include "LinkDetector.h"

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

// Whether the text at i starts with the lower-case ASCII word (case ignored).
bool HasPrefixAt(QStringView text, qsizetype i, const char* word) {
  for (; *word; ++word, ++i) {
    if (i >= text.size()) return false;
    const char16_t c = text[i].unicode();
    const char16_t w = char16_t(*word);
    if (c != w && !(w >= u'a' && w <= u'z' && (c | 0x20) == w)) return false;
  }
  return true;
}

// The length of the address prefix at i (ASCII case ignored), or 0. The
// first letter picks the one prefix to compare: most letters start none.
qsizetype SchemeLength(QStringView text, qsizetype i) {
  switch (text[i].unicode() | 0x20) {
    case u'h':
      if (HasPrefixAt(text, i, "http://")) return 7;
      return HasPrefixAt(text, i, "https://") ? 8 : 0;
    case u'f':
      return HasPrefixAt(text, i, "ftp://") ? 6 : 0;
    case u'm':
      return HasPrefixAt(text, i, "mailto:") ? 7 : 0;
    case u'w':
      return HasPrefixAt(text, i, "www.") ? 4 : 0;
    default:
      return 0;
  }
}

bool EndsAddress(QChar c) {
  switch (c.unicode()) {
    case u' ': case u'\t': case u'\n': case u'\v': case u'\f': case u'\r': case u'<': case u'>': case u'"':
      return true;
    default:
      return false;
  }
}

}  // namespace

// A hand-written scan: a pattern search per chat line cost a tenth of
// adding the line to the transcript, and nearly every line holds no address.
QList<TextLink> FindLinks(const QString& text) {
  QList<TextLink> links;
  const QStringView view(text);
  for (qsizetype i = 0; i < view.size(); ++i) {
    const qsizetype scheme = SchemeLength(view, i);
    if (scheme == 0) continue;
    qsizetype end = i + scheme;
    while (end < view.size() && !EndsAddress(view[end])) ++end;
    if (end == i + scheme) continue;  // the scheme alone ("http://") is no address
    // Part of a longer word ("xwww.a.b") is no address, nor is anything in it.
    if (i == 0 || !view[i - 1].isLetterOrNumber()) {
      const qsizetype length = TrimmedLength(view.sliced(i, end - i));
      if (length > scheme) links.append({i, length});
    }
    i = end - 1;
  }
  return links;
}
