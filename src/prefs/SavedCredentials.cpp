#include "SavedCredentials.h"

#include "Rc4Cipher.h"
#include "SecretStore.h"
#include "Separators.h"
#include "SettingsStore.h"
#include "SplitReply.h"

const QString CSavedCredentials::kPassPhrase = QStringLiteral("Varso");

namespace {

const QString kDataValue = QStringLiteral("Data");
const QString kSecureValue = QStringLiteral("Secure");
const QString kReversibleValue = QStringLiteral("ReversiblePassword");

QByteArray Utf16Le(const QString& text) {
  QByteArray bytes;
  bytes.reserve(text.size() * 2);
  for (const QChar c : text) {
    bytes.append(char(c.unicode() & 0xFF));
    bytes.append(char(c.unicode() >> 8));
  }
  return bytes;
}

// The bytes up to the first zero UTF-16 unit (at an even offset).
QByteArray UpToZeroUnit(const QByteArray& bytes) {
  qsizetype i = 0;
  while (i + 1 < bytes.size() && (bytes[i] != 0 || bytes[i + 1] != 0)) i += 2;
  return bytes.left(i);
}

QString FromUtf16Le(const QByteArray& bytes) {
  QString text;
  text.reserve(bytes.size() / 2);
  for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
    text.append(QChar(ushort(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8))));
  return text;
}

}  // namespace

bool EncryptText(const QString& plain, QByteArray& output, const QString& passPhrase) {
  const QByteArray bytes = Utf16Le(plain);
  if (bytes.size() + 2 > kCipherBufferBytes) return false;
  output = QByteArray(kCipherBufferBytes, '\0');
  const QByteArray cipher = CRc4Cipher::Apply(CRc4Cipher::DeriveKey(passPhrase), bytes);
  std::copy(cipher.begin(), cipher.end(), output.begin());
  return true;
}

bool DecryptText(const QByteArray& stored, QString& output, const QString& passPhrase) {
  const QByteArray cipher = UpToZeroUnit(stored);
  if (cipher.size() + 2 > kCipherBufferBytes) return false;
  output = FromUtf16Le(UpToZeroUnit(CRc4Cipher::Apply(CRc4Cipher::DeriveKey(passPhrase), cipher)));
  return true;
}

std::optional<QByteArray> CSavedCredentials::StoredForm(const Credentials& c) {
  const QString record = c.loginId + kSepField + c.siteId + kSepField + c.password;
  QByteArray buffer;
  if (!EncryptText(record, buffer, kPassPhrase)) return std::nullopt;
  const QByteArray cipher = UpToZeroUnit(buffer);
  // A zero unit inside the cipher would cut the record short when read.
  if (cipher.size() != record.size() * 2) return std::nullopt;
  return cipher + QByteArray(2, '\0');
}

QString CSavedCredentials::SecretKey(const QString& loginId, const QString& siteId) {
  return loginId + u'@' + siteId;
}

namespace {

// Forget() calls so far: a save that ends after one stores nothing.
int g_nForgets = 0;

bool WriteData(const QByteArray& data) {
  CSettingsStore store;
  return store.CreateKey(CSettingsStore::kLoginKey) && store.WriteBinary(CSettingsStore::kLoginKey, kDataValue, data);
}

}  // namespace

std::optional<Credentials> CSavedCredentials::FromStoredForm(const QByteArray& data) {
  // An odd number of bytes cannot be the stored form: the value is damaged.
  if (data.isEmpty() || data.size() > kCipherBufferBytes || data.size() % 2 != 0) return std::nullopt;
  QString record;
  if (!DecryptText(data, record, kPassPhrase) || record.isEmpty()) return std::nullopt;
  const QStringList pieces = SplitReply(record, kSepField);
  // Only a complete login was ever stored; anything less is damage.
  if (pieces.size() < 3 || pieces[0].isEmpty() || pieces[1].isEmpty()) return std::nullopt;
  // The password is all that follows the second separator: taking only the
  // third piece cut a password holding "<fld>" (the stored record itself was
  // always whole, so records written before read whole too).
  return Credentials{pieces[0], pieces[1], pieces.mid(2).join(kSepField)};
}

void CSavedCredentials::Save(const Credentials& credentials, MayKeepReversible mayKeepReversible, SaveDone done) {
  // The cipher of the record without its password is the start of the one
  // with it: when that cannot be stored, neither can the whole record.
  const std::optional<QByteArray> withoutPassword = StoredForm({credentials.loginId, credentials.siteId, QString()});
  if (!withoutPassword) {
    if (done) done(false, CSecretStore::Status::Ok);
    return;
  }
  const QString key = SecretKey(credentials.loginId, credentials.siteId);
  const int forgetsBefore = g_nForgets;
  CSecretStore::Get().Write(key, credentials.password,
                            [credentials, key, forgetsBefore, withoutPassword = *withoutPassword,
                             mayKeepReversible = std::move(mayKeepReversible),
                             done = std::move(done)](CSecretStore::Status status) {
                              auto finish = [&done, status](bool bStored) {
                                if (done) done(bStored, status);
                              };
                              const bool bInKeyring = status == CSecretStore::Status::Ok;
                              // Forgotten while the service was busy: the login must not come back.
                              if (forgetsBefore != g_nForgets) {
                                if (bInKeyring) CSecretStore::Get().Remove(key, [](CSecretStore::Status) {});
                                finish(false);
                                return;
                              }
                              // A keyring that is there but failed gets no second chance on
                              // disk: the file would hold the password in a reversible form.
                              std::optional<QByteArray> data = withoutPassword;
                              if (status == CSecretStore::Status::Unavailable && mayKeepReversible &&
                                  mayKeepReversible() && forgetsBefore == g_nForgets)
                                data = StoredForm(credentials);
                              finish(forgetsBefore == g_nForgets && data && WriteData(*data));
                            });
}

std::optional<bool> CSavedCredentials::ReversibleChoice() {
  const std::optional<QString> choice = CSettingsStore().ReadText(CSettingsStore::kRootKey, kReversibleValue);
  if (!choice) return std::nullopt;
  return *choice == QStringLiteral("1");
}

void CSavedCredentials::SetReversibleChoice(bool bAllowed) {
  CSettingsStore store;
  store.CreateKey(CSettingsStore::kRootKey);
  store.WriteText(CSettingsStore::kRootKey, kReversibleValue, bAllowed ? QStringLiteral("1") : QStringLiteral("0"));
}

std::optional<Credentials> CSavedCredentials::Record() {
  const std::optional<QByteArray> data = CSettingsStore().ReadBinary(CSettingsStore::kLoginKey, kDataValue);
  return data ? FromStoredForm(*data) : std::nullopt;
}

void CSavedCredentials::Load(LoadDone done) {
  std::optional<Credentials> record = Record();
  if (!record || !record->password.isEmpty()) {
    const bool bPasswordInData = record.has_value();
    done({std::move(record), bPasswordInData, CSecretStore::Status::Ok});
    return;
  }
  // A keyring that is locked or gone leaves the record alone: the next
  // start may find it again.
  CSecretStore::Get().Read(SecretKey(record->loginId, record->siteId),
                           [record = *record, done = std::move(done)](const CSecretStore::ReadResult& secret) mutable {
                             Loaded loaded{std::nullopt, false, secret.status};
                             if (secret.status == CSecretStore::Status::Ok && !secret.secret.isEmpty()) {
                               record.password = secret.secret;
                               loaded.credentials = std::move(record);
                             }
                             done(loaded);
                           });
}

void CSavedCredentials::Forget() {
  ++g_nForgets;
  // Whichever form "Data" has, a password under its key may exist (saved
  // before the service failed, say): it goes too, whenever the service
  // gets to it. Nobody waits for that.
  const std::optional<Credentials> record = Record();
  CSettingsStore().DeleteKey(CSettingsStore::kLoginKey);
  if (record) CSecretStore::Get().Remove(SecretKey(record->loginId, record->siteId), [](CSecretStore::Status) {});
}

bool CSavedCredentials::ReadSecure() {
  return CSettingsStore().ReadText(CSettingsStore::kLoginKey, kSecureValue) == QStringLiteral("1");
}

void CSavedCredentials::WriteSecureIfKeyExists(bool bSecure) {
  // The store writes only into an existing key.
  CSettingsStore().WriteText(CSettingsStore::kLoginKey, kSecureValue, bSecure ? QStringLiteral("1") : QStringLiteral("0"));
}
