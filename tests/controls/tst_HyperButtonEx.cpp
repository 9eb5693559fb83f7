// CHyperButtonEx: the 100 ms fallback for a lost leave, the face on the
// parent's background, and the tooltip.
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
}  // namespace

class TestHyperButtonEx : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseFusion(); }

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
    QElapsedTimer clock;
    QCursor::setPos(QPoint(5, 5));
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(!b->IsHovering(), 2000);
    // Caught by the next check, not by an event; the bound leaves room for a
    // loaded machine running the suite in parallel.
    QVERIFY2(clock.elapsed() < 10 * CHyperButtonEx::kHoverCheckMs, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!b->IsHoverCheckRunning());
  }

  void faceOnTheParentsBackground() {
    QWidget parent;
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(10, 120, 30));
    parent.setPalette(pal);
    auto* b = new CHyperButtonEx(&parent);
    b->resize(30, 30);
    b->SetBackgroundColors(QColor(255, 255, 255), QColor(255, 255, 160));
    QImage smiley(12, 12, QImage::Format_RGB32);
    smiley.fill(QColor(192, 192, 192));  // the key colour, with a yellow middle
    for (int y = 3; y < 9; ++y)
      for (int x = 3; x < 9; ++x) smiley.setPixel(x, y, qRgb(250, 200, 0));
    b->SetBitmapImage(smiley);
    const int left = 2 + (26 - 12) / 2;
    const QImage img = Render(b, QStringLiteral("hyperbutton"));
    QCOMPARE(Pixel(img, 1, 15), QColor(10, 120, 30));  // between the frame and the face
    QCOMPARE(Pixel(img, left + 1, left + 1), QColor(255, 255, 255));  // key colour left out
    QCOMPARE(Pixel(img, left + 5, left + 5), QColor(250, 200, 0));
    Enter(b);
    QCOMPARE(Pixel(Render(b), left + 1, left + 1), QColor(255, 255, 160));
  }

  void tooltipIsPlainTextAndAnEmptyOneIsOff() {
    CHyperButtonEx b;
    QCOMPARE(b.GetTooltip(), QStringLiteral("Click Here!"));
    b.SetTooltip(QStringLiteral("<b>:-)</b> & more"), QColor(255, 255, 225), QColor(0, 0, 0));
    QTextDocument doc;
    doc.setHtml(b.TooltipMarkup());
    QCOMPARE(doc.toPlainText(), QStringLiteral("<b>:-)</b> & more"));
    b.SetTooltip(QString());
    QVERIFY(b.TooltipMarkup().isEmpty());
  }
};

QTEST_MAIN(TestHyperButtonEx)
#include "tst_HyperButtonEx.moc"
