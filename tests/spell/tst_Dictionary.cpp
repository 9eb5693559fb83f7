// The dictionary store: lookups, suggestions, the file format and what
// damaged, cut and crafted files do to it; the shipped file as a whole.
#include "AnsiCodePage.h"
#include "Dictionary.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using Result = CDictionary::LookupResult;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

void AddAll(CDictionary& dictionary, const QByteArrayList& words) {
  for (const QByteArray& word : words) dictionary.AddWord(word);
}

// The lookup as a plain recursion over a tree of our own, to check the
// store's stack-driven walk against, damaged trees included.
struct RefNode {
  signed char letter = 0;
  std::unique_ptr<RefNode> alt, next;
};

std::unique_ptr<RefNode> RandomChain(QRandomGenerator& rng, int depth) {
  static const char kLetters[] = {0, 'a', 'A', 'b', 'B', '\xE9'};
  auto node = std::make_unique<RefNode>();
  node->letter = kLetters[rng.bounded(6)];
  // Some letters lack their next position, as only a damaged file has it.
  if (depth < 5 && rng.bounded(10) < 8 && (node->letter != 0 || rng.bounded(4) == 0))
    node->next = RandomChain(rng, depth + 1);
  if (rng.bounded(10) < 5) node->alt = RandomChain(rng, depth);
  return node;
}

void Serialise(const RefNode* node, QByteArray& out) {
  out += char(node->letter);
  out += char((node->next ? 1 : 0) | (node->alt ? 2 : 0));
  if (node->next) Serialise(node->next.get(), out);
  if (node->alt) Serialise(node->alt.get(), out);
}

signed char Lower(signed char c) { return c >= 'A' && c <= 'Z' ? static_cast<signed char>(c + 32) : c; }

void RefMatch(const RefNode* node, const char* w, int p, Result& r, bool atStart) {
  for (;;) {
    if (atStart) r = CDictionary::Exact;
    const signed char c = w[p];
    if (node->letter == c) {
      if (c == 0) return;
      if (!node->next) { r = CDictionary::StoreEnded; return; }
      RefMatch(node->next.get(), w, p + 1, r, false);
      if (r == CDictionary::Exact) return;
      if (node->letter >= 'A' && node->letter <= 'Z' && node->alt) {
        Result r2 = CDictionary::Exact;
        RefMatch(node->alt.get(), w, p, r2, atStart);
        r = std::min(r, r2);
      }
      return;
    }
    if (Lower(node->letter) != Lower(c)) {
      node = node->alt.get();
      if (!node) { r = CDictionary::NotFound; return; }
      continue;
    }
    if (r == CDictionary::Exact) {
      if (node->alt) RefMatch(node->alt.get(), w, p, r, atStart);
      else r = CDictionary::NotFound;
    }
    if (r == CDictionary::Exact || r == CDictionary::StoreEnded) return;
    if (!node->next) { r = CDictionary::StoreEnded; return; }
    r = atStart && node->letter == Lower(c) ? CDictionary::FirstLetterCase : CDictionary::CaseDiffers;
    node = node->next.get();
    ++p;
    atStart = false;
  }
}

}  // namespace

class TestDictionary : public QObject {
  Q_OBJECT

 private slots:
  void lookup_data() {
    QTest::addColumn<QByteArrayList>("stored");
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<int>("result");
    QTest::newRow("empty store") << QByteArrayList{} << QByteArray("hello") << 3;
    QTest::newRow("empty word, empty store") << QByteArrayList{} << QByteArray() << 3;
    QTest::newRow("exact") << QByteArrayList{"hello"} << QByteArray("hello") << 0;
    QTest::newRow("typed capital") << QByteArrayList{"hello"} << QByteArray("Hello") << 1;
    QTest::newRow("all capitals") << QByteArrayList{"hello"} << QByteArray("HELLO") << 2;
    QTest::newRow("later capital") << QByteArrayList{"hello"} << QByteArray("hEllo") << 2;
    QTest::newRow("prefix") << QByteArrayList{"hello"} << QByteArray("hell") << 3;
    QTest::newRow("longer") << QByteArrayList{"hello"} << QByteArray("helloo") << 3;
    QTest::newRow("stored capital typed small") << QByteArrayList{"Paris"} << QByteArray("paris") << 2;
    QTest::newRow("exact case further down the chain") << QByteArrayList{"hello", "Hello"} << QByteArray("Hello") << 0;
    QTest::newRow("capital that led nowhere") << QByteArrayList{"Hxyz", "hello"} << QByteArray("Hello") << 1;
    // After one case difference the first letter that folds alike is
    // followed, and no other.
    QTest::newRow("first folded letter decides") << QByteArrayList{"PA", "Paris"} << QByteArray("paris") << 3;
    QTest::newRow("high bytes do not fold") << QByteArrayList{"caf\xE9"} << QByteArray("CAF\xC9") << 3;
    QTest::newRow("high byte, ASCII folded") << QByteArrayList{"caf\xE9"} << QByteArray("CAF\xE9") << 2;
    QTest::newRow("word ends at a 0 byte") << QByteArrayList{QByteArray("ab\0cd", 5)} << QByteArray("ab\0x", 4) << 0;
  }
  void lookup() {
    QFETCH(QByteArrayList, stored);
    QFETCH(QByteArray, word);
    CDictionary dictionary;
    AddAll(dictionary, stored);
    QFETCH(int, result);
    QCOMPARE(int(dictionary.Lookup(word)), result);
  }

  // Random trees, damaged ones among them (letters without a next position,
  // repeated letters in a chain), loaded from their file: every lookup
  // agrees with the recursion, and saving writes the file back unchanged.
  void lookupAgreesWithRecursionOnDamagedTrees() {
    QTemporaryDir dir;
    const QString path = dir.filePath("random.dic");
    QRandomGenerator rng(6061);
    QList<QByteArray> words;
    for (const char* a : {"", "a", "A", "b", "B", "\xE9"})
      for (const char* b : {"", "a", "A", "b", "B", "\xE9"})
        for (const char* c : {"", "a", "B"}) words.append(QByteArray(a) + b + c);
    for (int round = 0; round < 300; ++round) {
      const std::unique_ptr<RefNode> root = RandomChain(rng, 0);
      QByteArray file;
      Serialise(root.get(), file);
      WriteAll(path, file);
      CDictionary dictionary;
      QVERIFY(dictionary.Load(path));
      for (const QByteArray& word : words) {
        Result expected = CDictionary::Exact;
        RefMatch(root.get(), word.constData(), 0, expected, true);
        QCOMPARE(dictionary.Lookup(word), expected);
      }
      QVERIFY(dictionary.Save(path));
      QCOMPARE(ReadAll(path), file);
    }
  }

  void fileFormat() {
    QTemporaryDir dir;
    const QString path = dir.filePath("TVRDIC.dic");
    const QByteArray atAn = QByteArray::fromHex("6101740300006e010000");
    CDictionary dictionary;
    AddAll(dictionary, {"at", "an", "at"});  // the repeat changes nothing
    QVERIFY(dictionary.Save(path));
    QCOMPARE(ReadAll(path), atAn);

    // Bytes after the structure are never read.
    WriteAll(path, atAn + "trailing junk");
    CDictionary loaded;
    QVERIFY(loaded.Load(path));
    QCOMPARE(loaded.Words(), (QByteArrayList{"at", "an"}));
    QVERIFY(loaded.Save(path));
    QCOMPARE(ReadAll(path), atAn);
  }

  void everyByteSurvivesTheFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("bytes.dic");
    QByteArray all;
    for (int b = 1; b < 256; ++b) all += char(b);
    CDictionary dictionary;
    dictionary.AddWord(all);
    for (int b = 0x80; b < 0x100; ++b) dictionary.AddWord(QByteArray(1, char(b)) + "x");
    QVERIFY(dictionary.Save(path));
    CDictionary loaded;
    QVERIFY(loaded.Load(path));
    QCOMPARE(loaded.Words(), dictionary.Words());
    QCOMPARE(loaded.Words().size(), 129);
    QCOMPARE(loaded.Lookup(all), CDictionary::Exact);
    QCOMPARE(loaded.Lookup("\x80x"), CDictionary::Exact);
    QCOMPARE(loaded.Lookup("\x80X"), CDictionary::CaseDiffers);
  }

  void storeEndedOnlyFromDamagedFiles() {
    QTemporaryDir dir;
    const QString path = dir.filePath("damaged.dic");
    WriteAll(path, QByteArray::fromHex("6100"));  // 'a' with no next position
    CDictionary dictionary;
    QVERIFY(dictionary.Load(path));
    QCOMPARE(dictionary.Lookup("a"), CDictionary::StoreEnded);
    QCOMPARE(dictionary.Lookup("A"), CDictionary::StoreEnded);
    QCOMPARE(dictionary.Lookup("b"), CDictionary::NotFound);
  }

  void saveFailures() {
    QTemporaryDir dir;
    const QString path = dir.filePath("TVRDIC.dic");
    WriteAll(path, "old");
    CDictionary empty;
    QVERIFY(!empty.Save(path));
    QVERIFY(!empty.Load(dir.filePath("missing.dic")));
    QVERIFY(empty.IsEmpty());
    QVERIFY(!empty.Save(path));
    QCOMPARE(ReadAll(path), QByteArray("old"));

    CDictionary dictionary;
    dictionary.AddWord("word");
    QVERIFY(!dictionary.Save(dir.filePath("no/such/folder/TVRDIC.dic")));
    QCOMPARE(dictionary.Lookup("word"), CDictionary::Exact);
  }

  // The new file replaces the old one whole: a reader of the old file goes
  // on reading it unchanged, and nothing else is left in the folder.
  void saveReplacesTheFileWhole() {
    QTemporaryDir dir;
    const QString path = dir.filePath("TVRDIC.dic");
    CDictionary dictionary;
    dictionary.AddWord("old");
    QVERIFY(dictionary.Save(path));
    const QByteArray oldBytes = ReadAll(path);
    QFile reader(path);
    QVERIFY(reader.open(QIODevice::ReadOnly));
    dictionary.AddWord("newer");
    QVERIFY(dictionary.Save(path));
    QCOMPARE(reader.readAll(), oldBytes);
    CDictionary loaded;
    QVERIFY(loaded.Load(path));
    QCOMPARE(loaded.Words(), (QByteArrayList{"old", "newer"}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"TVRDIC.dic"});
  }

  // What typing one for the other costs (the slips people make cost less
  // than other edits, and a word outside the order of use a little more),
  // then the letter case nearest the word typed, then the commonest, then
  // the list's order; at most ten.
  void suggest_data() {
    QTest::addColumn<QByteArrayList>("stored");
    QTest::addColumn<QByteArrayList>("commonestFirst");
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<QStringList>("suggestions");
    QTest::addColumn<int>("code");
    const QByteArrayList hel{"help", "held", "Hel", "hello", "halo"};
    // A doubled letter typed once, a vowel for a vowel, the key beside,
    // another letter, a letter too many (and a name's capital).
    QTest::newRow("slips first") << hel << QByteArrayList{} << QByteArray("helo")
                                 << QStringList{"hello", "halo", "help", "held", "Hel"} << 3;
    QTest::newRow("commonest first") << hel << QByteArrayList{"hello", "help", "Hel"} << QByteArray("helo")
                                     << QStringList{"hello", "help", "halo", "Hel", "held"} << 3;
    // Words in small letters are offered in the case typed, a name as it is.
    QTest::newRow("capital typed") << hel << QByteArrayList{"hello"} << QByteArray("Helo")
                                   << QStringList{"Hello", "Halo", "Help", "Hel", "Held"} << 3;
    QTest::newRow("a swap costs less than a letter") << QByteArrayList{"relieve", "receive", "recife"} << QByteArrayList{"relieve"}
                                      << QByteArray("recieve") << QStringList{"receive", "relieve", "recife"} << 3;
    QTest::newRow("two slips") << QByteArrayList{"accumulation", "accommodating", "accommodation"} << QByteArrayList{}
                               << QByteArray("accomodaton") << QStringList{"accommodation", "accommodating"} << 3;
    QTest::newRow("dropped syllable") << QByteArrayList{"possibly", "probably"} << QByteArrayList{} << QByteArray("probly")
                                      << QStringList{"probably"} << 3;
    QTest::newRow("sound-alike") << QByteArrayList{"frenetic", "fanatic", "phonetic"} << QByteArrayList{}
                                 << QByteArray("fonetic") << QStringList{"phonetic", "fanatic", "frenetic"} << 3;
    QTest::newRow("a vowel for a vowel") << QByteArrayList{"serrate", "desperate", "separate"} << QByteArrayList{}
                                         << QByteArray("seperate") << QStringList{"separate", "desperate", "serrate"} << 3;
    QTest::newRow("doubled letter moved") << QByteArrayList{"tumor", "morrow", "tomorrow"} << QByteArrayList{}
                                          << QByteArray("tommorow") << QStringList{"tomorrow"} << 3;
    QTest::newRow("known word") << QByteArrayList{"cat", "cot", "coat"} << QByteArrayList{} << QByteArray("cat")
                                << QStringList{} << 0;
    QTest::newRow("known in another case") << QByteArrayList{"hello"} << QByteArrayList{} << QByteArray("Hello")
                                           << QStringList{} << 1;
    QTest::newRow("capitals typed") << QByteArrayList{"the", "Tea"} << QByteArrayList{} << QByteArray("TEH")
                                    << QStringList{"THE", "Tea"} << 3;
    QTest::newRow("the and The offered once") << QByteArrayList{"the", "The"} << QByteArrayList{} << QByteArray("Teh")
                                              << QStringList{"The"} << 3;
    QTest::newRow("found by two edits, listed once") << QByteArrayList{"ab"} << QByteArrayList{} << QByteArray("aab")
                                                     << QStringList{"ab"} << 3;
    QTest::newRow("empty word") << QByteArrayList{"a", "ab", "b"} << QByteArrayList{} << QByteArray()
                                << QStringList{"a", "b"} << 3;
    QByteArrayList many;
    QStringList firstTen;
    for (char c = 'z'; c >= 'a'; --c) many.append(QByteArray("a") + c);
    for (char c = 'a'; c <= 'j'; ++c) firstTen.append(QStringLiteral("a") + QLatin1Char(c));
    QTest::newRow("at most ten") << many << QByteArrayList{} << QByteArray("a") << firstTen << 3;
    // A '?' of the word itself (also what the code page makes of a character
    // it lacks) stands for any letter.
    QTest::newRow("typed wildcard") << QByteArrayList{"ab", "cd", "abc"} << QByteArrayList{} << QByteArray("?")
                                    << QStringList{"ab", "cd"} << 3;
  }
  void suggest() {
    QFETCH(QByteArrayList, stored);
    QFETCH(QByteArrayList, commonestFirst);
    QFETCH(QByteArray, word);
    QFETCH(QStringList, suggestions);
    QFETCH(int, code);
    CDictionary dictionary;
    AddAll(dictionary, stored);
    dictionary.SetRanks(commonestFirst);
    QStringList list;
    Result result = CDictionary::StoreEnded;
    QCOMPARE(dictionary.Suggest(word, list, result), int(suggestions.size()));
    QCOMPARE(list, suggestions);
    QCOMPARE(int(result), code);
  }

  // Common typos of chat lines against the words meant: on the shipped
  // file, the word meant comes first.
  void commonTyposOnTheShippedFile() {
    CDictionary dictionary;
    QVERIFY(dictionary.Load(TALVERO_DICT_FILE));
    const QList<QPair<QByteArray, QString>> typos = {
        {"recieve", "receive"}, {"helo", "hello"},       {"teh", "the"},           {"adress", "address"},
        {"thier", "their"},     {"recomend", "recommend"},       {"becuase", "because"},   {"definately", "definitely"},
        {"seperate", "separate"}, {"occured", "occurred"}, {"untill", "until"},    {"accross", "across"},
        {"beleive", "believe"}, {"freind", "friend"},    {"goverment", "government"}, {"wierd", "weird"},
        {"truely", "truly"},    {"pleese", "please"},    {"thnaks", "thanks"},     {"paymnet", "payment"},
        {"pasword", "password"}, {"emial", "email"},     {"shiping", "shipping"},  {"acount", "account"},
        {"Helo", "Hello"},
    };
    QStringList wrong;
    for (const auto& [typo, meant] : typos) {
      QStringList list;
      Result code;
      dictionary.Suggest(typo, list, code);
      if (code != CDictionary::NotFound || list.value(0) != meant)
        wrong.append(QString::fromLatin1(typo) + QStringLiteral(": ") + list.join(u','));
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
  }

  // The order of use follows the tree in the file; a file without it, or
  // with other bytes after the tree, reads as before.
  void ranksInTheFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("TVRDIC.dic");
    CDictionary dictionary;
    AddAll(dictionary, {"at", "an"});
    dictionary.SetRanks({"an", "at", "an", "", "zz"});
    QCOMPARE(dictionary.RankedWords(), (QByteArrayList{"an", "at", "zz"}));
    QVERIFY(dictionary.Save(path));
    QCOMPARE(ReadAll(path), QByteArray::fromHex("6101740300006e010000") + QByteArray("RNK1an\0at\0zz\0", 13));
    CDictionary loaded;
    QVERIFY(loaded.Load(path));
    QCOMPARE(loaded.RankedWords(), dictionary.RankedWords());
    QCOMPARE(loaded.RankOf("at"), 1);
    QVERIFY(loaded.RankOf("xx") > loaded.RankOf("zz"));
    // An unfinished last word is left out.
    WriteAll(path, QByteArray::fromHex("6101740300006e010000") + "RNK1at" + QByteArray(1, '\0') + "an");
    QVERIFY(loaded.Load(path));
    QCOMPARE(loaded.RankedWords(), QByteArrayList{"at"});
  }

  // Removing a word unlinks exactly it: what shares its letters stays, and
  // the tree saves and loads as the words left.
  void removeWord_data() {
    QTest::addColumn<QByteArrayList>("stored");
    QTest::addColumn<QByteArray>("removed");
    QTest::addColumn<bool>("wasStored");
    QTest::newRow("the root's word") << QByteArrayList{"at", "an", "bee"} << QByteArray("at") << true;
    QTest::newRow("the root's only word") << QByteArrayList{"ab"} << QByteArray("ab") << true;
    QTest::newRow("the root letter's last word") << QByteArrayList{"ab", "cd"} << QByteArray("ab") << true;
    QTest::newRow("a prefix of another") << QByteArrayList{"car", "cart"} << QByteArray("car") << true;
    QTest::newRow("longer than another") << QByteArrayList{"car", "cart"} << QByteArray("cart") << true;
    QTest::newRow("late in a chain") << QByteArrayList{"ca", "cb", "cc"} << QByteArray("cc") << true;
    QTest::newRow("other case") << QByteArrayList{"Paris"} << QByteArray("paris") << false;
    QTest::newRow("a prefix not stored") << QByteArrayList{"cart"} << QByteArray("car") << false;
  }
  void removeWord() {
    QFETCH(QByteArrayList, stored);
    QFETCH(QByteArray, removed);
    QFETCH(bool, wasStored);
    CDictionary dictionary;
    AddAll(dictionary, stored);
    QCOMPARE(dictionary.RemoveWord(removed), wasStored);
    QByteArrayList left = stored;
    left.removeAll(removed);
    if (wasStored) QCOMPARE(dictionary.Lookup(removed), CDictionary::NotFound);
    for (const QByteArray& word : left) QCOMPARE(dictionary.Lookup(word), CDictionary::Exact);
    QCOMPARE(dictionary.Words(), left);
    QTemporaryDir dir;
    CDictionary loaded;
    if (!left.isEmpty()) QVERIFY(dictionary.Save(dir.filePath("d.dic")) && loaded.Load(dir.filePath("d.dic")));
    QCOMPARE(loaded.Words(), left);
    dictionary.AddWord(removed);  // and back
    QCOMPARE(dictionary.Lookup(removed), CDictionary::Exact);
  }

  void shippedListRoundTrips() {
    CDictionary dictionary;
    QVERIFY(dictionary.Load(TALVERO_DICT_FILE));
    QFile list(TALVERO_WORD_LIST);
    QVERIFY(list.open(QIODevice::ReadOnly | QIODevice::Text));
    QSet<QByteArray> words;
    while (!list.atEnd()) {
      const QString word = QString::fromUtf8(list.readLine()).trimmed();
      if (word.isEmpty()) continue;
      const QByteArray bytes = ToAnsiCodePage(word);
      words.insert(bytes);
      if (dictionary.Lookup(bytes) != CDictionary::Exact) QFAIL(qPrintable(word));
    }
    QCOMPARE(dictionary.Words().size(), words.size());
    QTemporaryDir dir;
    QVERIFY(dictionary.Save(dir.filePath("copy.dic")));
    QVERIFY(ReadAll(dir.filePath("copy.dic")) == ReadAll(TALVERO_DICT_FILE));
  }

  // A cut file fails to load, and what it leaves behind are words of the
  // whole file only.
  void cutFilesFail() {
    // The tree, without the order of use after it (its mark cannot stand in
    // a tree: every second byte is a flag of 0 to 3).
    QByteArray whole = ReadAll(TALVERO_DICT_FILE);
    whole.truncate(whole.indexOf("RNK1"));
    QVERIFY(whole.size() > 1000);
    CDictionary full;
    QVERIFY(full.Load(TALVERO_DICT_FILE));
    const QList<QByteArray> allWords = full.Words();
    const QSet<QByteArray> known(allWords.begin(), allWords.end());
    QTemporaryDir dir;
    const QString path = dir.filePath("cut.dic");
    QList<qsizetype> cuts{0, 1, 2, 3, whole.size() - 2, whole.size() - 1};
    for (int i = 1; i < 30; ++i) cuts.append(whole.size() * i / 30 + i % 2);
    for (const qsizetype cut : cuts) {
      WriteAll(path, whole.left(cut));
      CDictionary dictionary;
      QVERIFY2(!dictionary.Load(path), qPrintable(QString::number(cut)));
      QCOMPARE(dictionary.IsEmpty(), cut < 2);
      for (const QByteArray& word : dictionary.Words()) QVERIFY(known.contains(word));
    }
  }

  // Nesting a million levels deep, or a chain a million long, is no threat
  // to loading, looking up, saving or freeing the store.
  void craftedDeepFiles() {
    QTemporaryDir dir;
    const QString path = dir.filePath("deep.dic");
    constexpr int kLevels = 1000000;
    QByteArray deep;
    for (int i = 0; i < kLevels; ++i) deep += "a\x01";
    WriteAll(path, deep);
    CDictionary dictionary;
    QVERIFY(!dictionary.Load(path));

    WriteAll(path, deep + QByteArray(2, '\0'));
    QVERIFY(dictionary.Load(path));
    QCOMPARE(dictionary.Lookup(QByteArray(kLevels, 'a')), CDictionary::Exact);
    QCOMPARE(dictionary.Lookup(QByteArray(kLevels, 'A')), CDictionary::CaseDiffers);
    QVERIFY(dictionary.Save(dir.filePath("again.dic")));
    QVERIFY(ReadAll(dir.filePath("again.dic")) == deep + QByteArray(2, '\0'));

    QByteArray chain;
    for (int i = 0; i < kLevels; ++i) chain += "A\x02";
    WriteAll(path, chain + "A" + QByteArray(1, '\0'));
    QVERIFY(dictionary.Load(path));
    QCOMPARE(dictionary.Lookup("a"), CDictionary::StoreEnded);
  }

  void filePathPrefersTheProgramFolder() {
    QTemporaryDir program, data;
    const QString beside = program.filePath("TVRDIC.dic");
    const QString installed = data.filePath("TVRDIC.dic");
    QCOMPARE(CDictionary::FilePath(program.path(), data.path()), beside);
    WriteAll(installed, "x");
    QCOMPARE(CDictionary::FilePath(program.path(), data.path()), installed);
    WriteAll(beside, "x");
    QCOMPARE(CDictionary::FilePath(program.path(), data.path()), beside);
  }
};

QTEST_GUILESS_MAIN(TestDictionary)
#include "tst_Dictionary.moc"
