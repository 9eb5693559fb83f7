#include "QueryText.h"

namespace {

// A three-byte encoding of a surrogate half: ED A0..BF xx.
bool IsSurrogateHalf(const std::string& s, size_t i, unsigned char lowRange) {
  return i + 2 < s.size() && static_cast<unsigned char>(s[i]) == 0xED &&
         (static_cast<unsigned char>(s[i + 1]) & 0xF0) == lowRange &&
         (static_cast<unsigned char>(s[i + 2]) & 0xC0) == 0x80;
}

unsigned HalfValue(const std::string& s, size_t i) {
  return 0xD000 | ((static_cast<unsigned char>(s[i + 1]) & 0x3F) << 6) | (static_cast<unsigned char>(s[i + 2]) & 0x3F);
}

}  // namespace

QString DecodeQueryValue(const std::string& bytes) {
  if (bytes.find('\xED') == std::string::npos) return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    if (IsSurrogateHalf(bytes, i, 0xA0) && IsSurrogateHalf(bytes, i + 3, 0xB0)) {
      const unsigned high = HalfValue(bytes, i), low = HalfValue(bytes, i + 3);
      const unsigned cp = 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
      out += char(0xF0 | (cp >> 18));
      out += char(0x80 | ((cp >> 12) & 0x3F));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
      i += 6;
    } else {
      out += bytes[i++];
    }
  }
  return QString::fromUtf8(out.data(), qsizetype(out.size()));
}
