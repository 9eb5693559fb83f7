#include "UrlEncode.h"

namespace {

void AppendByte(QString& out, unsigned byte) {
  static const char16_t kHex[] = u"0123456789ABCDEF";
  out += u'%';
  out += QChar(kHex[(byte >> 4) & 0x0F]);
  out += QChar(kHex[byte & 0x0F]);
}

// RFC 3986's unreserved characters, the only ones a query value may carry
// as they are: anything else ('?', '#', '%', a space) would be read as part
// of the address or as an escape by the server.
bool IsUnreserved(unsigned u) {
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' || u == '.' ||
         u == '_' || u == '~';
}

}  // namespace

QString UrlEncode(const QString& text) {
  QString out;
  out.reserve(text.size() * 3 / 2);
  for (const QChar ch : text) {
    const unsigned u = ch.unicode();
    if (IsUnreserved(u)) {
      out += ch;
    } else if (u < 0x80) {
      AppendByte(out, u);
    } else if (u < 0x800) {
      AppendByte(out, 0xC0 | (u >> 6));
      AppendByte(out, 0x80 | (u & 0x3F));
    } else {
      AppendByte(out, 0xE0 | (u >> 12));
      AppendByte(out, 0x80 | ((u >> 6) & 0x3F));
      AppendByte(out, 0x80 | (u & 0x3F));
    }
  }
  return out;
}
