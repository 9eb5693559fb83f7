#pragma once

#include "SecretStore.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// The remembered login: site id, login id and password, encrypted with a key
// derived from a fixed pass phrase, in the value "Data" of the settings key
// "Software\TVR\Client\Login" (beside "Secure").
//
// The stored form is the RC4 cipher of the UTF-16LE record
// "login<fld>site<fld>password", taken as a zero-terminated UTF-16 string,
// followed by two zero bytes: 200 bytes at most.
// The password is everything after the second "<fld>", so that a password
// holding the separator comes back whole (login and site ids are the
// service's, and hold none).
//
// Where the desktop has a secret service the password is kept there instead,
// under the key "login@site", and the record's password is empty: anyone who
// can read the settings file could otherwise decipher it. Only where there
// is no secret service at all does the password go into "Data", and only
// when the operator allowed it; a secret service that fails, is locked or
// does not answer in time keeps it out of the file. A record that holds its
// password (written without a secret service, or by an older version) is
// still read, and moved to the secret service at the next save.

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
  // is one. Without any secret service, mayKeepReversible is asked (it may
  // ask the operator) whether the password may go into "Data"; if not, or
  // when the secret service failed, "Data" holds the login without its
  // password (replacing any password it held). The secret service answers
  // later, so this finishes in the background; done, if given, then tells
  // whether the login was stored and how the secret service answered. When
  // nothing can be stored the previous state stays, and a Forget() before
  // the end wins: the saving then stores nothing.
  using MayKeepReversible = std::function<bool()>;
  using SaveDone = std::function<void(bool bStored, CSecretStore::Status keyring)>;
  static void Save(const Credentials& credentials, MayKeepReversible mayKeepReversible, SaveDone done = {});

  // The operator's answer to keeping the password in "Data" where there is
  // no secret service, asked once and kept beside the other settings;
  // nothing while never asked.
  static std::optional<bool> ReversibleChoice();
  static void SetReversibleChoice(bool bAllowed);

  // The record "Data" holds: the login id, the site id and, where the secret
  // service does not keep it, the password. Nothing when there is no usable one.
  static std::optional<Credentials> Record();

  struct Loaded {
    std::optional<Credentials> credentials;  // usable, password included
    bool bPasswordInData = false;            // "Data" itself held the password
    // How the secret service answered when it was asked for the password.
    CSecretStore::Status keyring = CSecretStore::Status::Ok;
  };
  using LoadDone = std::function<void(const Loaded&)>;
  // Hands the remembered credentials to done: at once when "Data" holds the
  // password (or nothing is remembered), else when the secret service answers.
  static void Load(LoadDone done);

  // Deletes the whole "Login" key ("Data" and "Secure" together) at once,
  // and the password from the secret service in the background.
  static void Forget();

  // The secret service's key of an operator's password.
  static QString SecretKey(const QString& loginId, const QString& siteId);

  // "Secure" is "1": the remembered login uses HTTPS.
  static bool ReadSecure();
  // Writes "Secure" only into an existing "Login" key.
  static void WriteSecureIfKeyExists(bool bSecure);
};
