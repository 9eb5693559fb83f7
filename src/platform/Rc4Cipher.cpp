#include "Rc4Cipher.h"

#include <QCryptographicHash>

#include <array>
#include <utility>

QByteArray CRc4Cipher::DeriveKey(const QString& passPhrase) {
  QByteArray utf16le;
  for (const QChar c : passPhrase) {
    utf16le.append(char(c.unicode() & 0xFF));
    utf16le.append(char(c.unicode() >> 8));
  }
  const QByteArray hash = QCryptographicHash::hash(utf16le, QCryptographicHash::Md5);
  return hash.left(5) + QByteArray(11, '\0');
}

QByteArray CRc4Cipher::Apply(const QByteArray& key, const QByteArray& data) {
  if (key.isEmpty()) return data;
  std::array<unsigned char, 256> s;
  for (int i = 0; i < 256; ++i) s[i] = static_cast<unsigned char>(i);
  for (int i = 0, j = 0; i < 256; ++i) {
    j = (j + s[i] + static_cast<unsigned char>(key[i % key.size()])) & 0xFF;
    std::swap(s[i], s[j]);
  }
  QByteArray out(data.size(), Qt::Uninitialized);
  for (qsizetype n = 0, i = 0, j = 0; n < data.size(); ++n) {
    i = (i + 1) & 0xFF;
    j = (j + s[i]) & 0xFF;
    std::swap(s[i], s[j]);
    out[n] = char(static_cast<unsigned char>(data[n]) ^ s[(s[i] + s[j]) & 0xFF]);
  }
  return out;
}
