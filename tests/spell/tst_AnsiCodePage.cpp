// The Windows-1252 code page of the dictionary, both ways.
#include "AnsiCodePage.h"

#include <QTest>

class TestAnsiCodePage : public QObject {
  Q_OBJECT

 private slots:
  void toCodePage_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ASCII") << "Hello, world?" << QByteArray("Hello, world?");
    QTest::newRow("Latin-1 letters") << QString::fromUtf8("café Ñ ÿ") << QByteArray("caf\xE9 \xD1 \xFF");
    QTest::newRow("euro, quotes, dashes") << QString::fromUtf8("€‘’“”–—") << QByteArray("\x80\x91\x92\x93\x94\x96\x97");
    QTest::newRow("last of the table") << QString::fromUtf8("žŸ") << QByteArray("\x9E\x9F");
    QTest::newRow("unassigned bytes") << QString(QChar(0x81)) + QChar(0x9D) << QByteArray("\x81\x9D");
    QTest::newRow("C1 control without a byte") << QString(QChar(0x80)) << QByteArray("?");
    QTest::newRow("outside the code page") << QString::fromUtf8("Łódź 東") << QByteArray("?\xF3""d? ?");
    QTest::newRow("surrogate pair is one character") << QString::fromUtf8("a😀b") << QByteArray("a?b");
    QTest::newRow("lone surrogates") << QString(QChar(0xD800)) + u'x' + QChar(0xDC00) << QByteArray("?x?");
    QTest::newRow("NUL kept") << QString(QChar(0)) + u'a' << QByteArray("\0a", 2);
  }
  void toCodePage() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(ToAnsiCodePage(text), bytes);
  }

  void everyByteRoundTrips() {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all += char(b);
    const QString text = FromAnsiCodePage(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text[0x80], QChar(0x20AC));
    QCOMPARE(text[0x8D], QChar(0x8D));
    QCOMPARE(text[0xE9], QChar(0xE9));
    QCOMPARE(ToAnsiCodePage(text), all);
  }
};

QTEST_GUILESS_MAIN(TestAnsiCodePage)
#include "tst_AnsiCodePage.moc"
