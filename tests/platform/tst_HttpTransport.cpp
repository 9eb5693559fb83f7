// The request target the transport puts on the wire.
#include "HttpTransport.h"

#include <QTest>

class TestHttpTransport : public QObject {
  Q_OBJECT

 private slots:
  void escapeTarget_data() {
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("escaped");
    QTest::newRow("plain query") << QByteArray("/cpn/w-param.php?stid=1&nvar=Y") << QByteArray("/cpn/w-param.php?stid=1&nvar=Y");
    QTest::newRow("chat line") << QByteArray("say=see #5 at 100% now") << QByteArray("say=see%20%235%20at%20100%25%20now");
    QTest::newRow("valid escapes stay") << QByteArray("a%3Db%C3%A9") << QByteArray("a%3Db%C3%A9");
    QTest::newRow("percent at the end") << QByteArray("x%") << QByteArray("x%25");
    QTest::newRow("half an escape") << QByteArray("x%4") << QByteArray("x%254");
    QTest::newRow("not hex") << QByteArray("%GG") << QByteArray("%25GG");
    QTest::newRow("controls") << QByteArray("a\tb\nc\x7F", 6) << QByteArray("a%09b%0Ac%7F");
    QTest::newRow("nul byte") << QByteArray("a\0b", 3) << QByteArray("a%00b");
    QTest::newRow("high bytes") << QByteArray("\xC3\xA9") << QByteArray("%C3%A9");
    QTest::newRow("unsafe punctuation") << QByteArray("<b>\"x\"{|}^`\\") << QByteArray("%3Cb%3E%22x%22%7B%7C%7D%5E%60%5C");
    QTest::newRow("allowed punctuation") << QByteArray("/?&=+:@!$'()*,;~-._[]") << QByteArray("/?&=+:@!$'()*,;~-._[]");
  }
  void escapeTarget() {
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, escaped);
    QCOMPARE(CHttpTransport::EscapeTarget(target), escaped);
  }
};

QTEST_GUILESS_MAIN(TestHttpTransport)
#include "tst_HttpTransport.moc"
