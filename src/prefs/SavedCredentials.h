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
//
// Where the desktop has a secret service the password is kept there instead,
// under the key "login@site", and the record's password is empty: anyone who
// can read the settings file could otherwise decipher it. A record that
// holds its password (written without a secret service, or by an older
// version) is still read, and moved to the secret service at the next save.

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
  // The record that stored bytes of "Data" hold, its password empty where
  // the secret service keeps it; nothing when the bytes are damaged or hold
  // no login.
  static std::optional<Credentials> FromStoredForm(const QByteArray& data);

  // Stores the credentials: the password in the secret service where there
  // is one, else in "Data". When they cannot be stored the previous state stays.
  static bool Save(const Credentials& credentials);
  // The remembered credentials, if there are usable ones; passwordInData
  // tells whether "Data" itself held the password.
  static std::optional<Credentials> Load(bool* passwordInData = nullptr);
  // Deletes the password from the secret service and the whole "Login" key:
  // "Data" and "Secure" together.
  static void Forget();

  // The secret service's key of an operator's password.
  static QString SecretKey(const QString& loginId, const QString& siteId);

  // "Secure" is "1": the remembered login uses HTTPS.
  static bool ReadSecure();
  // Writes "Secure" only into an existing "Login" key.
  static void WriteSecureIfKeyExists(bool bSecure);
};
