// The settings store: keys, text and binary values, deletion, the file on disk.
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>

class TestSettingsStore : public QObject {
  Q_OBJECT

 private slots:
  void absentKeyReadsAsAbsentValues() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    QCOMPARE(store.FilePath(), folder.SettingsFile());
    QVERIFY(!store.KeyExists(CSettingsStore::kRootKey));
    QVERIFY(!store.ReadText(CSettingsStore::kRootKey, "SpellCheck").has_value());
    QVERIFY(!store.ReadBinary(CSettingsStore::kLoginKey, "Data").has_value());
    // Reading never creates the file.
    QVERIFY(!QFile::exists(folder.SettingsFile()));
  }

  void writingNeedsAnExistingKey() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    QVERIFY(!store.WriteText(CSettingsStore::kRootKey, "Top", "1"));
    QVERIFY(!store.KeyExists(CSettingsStore::kRootKey));
    QVERIFY(store.CreateKey(CSettingsStore::kRootKey));
    QVERIFY(store.WriteText(CSettingsStore::kRootKey, "Top", "1"));
    QCOMPARE(store.ReadText(CSettingsStore::kRootKey, "Top").value(), QString("1"));
  }

  void createKeyMakesParentsAndIgnoresTrailingBackslash() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    QVERIFY(store.CreateKey("Software\\TVR\\Client\\Login\\"));
    QVERIFY(store.KeyExists("Software\\TVR\\Client\\Login"));
    QVERIFY(store.KeyExists("Software\\TVR"));
    QVERIFY(store.KeyExists("SOFTWARE\\tvr\\client\\"));  // letter case does not matter
  }

  void textAndBinaryValuesRoundTrip() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    QVERIFY(store.CreateKey(CSettingsStore::kLoginKey));
    QByteArray bytes;
    for (int i = 0; i < 256; ++i) bytes += char(i);
    const QString awkward = QString::fromUtf8("/home/o p/%41 ä\tx=y\n[z]#");
    QVERIFY(store.WriteBinary(CSettingsStore::kLoginKey, "Data", bytes));
    QVERIFY(store.WriteText(CSettingsStore::kLoginKey, "Path=odd [name]", awkward));
    QVERIFY(store.WriteText(CSettingsStore::kLoginKey, "Empty", QString()));

    const CSettingsStore reader;  // a fresh instance reads the file again
    QCOMPARE(reader.ReadBinary(CSettingsStore::kLoginKey, "Data").value(), bytes);
    QCOMPARE(reader.ReadText(CSettingsStore::kLoginKey, "Path=odd [name]").value(), awkward);
    QCOMPARE(reader.ReadText(CSettingsStore::kLoginKey, "empty").value(), QString());
    // A value of the other kind reads as absent.
    QVERIFY(!reader.ReadText(CSettingsStore::kLoginKey, "Data").has_value());
    QVERIFY(!reader.ReadBinary(CSettingsStore::kLoginKey, "Empty").has_value());
  }

  void overwritingKeepsOneValue() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kRootKey);
    store.WriteText(CSettingsStore::kRootKey, "4", "Default");
    store.WriteText(CSettingsStore::kRootKey, "4", "None");
    QCOMPARE(store.ReadText(CSettingsStore::kRootKey, "4").value(), QString("None"));
    QFile f(folder.SettingsFile());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll().count("4=sz:"), 1);
  }

  void deletingAKeyTakesValuesAndSubKeys() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kLoginKey);
    store.CreateKey("Software\\TVR\\Client\\Login\\Deeper");
    store.WriteText(CSettingsStore::kRootKey, "Top", "1");
    store.WriteBinary(CSettingsStore::kLoginKey, "Data", "abc");
    store.WriteText(CSettingsStore::kLoginKey, "Secure", "1");
    store.CreateKey("Software\\TVR\\Client\\LoginOther");

    QVERIFY(store.DeleteKey("software\\tvr\\client\\login"));
    QVERIFY(!store.KeyExists(CSettingsStore::kLoginKey));
    QVERIFY(!store.KeyExists("Software\\TVR\\Client\\Login\\Deeper"));
    QVERIFY(!store.ReadText(CSettingsStore::kLoginKey, "Secure").has_value());
    // Siblings that merely share the name's beginning, and the parent, stay.
    QVERIFY(store.KeyExists("Software\\TVR\\Client\\LoginOther"));
    QCOMPARE(store.ReadText(CSettingsStore::kRootKey, "Top").value(), QString("1"));
    QVERIFY(!store.DeleteKey(CSettingsStore::kLoginKey));  // already gone
  }

  void deletingAValue() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kRootKey);
    store.WriteText(CSettingsStore::kRootKey, "SpellCheck", "1");
    QVERIFY(store.DeleteValue(CSettingsStore::kRootKey, "spellcheck"));
    QVERIFY(!store.ReadText(CSettingsStore::kRootKey, "SpellCheck").has_value());
    QVERIFY(!store.DeleteValue(CSettingsStore::kRootKey, "SpellCheck"));
  }

  void fileIsPrivateAndWrittenWhole() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kRootKey);
    store.WriteText(CSettingsStore::kRootKey, "0", "Default");
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(folder.SettingsFile()).constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), 0600);
    // No temporary file is left beside it.
    const QStringList left = QDir(folder.Path() + "/TVR").entryList(QDir::Files);
    QCOMPARE(left, QStringList({"Client.conf", "Client.conf.lock"}));
  }

  void damagedLinesAreSkipped() {
    CTestSettingsFolder folder;
    QDir().mkpath(folder.Path() + "/TVR");
    QFile f(folder.SettingsFile());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("garbage line\n=sz:no name\nTop=sz:1\n[Software\\TVR\\Client]\nTop=sz:1\nData=bin:abc\n"
            "Hex=bin:zz\nWeird=what:1\n0=sz:Default\n[\n[]\nLost=sz:x");  // no final newline
    f.close();
    CSettingsStore store;
    QVERIFY(store.KeyExists(CSettingsStore::kRootKey));
    QCOMPARE(store.ReadText(CSettingsStore::kRootKey, "Top").value(), QString("1"));
    QCOMPARE(store.ReadText(CSettingsStore::kRootKey, "0").value(), QString("Default"));
    QVERIFY(!store.ReadBinary(CSettingsStore::kRootKey, "Data").has_value());
    QVERIFY(!store.ReadBinary(CSettingsStore::kRootKey, "Hex").has_value());
    QVERIFY(!store.ReadText(CSettingsStore::kRootKey, "Weird").has_value());
    QVERIFY(!store.ReadText(CSettingsStore::kRootKey, "Lost").has_value());  // under a nameless key
    // The next write keeps everything that could be read.
    QVERIFY(store.WriteText(CSettingsStore::kRootKey, "SpellCheck", "1"));
    QCOMPARE(store.ReadText(CSettingsStore::kRootKey, "0").value(), QString("Default"));
  }

  void anotherProcessSeesWhatThisOneWrote() {
    CTestSettingsFolder folder;
    CSettingsStore store;
    store.CreateKey(CSettingsStore::kLoginKey);
    store.WriteText(CSettingsStore::kLoginKey, "Secure", "1");
    QProcess probe;
    probe.start(QCoreApplication::applicationDirPath() + "/settings-probe",
                {"read", CSettingsStore::kLoginKey, "Secure"});
    QVERIFY(probe.waitForFinished(10000));
    QCOMPARE(probe.readAllStandardOutput().trimmed(), QByteArray("1"));

    // ...and the other way round, through the same file.
    probe.start(QCoreApplication::applicationDirPath() + "/settings-probe",
                {"write", CSettingsStore::kLoginKey, "Secure", "0"});
    QVERIFY(probe.waitForFinished(10000));
    QCOMPARE(probe.exitCode(), 0);
    QCOMPARE(store.ReadText(CSettingsStore::kLoginKey, "Secure").value(), QString("0"));
  }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_SettingsStore.moc"
