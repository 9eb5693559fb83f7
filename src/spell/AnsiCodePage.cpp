#include "AnsiCodePage.h"

namespace {

// Characters of bytes 0x80 to 0x9F; the rest of the code page equals
// Latin-1. The five unassigned bytes map to themselves.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char EncodeUnit(char16_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return char(u);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == u) return char(0x80 + i);
  }
  return '?';
}

}  // namespace

QByteArray ToAnsiCodePage(QStringView text) {
  QByteArray out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    // A surrogate pair is one character outside the code page: one '?'.
    if (QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) ++i;
    out += QChar::isSurrogate(u) ? '?' : EncodeUnit(u);
  }
  return out;
}

QString FromAnsiCodePage(QByteArrayView bytes) {
  QString out(bytes.size(), Qt::Uninitialized);
  QChar* dst = out.data();
  for (const char c : bytes) {
    const unsigned char b = static_cast<unsigned char>(c);
    *dst++ = QChar(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b));
  }
  return out;
}

QByteArray WordInAnsiCodePage(QStringView word) {
  const QByteArray bytes = ToAnsiCodePage(word);
  return bytes.contains('\0') || FromAnsiCodePage(bytes) != word ? QByteArray() : bytes;
}
