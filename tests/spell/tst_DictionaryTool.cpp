// talvero-dict run as a process: its output and its exit statuses.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
  int status = -1;
  QString out, err;
};

Run RunTool(const QStringList& args) {
  QProcess process;
  process.start(TALVERO_DICT_TOOL, args);
  Run run;
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) return run;
  run.status = process.exitCode();
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

class TestDictionaryTool : public QObject {
  Q_OBJECT

 private slots:
  void buildLookupSuggestDump() {
    QTemporaryDir dir;
    const QString list = dir.filePath("words.txt"), dic = dir.filePath("TVRDIC.dic");
    WriteAll(list, "cat\r\n\n  cot \n   \ncoat\nLódź\ncaf\xC3\xA9\ncat\n");
    Run run = RunTool({"build", list, dic});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.err.contains(list + ":6: skipped"), qPrintable(run.err));  // ź has no byte

    run = RunTool({"dump", dic});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QString::fromUtf8("cat\ncaf\u00e9\ncot\ncoat\n"));

    run = RunTool({"lookup", dic, "cat", "Cat", "CAFÉ", "dog"});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QString::fromUtf8("cat\t0 Exact\nCat\t1 FirstLetterCase\nCAFÉ\t3 NotFound\ndog\t3 NotFound\n"));

    run = RunTool({"suggest", dic, "cxt", "cat"});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QString("cxt\t3 NotFound\tcat\tcot\ncat\t0 Exact\n"));

    // A list of common words ranks the suggestions; its words that the
    // word list lacks are left out.
    const QString common = dir.filePath("common.txt");
    WriteAll(common, "cot\nnotinlist\ncat\n");
    run = RunTool({"build", list, dic, common});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.endsWith(", 2 ranked\n"), qPrintable(run.out));
    run = RunTool({"suggest", dic, "cxt"});
    QCOMPARE(run.out, QString("cxt\t3 NotFound\tcot\tcat\n"));
  }

  void exitStatuses() {
    QTemporaryDir dir;
    const QString list = dir.filePath("words.txt"), dic = dir.filePath("TVRDIC.dic");
    WriteAll(list, "word\n");
    QCOMPARE(RunTool({"build", list, dic}).status, 0);
    const QString cut = dir.filePath("cut.dic");
    WriteAll(cut, "w\x01o\x01r");
    WriteAll(dir.filePath("blank.txt"), "\n \r\n");
    WriteAll(dir.filePath("bad.txt"), "good\nb\xFF" "d\n");

    const struct {
      QStringList args;
      int status;
    } cases[] = {
        {{}, 2},
        {{"frobnicate", dic}, 2},
        {{"build", list}, 2},
        {{"lookup", dic}, 2},
        {{"dump", dic, dic}, 2},
        {{"dump", dir.filePath("missing.dic")}, 1},
        {{"dump", cut}, 1},
        {{"lookup", cut, "word"}, 1},
        {{"suggest", dir.filePath("missing.dic"), "word"}, 1},
        {{"build", dir.filePath("missing.txt"), dir.filePath("out.dic")}, 1},
        {{"build", dir.filePath("blank.txt"), dir.filePath("out.dic")}, 1},
        {{"build", dir.filePath("bad.txt"), dir.filePath("out.dic")}, 1},
        {{"build", list, dir.filePath("no/folder/out.dic")}, 1},
    };
    for (const auto& c : cases) {
      const Run run = RunTool(c.args);
      QVERIFY2(run.status == c.status, qPrintable(c.args.join(' ') + " gave " + QString::number(run.status)));
      QVERIFY(run.err.startsWith("talvero-dict: "));
    }
    QVERIFY(RunTool({"dump", cut}).err.contains("damaged"));
    QVERIFY(RunTool({"build", dir.filePath("bad.txt"), dic}).err.contains("bad.txt:2: not valid UTF-8"));
    QVERIFY(!QFile::exists(dir.filePath("out.dic")));
    QCOMPARE(RunTool({"lookup", dic, "word"}).out, QString("word\t0 Exact\n"));  // failed builds left it alone
  }

  // A Hunspell pair: suffixes by their conditions and strips, a prefix
  // crossed with them, stems that need an affix or are forbidden, parts of
  // compounds; the file reads back in its own format. A language whose
  // letters the code page cannot hold is refused, not half checked.
  void buildFromAHunspellDictionary() {
    QTemporaryDir dir;
    WriteAll(dir.filePath("de.aff"), "SET UTF-8\nNEEDAFFIX X\nFORBIDDENWORD F\n\nPFX U Y 1\nPFX U 0 un .\n\n"
                                     "SFX S Y 2\nSFX S 0 en [^e]\nSFX S 0 n e\n\nSFX Y N 1\nSFX Y y ies [^aeiou]y\n");
    WriteAll(dir.filePath("de.dic"), "7\nStra\xC3\x9F" "e/S\nklar/US\nM\xC3\xBChe/S\nparty/Y\nkaputt/XS\nverboten/F\n-lieferung\n");
    const QString dic = dir.filePath("de-out.dic");
    QCOMPARE(RunTool({"build", dir.filePath("de.dic"), dic}).status, 0);
    QStringList words = RunTool({"dump", dic}).out.split('\n', Qt::SkipEmptyParts);
    words.sort();
    QCOMPARE(words, QStringList({"Mühe", "Mühen", "Straße", "Straßen", "kaputten", "klar", "klaren", "parties",
                                 "party", "unklar", "unklaren"}));

    WriteAll(dir.filePath("ru.aff"), "SET UTF-8\nSFX A Y 1\nSFX A 0 \xD1\x8B .\n");
    WriteAll(dir.filePath("ru.dic"), "2\n\xD0\xB4\xD0\xBE\xD0\xBC/A\nok\n");
    const Run refused = RunTool({"build", dir.filePath("ru.dic"), dir.filePath("ru-out.dic")});
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.err.contains("this language cannot be offered"), qPrintable(refused.err));
    QVERIFY(!QFile::exists(dir.filePath("ru-out.dic")));
  }
};

QTEST_GUILESS_MAIN(TestDictionaryTool)
#include "tst_DictionaryTool.moc"
