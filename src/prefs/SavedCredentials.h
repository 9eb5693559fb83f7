#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The remembered login: site id, login id and password, encrypted with a key
// derived from a fixed pass phrase, in the value "Data" of the settings key
// "Software\TVR\Client\Login" (beside "Secure").
//
// The stored form is the RC4 cipher of the UTF-16LE record
// "login<fld>site<fld>password", taken as a zero-terminated UTF-16 string,
// followed by two zero bytes: 200 bytes at most.

constexpr int kCipherBufferBytes = 200;

// Encrypts the text's UTF-16LE bytes into a zeroed 200-byte buffer. False
// when the text does not fit beside its two-byte terminator.
bool EncryptText(const QString& plain, QByteArray& output, const QString& passPhrase);
// Decrypts stored bytes (read up to their first zero UTF-16 unit) and gives
// the text up to its first zero unit. False when the stored bytes are longer
// than the buffer.
bool DecryptText(const QByteArray& stored, QString& output, const QString& passPhrase);

struct Credentials {
  QString loginId;
  QString siteId;
  QString password;
};

class CSavedCredentials {
 public:
  static const QString kPassPhrase;

  // The bytes that "Data" holds for these credentials, or nothing when the
  // stored form cannot hold them: a record longer than 99 UTF-16 units, or
  // a cipher with a zero unit inside, which would be stored cut.
  static std::optional<QByteArray> StoredForm(const Credentials& credentials);

  // Stores the credentials; when they cannot be stored the previous state stays.
  static bool Save(const Credentials& credentials);
  // The remembered credentials, if there are usable ones.
  static std::optional<Credentials> Load();
  // Deletes the whole "Login" key: "Data" and "Secure" together.
  static void Forget();

  // "Secure" is "1": the remembered login uses HTTPS.
  static bool ReadSecure();
  // Writes "Secure" only into an existing "Login" key.
  static void WriteSecureIfKeyExists(bool bSecure);
};
