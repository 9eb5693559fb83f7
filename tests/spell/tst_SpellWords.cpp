// How the entry box cuts text into words: the underline and the context
// menu must agree on every word.
#include "SpellWords.h"

#include <QTest>

namespace {

// The looked-up words and the marked pieces of text, '|'-separated.
QString Render(const QString& text, const QList<CSpellWord>& words, bool marked) {
  QStringList out;
  for (const CSpellWord& w : words) out.append(text.mid(w.start, (marked ? w.markEnd : w.end) - w.start));
  return out.join(u'|');
}

}  // namespace

class TestSpellWords : public QObject {
  Q_OBJECT

 private slots:
  void cut_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("marked");
    QTest::newRow("trailing punctuation marked, not looked up")
        << "hello Helo, world" << "hello|Helo|world" << "hello|Helo,|world";
    QTest::newRow("two spaces") << "a  b" << "a|b" << "a|b";
    QTest::newRow("only delimiters") << "-- ok ...!" << "ok" << "ok";
    QTest::newRow("leading delimiter trimmed") << "(helo)" << "helo" << "helo)";
    QTest::newRow("inner apostrophe kept") << "don't 'quoted'" << "don't|quoted" << "don't|quoted'";
    QTest::newRow("question mark") << "is it?" << "is|it" << "is|it?";
    QTest::newRow("line breaks cut") << "one\ntwo\r\nthree" << "one|two|three" << "one|two|three";
    QTest::newRow("tab only trimmed") << "\tab\tc" << "ab\tc" << "ab\tc";
  }
  void cut() {
    QFETCH(QString, text);
    const QList<CSpellWord> words = CSpellWords::Cut(text);
    QTEST(Render(text, words, false), "words");
    QTEST(Render(text, words, true), "marked");
  }

  void wordAt_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("word");
    QTest::newRow("on the word") << "helo world" << 2 << "helo";
    QTest::newRow("on a space: the next word") << "helo world" << 4 << "world";
    QTest::newRow("end of the text: the last word") << "helo wrld." << 10 << "wrld";
    QTest::newRow("end of a line: its last word") << "abc\ndef" << 3 << "abc";
    QTest::newRow("empty line") << "abc\n\ndef" << 4 << "";
    QTest::newRow("leading parenthesis") << "(helo, x" << 0 << "helo";
    QTest::newRow("apostrophe inside") << "I don't" << 3 << "don't";
    QTest::newRow("trailing space at the end") << "abc " << 4 << "";
    QTest::newRow("empty text") << "" << 0 << "";
  }
  void wordAt() {
    QFETCH(QString, text);
    QFETCH(int, index);
    const CSpellWord w = CSpellWords::At(text, index);
    QTEST(text.mid(w.start, w.Length()), "word");
  }

  // A '?' would reach the store's suggestions as "any letter", and adding
  // such a word would make every word of its length known.
  void storeForm() {
    QCOMPARE(CSpellWords::ToStoreForm(u"caf\u00e9"), QByteArray("caf\xe9"));
    QVERIFY(CSpellWords::ToStoreForm(u"\u65e5\u672c").isEmpty());
    QVERIFY(CSpellWords::ToStoreForm(u"wh?t").isEmpty());
  }
};

QTEST_APPLESS_MAIN(TestSpellWords)
#include "tst_SpellWords.moc"
