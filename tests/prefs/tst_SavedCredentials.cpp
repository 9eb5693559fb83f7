// The remembered login in the settings store.
#include "Rc4Cipher.h"
#include "RecordingSecretStore.h"
#include "SavedCredentials.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QTest>

namespace {

// Computed apart from this code (by a separate RC4 and MD5): the cipher of
// the UTF-16LE record "a<fld>b<fld>c" under the pass phrase's 40-bit key.
const QByteArray kCipherOfABC = QByteArray::fromHex("891f343d0c1a56af7e39edb2685d8d50ed2eef427d6b0d0f9f2b");
const QByteArray kVarsoKey = QByteArray::fromHex("5035815bf00000000000000000000000");

QByteArray StoredData() {
  return CSettingsStore().ReadBinary(CSettingsStore::kLoginKey, "Data").value_or(QByteArray("absent"));
}

// The record "Data" holds, deciphered.
QString StoredRecord() {
  QString record;
  return DecryptText(StoredData(), record, "Varso") ? record : QString("undecipherable");
}

// Save and Load where they finish before they return: without a secret
// service, or with the recording one answering at once.
bool SaveNow(const Credentials& credentials) {
  std::optional<bool> stored;
  CSavedCredentials::Save(
      credentials, [] { return true; }, [&stored](bool bStored, CSecretStore::Status) { stored = bStored; });
  if (!stored) QTest::qFail("Save did not finish at once", __FILE__, __LINE__);
  return stored.value_or(false);
}

std::optional<Credentials> LoadNow(bool* passwordInData = nullptr) {
  std::optional<CSavedCredentials::Loaded> loaded;
  CSavedCredentials::Load([&loaded](const CSavedCredentials::Loaded& answer) { loaded = answer; });
  if (!loaded) {
    QTest::qFail("Load did not finish at once", __FILE__, __LINE__);
    return std::nullopt;
  }
  if (passwordInData) *passwordInData = loaded->bPasswordInData;
  return loaded->credentials;
}

}  // namespace

class TestSavedCredentials : public QObject {
  Q_OBJECT

 private slots:
  void rc4AndKey() {
    QCOMPARE(CRc4Cipher::Apply("Key", "Plaintext"), QByteArray::fromHex("bbf316e8d940af0ad3"));
    QCOMPARE(CRc4Cipher::DeriveKey("Varso"), kVarsoKey);
    QCOMPARE(CRc4Cipher::Apply(kVarsoKey, CRc4Cipher::Apply(kVarsoKey, "round trip")), QByteArray("round trip"));
  }

  void encryptAndDecrypt() {
    QByteArray buffer;
    QVERIFY(EncryptText("a<fld>b<fld>c", buffer, "Varso"));
    QCOMPARE(buffer.size(), 200);
    QCOMPARE(buffer.left(26), kCipherOfABC);
    QCOMPARE(buffer.mid(26), QByteArray(174, '\0'));
    QString plain;
    QVERIFY(DecryptText(kCipherOfABC + QByteArray(2, '\0'), plain, "Varso"));
    QCOMPARE(plain, QString("a<fld>b<fld>c"));
    // 99 units fit beside the terminator, 100 do not.
    QVERIFY(EncryptText(QString(99, u'x'), buffer, "Varso"));
    QVERIFY(!EncryptText(QString(100, u'x'), buffer, "Varso"));
  }

  void saveWritesTheCipherAndTwoZeroBytes() {
    CTestSettingsFolder folder;
    QVERIFY(SaveNow({"a", "b", "c"}));
    QCOMPARE(StoredData(), kCipherOfABC + QByteArray(2, '\0'));
    const auto loaded = LoadNow();
    QVERIFY(loaded.has_value());
    QCOMPARE(loaded->loginId, QString("a"));
    QCOMPARE(loaded->siteId, QString("b"));
    QCOMPARE(loaded->password, QString("c"));
  }

  void awkwardPasswordsRoundTrip() {
    CTestSettingsFolder folder;
    const Credentials c{"op 1", "1001", QString::fromUtf8("p a#s%s+&=Жж東京")};
    QVERIFY(SaveNow(c));
    QCOMPARE(LoadNow()->password, c.password);
  }

  // A password holding the record's separator comes back whole, and so does
  // one an older version wrote (the same bytes: only the reading cut it).
  void passwordsHoldingTheSeparatorRoundTrip_data() {
    QTest::addColumn<QString>("password");
    QTest::newRow("the separator alone") << "<fld>";
    QTest::newRow("inside") << "pa<fld>ss";
    QTest::newRow("at the end") << "pw<fld>";
    QTest::newRow("at the start, twice") << "<fld><fld>pw";
  }
  void passwordsHoldingTheSeparatorRoundTrip() {
    QFETCH(QString, password);
    CTestSettingsFolder folder;
    QVERIFY(SaveNow({"anna", "1001", password}));
    QCOMPARE(LoadNow()->password, password);
    QCOMPARE(CSavedCredentials::Record()->siteId, QString("1001"));

    // "Data" exactly as an older version wrote it, read whole.
    const QString record = "anna<fld>1001<fld>" + password;
    QByteArray old;
    QVERIFY(EncryptText(record, old, "Varso"));
    CSettingsStore().WriteBinary(CSettingsStore::kLoginKey, "Data", old.left(record.size() * 2) + QByteArray(2, '\0'));
    const auto loaded = LoadNow();
    QVERIFY(loaded.has_value());
    QCOMPARE(loaded->loginId, QString("anna"));
    QCOMPARE(loaded->siteId, QString("1001"));
    QCOMPARE(loaded->password, password);
  }

  void whatTheStoredFormCannotHoldIsNotStored() {
    CTestSettingsFolder folder;
    QVERIFY(SaveNow({"a", "b", "c"}));
    // "a<fld>b<fld>" is 12 units: a password of 87 makes 99 and fits, one more does not.
    QVERIFY(SaveNow({"a", "b", QString(87, u'p')}));
    QCOMPARE(LoadNow()->password, QString(87, u'p'));
    QVERIFY(!SaveNow({"a", "b", QString(88, u'p')}));
    QCOMPARE(LoadNow()->password, QString(87, u'p'));  // the previous state stays, whole

    // This password makes the cipher's 18th unit zero: stored, it would come
    // back cut short, so it is not stored at all.
    const Credentials zeroInside{"op", "1001", QString("x") + QChar(0x46BA) + "y"};
    QVERIFY(!CSavedCredentials::StoredForm(zeroInside).has_value());
    QVERIFY(!SaveNow(zeroInside));
    QCOMPARE(LoadNow()->password, QString(87, u'p'));
  }

  void damagedOrForeignDataIsNotUsed_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("only a terminator") << QByteArray(2, '\0');
    QTest::newRow("foreign bytes") << QByteArray::fromHex("00ff13377331deadbeef0102");
    QTest::newRow("odd length") << kCipherOfABC.left(25);
    QTest::newRow("too long") << QByteArray(202, 'x');
    QTest::newRow("two pieces") << CRc4Cipher::Apply(kVarsoKey, QByteArray("a\0<\0f\0l\0d\0>\0b\0", 14));
    QTest::newRow("cut record") << kCipherOfABC.left(12) + QByteArray(2, '\0') + kCipherOfABC.mid(14);
  }
  void damagedOrForeignDataIsNotUsed() {
    QFETCH(QByteArray, data);
    CTestSettingsFolder folder;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kLoginKey);
    store.WriteBinary(CSettingsStore::kLoginKey, "Data", data);
    QVERIFY(!LoadNow().has_value());
  }

  void aTextValueIsNotALogin() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kLoginKey);
    store.WriteText(CSettingsStore::kLoginKey, "Data", "a<fld>b<fld>c");
    QVERIFY(!LoadNow().has_value());
  }

  void forgettingDeletesTheWholeKey() {
    CTestSettingsFolder folder;
    QVERIFY(SaveNow({"a", "b", "c"}));
    CSavedCredentials::WriteSecureIfKeyExists(true);
    QVERIFY(CSavedCredentials::ReadSecure());
    CSavedCredentials::Forget();
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kLoginKey));
    QVERIFY(!LoadNow().has_value());
    QVERIFY(!CSavedCredentials::ReadSecure());
  }

  void withASecretServiceThePasswordIsKeptThere() {
    CTestSettingsFolder folder;
    CRecordingSecretStore secrets;
    QVERIFY(SaveNow({"anna", "1001", "s3cret"}));
    QCOMPARE(secrets.secrets, (QMap<QString, QString>{{"anna@1001", "s3cret"}}));
    QCOMPARE(StoredRecord(), QString("anna<fld>1001<fld>"));
    bool passwordInData = true;
    const auto loaded = LoadNow(&passwordInData);
    QVERIFY(loaded.has_value());
    QCOMPARE(loaded->password, QString("s3cret"));
    QVERIFY(!passwordInData);
    // The settings file only says where to look: the service has the secret.
    secrets.secrets.clear();
    QVERIFY(!LoadNow().has_value());

    QVERIFY(SaveNow({"anna", "1001", "s3cret"}));
    CSavedCredentials::WriteSecureIfKeyExists(true);
    CSavedCredentials::Forget();
    QVERIFY(secrets.secrets.isEmpty());
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kLoginKey));
  }

  // The password reaches the settings file only where there is no secret
  // service at all, and only when allowed; one that fails to take it keeps
  // it off the disk. A password that was stored stays usable through later
  // failures.
  void aFailingSecretServiceKeepsThePasswordOffTheDisk_data() {
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("recordAfterSave");
    QTest::newRow("no secret service, allowed") << "unavailable" << "a<fld>1<fld>pw";
    QTest::newRow("no secret service, not allowed") << "unavailable, not allowed" << "a<fld>1<fld>";
    QTest::newRow("writing fails") << "write" << "a<fld>1<fld>";
    QTest::newRow("reading fails for a while") << "read" << "a<fld>1<fld>";
    QTest::newRow("removing fails") << "remove" << "a<fld>1<fld>";
  }
  void aFailingSecretServiceKeepsThePasswordOffTheDisk() {
    QFETCH(QString, failure);
    QFETCH(QString, recordAfterSave);
    const bool bPasswordKept = failure != "write" && failure != "unavailable, not allowed";
    CTestSettingsFolder folder;
    CRecordingSecretStore secrets;
    secrets.available = false;
    QVERIFY(SaveNow({"a", "1", "old"}));  // a password the file held before
    secrets.available = !failure.startsWith("unavailable");
    secrets.failWrites = failure == "write";
    secrets.failRemoves = failure == "remove";
    std::optional<bool> stored;
    CSavedCredentials::Save(
        {"a", "1", "pw"}, [&] { return failure == "unavailable"; },
        [&stored](bool bStored, CSecretStore::Status) { stored = bStored; });
    QVERIFY(stored == true);
    QCOMPARE(StoredRecord(), recordAfterSave);

    secrets.failReads = failure == "read";
    // A locked keyring gives nothing now, and keeps the record for later.
    QCOMPARE(LoadNow().has_value(), bPasswordKept && failure != "read");
    secrets.failReads = false;
    QCOMPARE(LoadNow().has_value(), bPasswordKept);
    if (bPasswordKept) QCOMPARE(LoadNow()->password, QString("pw"));

    CSavedCredentials::Forget();
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kLoginKey));
    QVERIFY(!LoadNow().has_value());
  }

  // A keyring that takes its time: "Data" changes only once it answered,
  // Load waits for it where it must, and forgetting waits for nothing.
  void aSlowKeyringIsWaitedForInTheBackground_data() {
    QTest::addColumn<bool>("writeFails");
    QTest::addColumn<QString>("recordAfterSave");
    QTest::newRow("the keyring takes the password") << false << "a<fld>1<fld>";
    QTest::newRow("the keyring fails at last") << true << "a<fld>1<fld>";
  }
  void aSlowKeyringIsWaitedForInTheBackground() {
    QFETCH(bool, writeFails);
    QFETCH(QString, recordAfterSave);
    CTestSettingsFolder folder;
    QVERIFY(SaveNow({"a", "1", "old"}));  // before there was a keyring
    CRecordingSecretStore secrets;
    secrets.holdAnswers = true;
    secrets.failWrites = writeFails;
    std::optional<bool> stored;
    CSavedCredentials::Save(
        {"a", "1", "pw"}, [] { return true; }, [&stored](bool bStored, CSecretStore::Status) { stored = bStored; });
    QVERIFY(!stored.has_value());
    QCOMPARE(StoredRecord(), QString("a<fld>1<fld>old"));
    secrets.ReleaseAnswers();
    QVERIFY(stored == true);
    QCOMPARE(StoredRecord(), recordAfterSave);

    // Neither the old nor the new password is in "Data": the keyring is asked.
    std::optional<CSavedCredentials::Loaded> loaded;
    CSavedCredentials::Load([&loaded](const CSavedCredentials::Loaded& answer) { loaded = answer; });
    QVERIFY(!loaded.has_value());
    secrets.ReleaseAnswers();
    QVERIFY(loaded.has_value() && !loaded->bPasswordInData);
    QCOMPARE(loaded->credentials.has_value(), !writeFails);
    if (!writeFails) QCOMPARE(loaded->credentials->password, QString("pw"));

    CSavedCredentials::Forget();
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kLoginKey));
    secrets.ReleaseAnswers();
    QVERIFY(secrets.secrets.isEmpty());
  }

  // Logging out while the keyring still works on the password being saved:
  // the login stays forgotten, in the settings file and in the keyring.
  void forgettingWinsOverAPendingSave() {
    CTestSettingsFolder folder;
    CRecordingSecretStore secrets;
    secrets.holdAnswers = true;
    std::optional<bool> stored;
    CSavedCredentials::Save(
        {"anna", "1001", "pw"}, [] { return true; }, [&stored](bool bStored, CSecretStore::Status) { stored = bStored; });
    CSavedCredentials::Forget();
    secrets.ReleaseAnswers();  // the password reaches the keyring...
    QVERIFY(stored == false);
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kLoginKey));
    QCOMPARE(secrets.HeldAnswers(), 1);
    secrets.ReleaseAnswers();  // ...and leaves it again
    QVERIFY(secrets.secrets.isEmpty());

    secrets.holdAnswers = false;
    QVERIFY(SaveNow({"anna", "1001", "pw"}));
    QCOMPARE(secrets.secrets.size(), 1);
  }

  void secureIsWrittenOnlyIntoAnExistingKey() {
    CTestSettingsFolder folder;
    CSavedCredentials::WriteSecureIfKeyExists(true);
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kLoginKey));
    CSettingsStore().CreateKey(CSettingsStore::kLoginKey);
    CSavedCredentials::WriteSecureIfKeyExists(true);
    QCOMPARE(CSettingsStore().ReadText(CSettingsStore::kLoginKey, "Secure").value(), QString("1"));
    CSavedCredentials::WriteSecureIfKeyExists(false);
    QCOMPARE(CSettingsStore().ReadText(CSettingsStore::kLoginKey, "Secure").value(), QString("0"));
    QVERIFY(!CSavedCredentials::ReadSecure());
  }
};

QTEST_GUILESS_MAIN(TestSavedCredentials)
#include "tst_SavedCredentials.moc"
