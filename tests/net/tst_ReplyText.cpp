// Splitting replies at separators and percent-encoding request parameters.
#include "NumberText.h"
#include "Separators.h"
#include "SplitReply.h"
#include "UrlEncode.h"

#include <QTest>

class TestReplyText : public QObject {
  Q_OBJECT

 private slots:
  void splitReply_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("pieces");
    QTest::newRow("trailing separator") << "a<fld>b<fld>" << kSepField << QStringList{"a", "b", ""};
    QTest::newRow("empty text") << "" << kSepField << QStringList{""};
    QTest::newRow("only the separator") << "<fld>" << kSepField << QStringList{"", ""};
    QTest::newRow("no separator") << "whole text" << kSepField << QStringList{"whole text"};
    QTest::newRow("adjacent separators") << "a<ln><ln>b" << kSepLine << QStringList{"a", "", "b"};
    QTest::newRow("leading separator") << "<blk>x" << kSepBlock << QStringList{"", "x"};
    QTest::newRow("case matters") << "a<FLD>b<fld>c" << kSepField << QStringList{"a<FLD>b", "c"};
    QTest::newRow("separator inside a longer one") << "a<tvr_blk>b" << kSepBlock << QStringList{"a<tvr_blk>b"};
    QTest::newRow("partial separator at the end") << "a<fld>b<fl" << kSepField << QStringList{"a", "b<fl"};
    QTest::newRow("overlapping candidates") << "<<fld>>" << kSepField << QStringList{"<", ">"};
    QTest::newRow("non-Latin text") << QString::fromUtf8("Жук<fld>東京") << kSepField
                                    << QStringList{QString::fromUtf8("Жук"), QString::fromUtf8("東京")};
  }
  void splitReply() {
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(QStringList, pieces);
    QCOMPARE(SplitReply(text, separator), pieces);
  }

  void splitReplyPieceCountIsSeparatorsPlusOne() {
    QString text;
    for (int i = 0; i < 1000; ++i) text += (i % 3 == 0 ? QString() : QString::number(i)) + kSepLine;
    QCOMPARE(SplitReply(text, kSepLine).size(), 1001);
  }

  void urlEncode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("ids and unreserved stay") << "Ab9-._~" << "Ab9-._~";
    QTest::newRow("reserved three") << "x+y&z=1" << "x%2By%26z%3D1";
    QTest::newRow("question mark, hash, slash, space")
        << "Is it in stock? #5 a/b" << "Is%20it%20in%20stock%3F%20%235%20a%2Fb";
    // An escape the operator typed is sent as text, not decoded on the way.
    QTest::newRow("percent") << "50% ab%41cd" << "50%25%20ab%2541cd";
    QTest::newRow("control characters") << QString("a\tb\nc\x01") << "a%09b%0Ac%01";
    QTest::newRow("the rest of ASCII") << "!\"$'()*,:;<>@[\\]^`{|}" << "%21%22%24%27%28%29%2A%2C%3A%3B%3C%3E%40%5B%5C%5D%5E%60%7B%7C%7D";
    QTest::newRow("e acute") << QString(QChar(0x00E9)) << "%C3%A9";
    QTest::newRow("euro sign") << QString(QChar(0x20AC)) << "%E2%82%AC";
    QTest::newRow("last one-byte unit") << QString(QChar(0x7F)) << "%7F";
    QTest::newRow("first two-byte unit") << QString(QChar(0x80)) << "%C2%80";
    QTest::newRow("last two-byte unit") << QString(QChar(0x7FF)) << "%DF%BF";
    QTest::newRow("first three-byte unit") << QString(QChar(0x800)) << "%E0%A0%80";
    QTest::newRow("last unit") << QString(QChar(0xFFFF)) << "%EF%BF%BF";
    // A character outside the basic plane arrives as two surrogate halves,
    // each encoded on its own.
    QTest::newRow("surrogate pair") << QString::fromUcs4(U"\U0001F600") << "%ED%A0%BD%ED%B8%80";
    QTest::newRow("lone high surrogate") << QString(QChar(0xD800)) << "%ED%A0%80";
    QTest::newRow("lone low surrogate") << QString(QChar(0xDFFF)) << "%ED%BF%BF";
    QTest::newRow("empty") << "" << "";
  }
  void urlEncode() {
    QFETCH(QString, text);
    QFETCH(QString, encoded);
    QCOMPARE(UrlEncode(text), encoded);
  }

  void readLeadingNumbers() {
    QCOMPARE(ReadLeadingInt("12"), 12L);
    QCOMPARE(ReadLeadingInt("  7 seconds"), 7L);
    QCOMPARE(ReadLeadingInt("-3"), -3L);
    QCOMPARE(ReadLeadingInt("abc"), 0L);
    QCOMPARE(ReadLeadingInt(""), 0L);
    QCOMPARE(ReadLeadingInt("99999999999999999999999"), LONG_MAX);
    QCOMPARE(ReadLeadingDouble("2.6"), 2.6);
    QCOMPARE(ReadLeadingDouble("2.5beta"), 2.5);
    QCOMPARE(ReadLeadingDouble("v3"), 0.0);
    QCOMPARE(ReadLeadingDouble("."), 0.0);
  }
};

QTEST_GUILESS_MAIN(TestReplyText)
#include "tst_ReplyText.moc"
