// The languages the console can check: found from its own files and the
// system's Hunspell dictionaries, made ready off the user-interface thread,
// and a store of their own for each.
#include "DictionaryLanguages.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

void WriteAll(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

class TestDictionaryLanguages : public QObject {
  Q_OBJECT

 private slots:
  void browserLanguages_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");
    QTest::newRow("details") << "German (de-DE)" << "de";
    QTest::newRow("header") << "fr-CA,fr;q=0.9,en;q=0.8" << "fr";
    QTest::newRow("bare") << "es" << "es";
    QTest::newRow("underscore") << "pt_BR" << "pt";
    QTest::newRow("name only") << "English" << "";
    QTest::newRow("nothing") << "" << "";
  }
  void browserLanguages() {
    QFETCH(QString, text);
    QFETCH(QString, code);
    QCOMPARE(CDictionaryLanguages::CodeOf(text), code);
  }

  // German from the system's Hunspell files, French from a file of the
  // console's, Russian listed but not offered; German is made on a thread
  // of its own, then checked, and a word added goes to its own copy.
  void languagesFoundMadeAndChecked() {
    QTemporaryDir dir;
    const QString hunspell = dir.filePath("hunspell"), console = dir.filePath("console"), user = dir.filePath("user");
    WriteAll(hunspell + "/de_AT.dic", "1\nJanner\n");
    WriteAll(hunspell + "/de_AT.aff", "SET UTF-8\n");
    WriteAll(hunspell + "/de_DE.dic", "2\nStra\xC3\x9F" "e/S\nklar\n");
    WriteAll(hunspell + "/de_DE.aff", "SET UTF-8\nSFX S Y 1\nSFX S 0 n e\n");
    WriteAll(hunspell + "/ru_RU.dic", "1\n\xD0\xB4\xD0\xBE\xD0\xBC\n");
    WriteAll(hunspell + "/ru_RU.aff", "SET UTF-8\n");
    WriteAll(hunspell + "/en_US.dic", "1\ncolor\n");
    WriteAll(hunspell + "/en_US.aff", "SET UTF-8\n");
    WriteAll(console + "/TVRDIC-fr.dic", QByteArray::fromHex("61017403000000"));  // "at"
    CDictionaryLanguages languages({console}, {hunspell}, user);

    QStringList listed;
    for (const auto& language : languages.Available())
      listed << language.code + (language.offered ? "" : "!") + (language.hunspellDic.isEmpty() ? "" : "*");
    QCOMPARE(listed, QStringList({"en", "de*", "fr", "ru!*"}));
    QCOMPARE(languages.Find("de")->hunspellDic, hunspell + "/de_DE.dic");  // the language's own country first
    QCOMPARE(languages.Find("de")->name, QString("Deutsch"));
    QVERIFY(languages.IsReady("fr"));
    QVERIFY(!languages.IsReady("ru"));
    QVERIFY(languages.Store("ru") == nullptr);

    QVERIFY(!languages.IsReady("de"));
    QVERIFY(languages.Store("de") == nullptr);
    QSignalSpy prepared(&languages, &CDictionaryLanguages::Prepared);
    languages.Prepare("de");
    languages.Prepare("de");  // asked twice while it is made
    QTRY_COMPARE(prepared.size(), 1);
    QCOMPARE(prepared.first().at(1).toBool(), true);
    QVERIFY(languages.IsReady("de"));
    CSharedDictionary* german = languages.Store("de");
    QVERIFY(german != nullptr && german->Acquire());
    QCOMPARE(german->Lookup("Stra\xDF" "en"), CDictionary::Exact);
    QCOMPARE(german->Lookup("color"), CDictionary::NotFound);
    QVERIFY(german->AddWord("Servus"));
    QVERIFY(QFile::exists(user + "/TVRDIC-de.dic"));
    german->Release();
    QVERIFY(languages.Store("en") != german);
  }
};

QTEST_GUILESS_MAIN(TestDictionaryLanguages)
#include "tst_DictionaryLanguages.moc"
