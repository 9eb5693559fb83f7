// CMyHyperLink and CTransparentStatic, and the rule for opening
// a link's target.
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
  Opened() {
    CLinkOpener::SetOpener([this](const QUrl& u) {
      urls.append(u);
      return true;
    });
  }
  ~Opened() { CLinkOpener::SetOpener({}); }
};

const QColor kNormal(0, 0, 255), kHover(255, 0, 0), kVisited(5, 34, 143);

// A parent that paints a green and yellow stripe picture as its background.
class Picture : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    for (int x = 0; x < width(); x += 4) p.fillRect(QRect(x, 0, 2, height()), QColor(0, 160, 0));
    for (int x = 2; x < width(); x += 4) p.fillRect(QRect(x, 0, 2, height()), QColor(255, 230, 0));
  }
};
}  // namespace

class TestMyHyperLink : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseFusion(); }

  void defaults() {
    CMyHyperLink link;
    QCOMPARE(link.CurrentColour(), kNormal);
    QVERIFY(link.font().underline());
    QCOMPARE(link.textFormat(), Qt::PlainText);
    QCOMPARE(link.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!link.IsHover());
    QVERIFY(!link.IsVisited());
  }

  void aTargetGivesCursor161() {
    CMyHyperLink link;
    link.SetUrl(QStringLiteral("http://example.com"));
    QVERIFY(link.HasLinkCursor());
    QCOMPARE(link.cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(link.cursor().hotSpot(), QPoint(6, 0));
    QCOMPARE(link.cursor().pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
    // The picture of the screen's density (tst_ControlsHyperLinkHiDpi runs this at 2x).
    QCOMPARE(link.cursor().pixmap().devicePixelRatio(), qApp->devicePixelRatio());
    QCOMPARE(link.cursor().pixmap().size(), QSize(32, 32) * qApp->devicePixelRatio());
    link.SetUrl(QString());
    QVERIFY(!link.HasLinkCursor());
    QCOMPARE(link.cursor().shape(), Qt::ArrowCursor);
  }

  void cursor161HasAPictureAt1xAnd2x() {
    const QImage one(QStringLiteral(":/cursors/161.png")), two(QStringLiteral(":/cursors/161@2x.png"));
    QCOMPARE(one.size(), QSize(32, 32));
    QCOMPARE(two.size(), QSize(64, 64));
    // The fingertip is at the hot spot: opaque at (6,0)'s column near the top,
    // nothing at the top-left corner.
    QVERIFY(qAlpha(one.pixel(6, 1)) > 128);
    QCOMPARE(qAlpha(one.pixel(0, 0)), 0);
    QVERIFY(qAlpha(two.pixel(12, 2)) > 128);
  }

  void setLinkSetsTextTargetAndPlainTooltip() {
    CMyHyperLink link;
    const QString text = QStringLiteral("http://a.example/?q=<b>bold</b>&x=1");
    link.SetLink(text);
    QCOMPARE(link.text(), text);
    QCOMPARE(link.GetUrl(), text);
    QTextDocument doc;
    doc.setHtml(link.toolTip());
    QCOMPARE(doc.toPlainText(), text);
  }

  void mailLinkAndAnEmptyMailLinkKeepsTheTarget() {
    CMyHyperLink link;
    link.SetLink(QStringLiteral("www.example.com"));
    const QString tip = link.toolTip();
    link.SetMailLink(QStringLiteral("ann@example.com"));
    QCOMPARE(link.GetUrl(), QStringLiteral("mailto:ann@example.com"));
    QCOMPARE(link.text(), QStringLiteral("ann@example.com"));
    QCOMPARE(link.toolTip(), tip);  // not changed
    link.SetMailLink(QString());
    QCOMPARE(link.GetUrl(), QStringLiteral("mailto:ann@example.com"));
    QCOMPARE(link.text(), QString());
  }

  void clickOpensTheTargetAndTheLinkStaysVisited() {
    Opened opened;
    CMyHyperLink link;
    link.resize(150, 20);
    link.SetLink(QStringLiteral("www.example.com"));
    Enter(&link);
    QCOMPARE(link.CurrentColour(), kHover);
    QTest::mouseClick(&link, Qt::LeftButton);
    QCOMPARE(opened.urls, QList<QUrl>({QUrl(QStringLiteral("http://www.example.com"))}));
    QVERIFY(link.IsVisited());
    QCOMPARE(link.CurrentColour(), kVisited);  // even with the mouse over it
    Leave(&link);
    Enter(&link);
    QCOMPARE(link.CurrentColour(), kVisited);
    QCOMPARE(link.palette().color(QPalette::WindowText), kVisited);
  }

  void emptyTargetOpensNothing() {
    Opened opened;
    CMyHyperLink link;
    link.resize(100, 20);
    link.setText(QStringLiteral("nowhere"));
    QCOMPARE(link.cursor().shape(), Qt::ArrowCursor);
    QTest::mouseClick(&link, Qt::LeftButton);
    QVERIFY(opened.urls.isEmpty());
    QVERIFY(link.IsVisited());
  }

  void releasingOutsideIsNoClick() {
    Opened opened;
    CMyHyperLink link;
    link.resize(100, 20);
    link.SetLink(QStringLiteral("http://example.com"));
    QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(200, 10));
    QVERIFY(opened.urls.isEmpty());
    QVERIFY(!link.IsVisited());
  }

  void leavingRestoresTheColourAtOnceWithoutAGrab() {
    QWidget window;
    auto* link = new CMyHyperLink(&window);
    link->setGeometry(10, 10, 150, 20);
    link->SetLink(QStringLiteral("http://example.com"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Enter(link);
    QVERIFY(link->IsHover());
    QCOMPARE(link->palette().color(QPalette::WindowText), kHover);
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
    Leave(link);
    QVERIFY(!link->IsHover());
    QCOMPARE(link->palette().color(QPalette::WindowText), kNormal);
    // Hidden mid-hover: nothing is left grabbing the mouse.
    Enter(link);
    link->hide();
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
  }

  void linkTextIsNotInterpretedAsHtml() {
    CMyHyperLink link;
    link.SetLink(QStringLiteral("<i>x</i>"));
    QCOMPARE(link.textFormat(), Qt::PlainText);
  }

  void onlyWebAndMailTargetsAreOpened_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("opened");  // empty: refused
    QTest::newRow("http") << "http://example.com/a?b=c" << "http://example.com/a?b=c";
    QTest::newRow("https upper case") << "HTTPS://example.com" << "https://example.com";
    QTest::newRow("ftp") << "ftp://files.example.com/x.zip" << "ftp://files.example.com/x.zip";
    QTest::newRow("mailto") << "mailto:ann@example.com" << "mailto:ann@example.com";
    QTest::newRow("www") << "www.example.com/page" << "http://www.example.com/page";
    QTest::newRow("WWW") << "WWW.example.com" << "http://WWW.example.com";
    QTest::newRow("spaces around") << "  http://example.com  " << "http://example.com";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("javascript") << "javascript:alert(1)" << "";
    QTest::newRow("file") << "file:///etc/passwd" << "";
    QTest::newRow("a path") << "/usr/bin/xterm" << "";
    QTest::newRow("smb") << "smb://host/share" << "";
    QTest::newRow("no host") << "http://" << "";
    QTest::newRow("mailto nobody") << "mailto:" << "";
    QTest::newRow("bare word") << "example" << "";
    QTest::newRow("data") << "data:text/html,<script>x</script>" << "";
  }

  void onlyWebAndMailTargetsAreOpened() {
    QFETCH(QString, target);
    QFETCH(QString, opened);
    Opened record;
    const bool result = CLinkOpener::Open(target);
    QCOMPARE(result, !opened.isEmpty());
    if (opened.isEmpty()) {
      QVERIFY(record.urls.isEmpty());
    } else {
      QCOMPARE(record.urls.size(), 1);
      QCOMPARE(record.urls.first(), QUrl(opened));
    }
  }

  void aFailingOpenerIsReported() {
    CLinkOpener::SetOpener([](const QUrl&) { return false; });
    QVERIFY(!CLinkOpener::Open(QStringLiteral("http://example.com")));
    CLinkOpener::SetOpener({});
  }

  // ---- CTransparentStatic ----

  void transparentStaticShowsTheBitmapAroundAndBetweenTheLetters() {
    Picture parent;
    parent.resize(200, 40);
    auto* label = new CTransparentStatic(QStringLiteral("Hello World"), &parent);
    label->setGeometry(10, 10, 150, 20);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 0));
    pal.setColor(QPalette::Window, QColor(255, 0, 255));  // must never show
    label->setPalette(pal);
    const QImage img = Render(&parent);
    int picture = 0, ink = 0;
    for (int y = 10; y < 30; ++y)
      for (int x = 10; x < 160; ++x) {
        const QColor c = Pixel(img, x, y);
        QVERIFY(c != QColor(255, 0, 255));
        if (c == QColor(0, 160, 0) || c == QColor(255, 230, 0)) ++picture;
        if (c.value() < 60) ++ink;
      }
    QVERIFY(ink > 20);
    QVERIFY(picture > 150 * 20 / 2);
    // Between "H" and "e": a column of the text's height with picture only.
    const QFontMetrics fm(label->font());
    const int gap = 10 + fm.horizontalAdvance(QStringLiteral("H")) - 1;
    int clear = 0;
    for (int x = gap - 1; x <= gap + 1; ++x) {
      bool anyInk = false;
      for (int y = 10; y < 10 + fm.height(); ++y) anyInk |= Pixel(img, x, y).value() < 60;
      clear += !anyInk;
    }
    QVERIFY(clear > 0);
  }

  void transparentStaticTextFlags() {
    CTransparentStatic s;
    using S = CTransparentStatic;
    QCOMPARE(s.TextFlags(), int(Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextWordWrap));
    s.SetStaticStyle(S::SS_CENTER);
    QVERIFY(s.TextFlags() & Qt::AlignHCenter);
    s.SetStaticStyle(S::SS_RIGHT | S::SS_CENTERIMAGE);
    QCOMPARE(s.TextFlags(), int(Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic));
    s.SetStaticStyle(S::SS_NOPREFIX);
    QVERIFY(!(s.TextFlags() & Qt::TextShowMnemonic));
    s.SetStaticStyle(S::SS_LEFTNOWORDWRAP);
    QVERIFY(!(s.TextFlags() & Qt::TextWordWrap));
    s.SetStaticStyle(S::SS_ENDELLIPSIS);
    QVERIFY(!(s.TextFlags() & Qt::TextWordWrap));
    QCOMPARE(s.ElideMode(), Qt::ElideRight);
    s.SetStaticStyle(S::SS_PATHELLIPSIS);
    QCOMPARE(s.ElideMode(), Qt::ElideMiddle);
    s.SetStaticStyle(S::SS_WORDELLIPSIS);
    QCOMPARE(s.ElideMode(), Qt::ElideRight);
    s.SetStaticStyle(S::SS_LEFT);
    QCOMPARE(s.ElideMode(), Qt::ElideNone);
  }
};

QTEST_MAIN(TestMyHyperLink)
#include "tst_MyHyperLink.moc"
