// CHyperButtonEx: hover by enter and leave, the 100 ms fallback,
// the parent's background, the keyed bitmap and the tooltip.
#include "ControlsTest.h"
#include "HyperButtonEx.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QTest>
#include <QTextDocument>

namespace {
// Swallows the leave events of a widget: a leave that never arrives.
class EatLeave : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override { return e->type() == QEvent::Leave; }
};

QImage Smiley() {
  QImage img(12, 12, QImage::Format_RGB32);
  img.fill(QColor(192, 192, 192));  // the key colour
  for (int y = 3; y < 9; ++y)
    for (int x = 3; x < 9; ++x) img.setPixel(x, y, qRgb(250, 200, 0));
  return img;
}
}  // namespace

class TestHyperButtonEx : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseFusion(); }

  void defaults() {
    CHyperButtonEx b;
    QCOMPARE(b.GetTextColor(), QColor(0, 0, 140));
    QCOMPARE(b.GetHoverTextColor(), QColor(0, 0, 255));
    QCOMPARE(b.GetBackgroundColor(), QColor(255, 255, 255));
    QCOMPARE(b.GetHoverBackgroundColor(), QColor(255, 255, 255));
    QCOMPARE(b.GetTooltip(), QStringLiteral("Click Here!"));
    QCOMPARE(b.cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(!b.IsHovering());
  }

  void hoverFollowsEnterAndLeave() {
    CHyperButtonEx b;
    b.resize(24, 24);
    Enter(&b);
    QVERIFY(b.IsHovering());
    QVERIFY(b.IsHoverCheckRunning());
    Leave(&b);
    QVERIFY(!b.IsHovering());
    QVERIFY(!b.IsHoverCheckRunning());
  }

  void hoverIsIgnoredWhileTheButtonIsDown() {
    CHyperButtonEx b;
    b.resize(24, 24);
    QTest::mousePress(&b, Qt::LeftButton);
    Enter(&b);
    QVERIFY(!b.IsHovering());
    QTest::mouseRelease(&b, Qt::LeftButton);
  }

  void stopsHoveringWithin100MsWithoutALeave() {
    QWidget window;
    window.setGeometry(100, 100, 200, 150);
    auto* b = new CHyperButtonEx(&window);
    b->setGeometry(20, 20, 30, 30);
    EatLeave eat;
    b->installEventFilter(&eat);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint inside = b->mapToGlobal(QPoint(15, 15));
    QCursor::setPos(inside);
    QTRY_COMPARE(QCursor::pos(), inside);
    Enter(b);
    QVERIFY(b->IsHovering());
    // With the cursor inside, the check keeps the hover (a bounded wait for
    // something that must not happen: three checks).
    QTest::qWait(3 * CHyperButtonEx::kHoverCheckMs);
    QVERIFY(b->IsHovering());
    QElapsedTimer clock;
    QCursor::setPos(QPoint(5, 5));
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(!b->IsHovering(), 2000);
    // Caught by the next check (every 100 ms), not by an event; the bound
    // leaves room for a loaded machine running the suite in parallel.
    QVERIFY2(clock.elapsed() < 10 * CHyperButtonEx::kHoverCheckMs, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!b->IsHoverCheckRunning());
  }

  void facePaintsInTheHoverColoursOnTheParentsBackground() {
    QWidget parent;
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(10, 120, 30));
    parent.setPalette(pal);
    auto* b = new CHyperButtonEx(&parent);
    b->resize(30, 30);
    b->SetBackgroundColors(QColor(255, 255, 255), QColor(255, 255, 160));
    b->SetBitmapImage(Smiley());
    QImage img = Render(b);
    QCOMPARE(Pixel(img, 1, 15), QColor(10, 120, 30));     // between the frame and the face
    QCOMPARE(Pixel(img, 0, 15), Role(b, QPalette::Dark));
    QCOMPARE(Pixel(img, 4, 4), QColor(255, 255, 255));    // face
    const int left = 2 + (26 - 12) / 2;
    QCOMPARE(Pixel(img, left + 1, left + 1), QColor(255, 255, 255));  // key colour left out
    QCOMPARE(Pixel(img, left + 5, left + 5), QColor(250, 200, 0));
    Enter(b);
    img = Render(b);
    QCOMPARE(Pixel(img, 4, 4), QColor(255, 255, 160));
    QCOMPARE(Pixel(img, left + 1, left + 1), QColor(255, 255, 160));
    Leave(b);
    b->setEnabled(false);
    img = Render(b);
    QVERIFY(Pixel(img, left + 5, left + 5) != QColor(250, 200, 0));
  }

  void tooltipIsPlainTextAndAnEmptyOneIsOff() {
    CHyperButtonEx b;
    b.SetTooltip(QStringLiteral("<b>:-)</b> & more"), QColor(255, 255, 225), QColor(0, 0, 0));
    QTextDocument doc;
    doc.setHtml(b.TooltipMarkup());
    QCOMPARE(doc.toPlainText(), QStringLiteral("<b>:-)</b> & more"));
    QVERIFY(b.TooltipMarkup().contains(QStringLiteral("#ffffe1")));
    b.SetTooltip(QString());
    QVERIFY(b.TooltipMarkup().isEmpty());
  }

  void disabledButtonHasNoHandCursor() {
    CHyperButtonEx b;
    b.setEnabled(false);
    QCOMPARE(b.cursor().shape(), Qt::ArrowCursor);
    b.setEnabled(true);
    QCOMPARE(b.cursor().shape(), Qt::PointingHandCursor);
  }
};

QTEST_MAIN(TestHyperButtonEx)
#include "tst_HyperButtonEx.moc"
