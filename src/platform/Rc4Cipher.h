#pragma once

#include <QByteArray>
#include <QString>

// RC4 with the key the remembered login has always used: the MD5 hash of a
// pass phrase's UTF-16LE bytes, of which a 40-bit key keeps the first five
// bytes and fills the rest of the 16-byte key with zeros.
class CRc4Cipher {
 public:
  static QByteArray DeriveKey(const QString& passPhrase);
  // RC4 is its own inverse: the same call encrypts and decrypts.
  static QByteArray Apply(const QByteArray& key, const QByteArray& data);
};
