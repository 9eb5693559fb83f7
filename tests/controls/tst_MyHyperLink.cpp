// CMyHyperLink, the rule for opening a link's target, and
// CTransparentStatic.
#include "ControlsTest.h"
#include "LinkOpener.h"
#include "MyHyperLink.h"
#include "TransparentStatic.h"

#include <QPainter>
#include <QTest>
#include <QTextDocument>

namespace {
// Records what would be opened instead of opening it.
struct Opened {
  QList<QUrl> urls;
  explicit Opened(bool result = true) {
    CLinkOpener::SetOpener([this, result](const QUrl& u) {
      urls.append(u);
      return result;
    });
  }
  ~Opened() { CLinkOpener::SetOpener({}); }
};

const QColor kNormal(0, 0, 255), kHover(255, 0, 0), kVisited(5, 34, 143);

QString PlainTextOf(const QString& markup) {
  QTextDocument doc;
  doc.setHtml(markup);
  return doc.toPlainText();
}
}  // namespace

class TestMyHyperLink : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseFusion(); }

  // Also run at 2x by tst_ControlsHyperLinkHiDpi.
  void aTargetGivesCursor161() {
    CMyHyperLink link;
    QCOMPARE(link.cursor().shape(), Qt::ArrowCursor);
    link.SetUrl(QStringLiteral("http://example.com"));
    QCOMPARE(link.cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(link.cursor().hotSpot(), QPoint(6, 0));
    QCOMPARE(link.cursor().pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
    QCOMPARE(link.cursor().pixmap().devicePixelRatio(), qApp->devicePixelRatio());
    link.SetUrl(QString());
    QCOMPARE(link.cursor().shape(), Qt::ArrowCursor);
  }

  void linkAndMailLink() {
    CMyHyperLink link;
    const QString text = QStringLiteral("http://a.example/?q=<b>bold</b>&x=1");
    link.SetLink(text);
    QCOMPARE(link.textFormat(), Qt::PlainText);
    QCOMPARE(link.GetUrl(), text);
    QCOMPARE(PlainTextOf(link.toolTip()), text);  // shown as written, never as HTML
    link.SetMailLink(QStringLiteral("ann@example.com"));
    QCOMPARE(link.GetUrl(), QStringLiteral("mailto:ann@example.com"));
    QCOMPARE(PlainTextOf(link.toolTip()), text);  // the tooltip is not changed
    link.SetMailLink(QString());                  // keeps the previous target
    QCOMPARE(link.GetUrl(), QStringLiteral("mailto:ann@example.com"));
  }

  void clickOpensTheTargetAndTheLinkStaysVisited() {
    Opened opened;
    CMyHyperLink link;
    link.resize(150, 20);
    link.SetLink(QStringLiteral("www.example.com"));
    QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(200, 10));  // released outside: no click
    QVERIFY(opened.urls.isEmpty());
    Enter(&link);
    QCOMPARE(link.CurrentColour(), kHover);
    QTest::mouseClick(&link, Qt::LeftButton);
    QCOMPARE(opened.urls, QList<QUrl>({QUrl(QStringLiteral("http://www.example.com"))}));
    QCOMPARE(link.palette().color(QPalette::WindowText), kVisited);  // even with the mouse over it
    Leave(&link);
    Enter(&link);
    QCOMPARE(link.CurrentColour(), kVisited);
  }

  // Visited belongs to the address: the link given the next visitor's page
  // is not shown visited; every link to the clicked page is.
  void visitedBelongsToTheAddress() {
    Opened opened;
    CMyHyperLink link, other;
    link.resize(200, 20);
    for (CMyHyperLink* l : {&link, &other}) l->SetLink(QStringLiteral("http://a.example.com/clicked"));
    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(other.palette().color(QPalette::WindowText), kVisited);
    link.SetLink(QStringLiteral("http://b.example.com/next"));
    QCOMPARE(link.palette().color(QPalette::WindowText), kNormal);
    link.SetLink(QStringLiteral("http://a.example.com/clicked"));
    QVERIFY(link.IsVisited());
  }

  void leavingRestoresTheColourAndNoGrabIsLeft() {
    QWidget window;
    auto* link = new CMyHyperLink(&window);
    link->setGeometry(10, 10, 150, 20);
    link->SetLink(QStringLiteral("http://example.com"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Enter(link);
    QCOMPARE(link->palette().color(QPalette::WindowText), kHover);
    Leave(link);
    QCOMPARE(link->palette().color(QPalette::WindowText), kNormal);
    Enter(link);
    link->hide();  // hidden mid-hover
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
  }

  void onlyWebAndMailTargetsAreOpened_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("opened");  // empty: refused
    QTest::newRow("http") << "http://example.com/a?b=c" << "http://example.com/a?b=c";
    QTest::newRow("https upper case") << "HTTPS://example.com" << "https://example.com";
    QTest::newRow("ftp") << "ftp://files.example.com/x.zip" << "ftp://files.example.com/x.zip";
    QTest::newRow("mailto") << "mailto:ann@example.com" << "mailto:ann@example.com";
    QTest::newRow("www") << "WWW.example.com/page" << "http://WWW.example.com/page";
    QTest::newRow("spaces around") << "  http://example.com  " << "http://example.com";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("javascript") << "javascript:alert(1)" << "";
    QTest::newRow("file") << "file:///etc/passwd" << "";
    QTest::newRow("a path") << "/usr/bin/xterm" << "";
    QTest::newRow("no host") << "http://" << "";
    QTest::newRow("mailto nobody") << "mailto:" << "";
    QTest::newRow("mailto subject and body") << "mailto:a@x.example?Subject=Hi%20there&body=a%26b"
                                             << "mailto:a@x.example?subject=Hi%20there&body=a%26b";
    QTest::newRow("mailto attach") << "mailto:a@x.example?attach=/etc/passwd" << "mailto:a@x.example";
    QTest::newRow("mailto cc, bcc, attachment among")
        << "mailto:a@x.example?cc=b@y.example&subject=s&ATTACHMENT=%2Fetc%2Fshadow&bcc=c@z.example"
        << "mailto:a@x.example?subject=s";
    QTest::newRow("data") << "data:text/html,<script>x</script>" << "";
  }
  void onlyWebAndMailTargetsAreOpened() {
    QFETCH(QString, target);
    QFETCH(QString, opened);
    {
      Opened record;
      QCOMPARE(CLinkOpener::Open(target), !opened.isEmpty());
      QCOMPARE(record.urls, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(opened)});
    }
    Opened failing(false);  // a failure of the desktop is no success
    QVERIFY(!CLinkOpener::Open(target));
  }

  void transparentStaticShowsThePictureAroundAndBetweenTheLetters() {
    // A parent painting green and yellow stripes.
    struct Picture : QWidget {
      void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        for (int x = 0; x < width(); x += 2) p.fillRect(QRect(x, 0, 2, height()), x % 4 ? QColor(255, 230, 0) : QColor(0, 160, 0));
      }
    } parent;
    parent.resize(200, 40);
    auto* label = new CTransparentStatic(QStringLiteral("Hello World"), &parent);
    label->setGeometry(10, 10, 150, 20);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 0));
    pal.setColor(QPalette::Window, QColor(255, 0, 255));  // must never show
    label->setPalette(pal);
    const QImage img = Render(&parent, QStringLiteral("transparent"));
    int picture = 0, ink = 0;
    for (int y = 10; y < 30; ++y)
      for (int x = 10; x < 160; ++x) {
        picture += Pixel(img, x, y) == QColor(0, 160, 0) || Pixel(img, x, y) == QColor(255, 230, 0);
        ink += Pixel(img, x, y).value() < 60;
      }
    QVERIFY(ink > 20);
    QVERIFY(picture > 150 * 20 * 3 / 4);  // the picture around and between the letters
  }
};

QTEST_MAIN(TestMyHyperLink)
#include "tst_MyHyperLink.moc"
