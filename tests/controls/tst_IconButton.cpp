// CIconButton: the layout numbers, the mnemonic underline and
// the icon-only button.
#include "ControlsTest.h"
#include "IconButton.h"

#include <QPainter>
#include <QTest>

namespace {
// A solid green square with a 1-pixel dark border: easy to find in pixels.
QIcon GreenIcon() {
  QPixmap pm(32, 32);
  pm.fill(QColor(0, 200, 0));
  return QIcon(pm);
}
const QColor kRed(255, 0, 0);
}  // namespace

class TestIconButton : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseFusion(); }

  void defaults() {
    CIconButton b;
    QCOMPARE(b.GetIconId(), 0);
    QCOMPARE(b.GetIconSize(), QSize(32, 32));
    QVERIFY(!b.GetIconRight());
    QVERIFY(!b.GetTextColor().isValid());
  }

  void layoutWithTheIconAtTheLeftOrRight() {
    CIconButton b(QStringLiteral("Emoticons"));
    b.resize(120, 25);
    b.SetIconImage(GreenIcon());
    b.SetIconSize(16, 16);
    const QFontMetrics fm(b.font());
    const int tw = fm.horizontalAdvance(QStringLiteral("Emoticons")), th = fm.height();
    QCOMPARE(b.IconRect(), QRect(6, (25 - 16 + 1) / 2, 16, 16));
    QCOMPARE(b.TextRect(), QRect((120 - 16) / 2 + 16 - tw / 2, 25 / 2 - th / 2, tw, th));
    b.SetIconRight(true);
    QCOMPARE(b.IconRect(), QRect(120 - 16 - 6, (25 - 16 + 1) / 2, 16, 16));
    QCOMPARE(b.TextRect().left(), (120 - 16) / 2 - tw / 2);
    b.SetIconImage(QIcon());
    QCOMPARE(b.TextRect().left(), 120 / 2 - tw / 2);
    QVERIFY(b.IconRect().isNull());
  }

  void aSizeOfZeroDrawsAt32() {
    CIconButton b(QStringLiteral("x"));
    b.resize(100, 40);
    b.SetIconImage(GreenIcon());
    b.SetIconSize(0, 0);
    QCOMPARE(b.IconRect().size(), QSize(32, 32));
  }

  void sendShowsSendWithTheSUnderlined() {
    CIconButton b(QStringLiteral("&Send"));
    b.resize(90, 26);
    b.SetTextColor(kRed);
    const QFontMetrics fm(b.font());
    const QRect text = b.TextRect();
    QCOMPARE(text.width(), fm.horizontalAdvance(QStringLiteral("Send")));
    const QRect line = b.MnemonicRect();
    QCOMPARE(line, QRect(text.left(), text.bottom(), fm.horizontalAdvance(QStringLiteral("S")), 1));
    const QImage img = Render(&b);
    for (int x = line.left(); x <= line.right(); ++x) QCOMPARE(Pixel(img, x, line.top()), kRed);
    // Nothing under "end" on that row (no descenders there) and not past it.
    for (int x = line.right() + 2; x <= text.right() + 3; ++x)
      QVERIFY2(Pixel(img, x, line.top()) != kRed, qPrintable(QString::number(x)));
    // The text itself is drawn without the ampersand, in red.
    int red = 0;
    for (int y = text.top(); y < text.bottom(); ++y)
      for (int x = text.left(); x <= text.right(); ++x) {
        const QColor c = Pixel(img, x, y);
        red += c.red() > 200 && c.green() < 100 && c.blue() < 100;
      }
    QVERIFY(red > 20);
    // Pressed: everything 1 pixel right and down.
    b.setDown(true);
    const QImage pressed = Render(&b);
    for (int x = line.left(); x <= line.right(); ++x) QCOMPARE(Pixel(pressed, x + 1, line.top() + 1), kRed);
  }

  void aDoubledAmpersandIsNoMnemonic() {
    CIconButton b(QStringLiteral("R&&D"));
    b.resize(90, 26);
    QVERIFY(b.MnemonicRect().isNull());
    CIconButton c(QStringLiteral("No mnemonic"));
    c.resize(90, 26);
    QVERIFY(c.MnemonicRect().isNull());
  }

  void disabledDrawsNoUnderline() {
    CIconButton b(QStringLiteral("&Send"));
    b.resize(90, 26);
    b.SetTextColor(kRed);
    b.setEnabled(false);
    const QImage img = Render(&b);
    for (int y = 0; y < 26; ++y)
      for (int x = 0; x < 90; ++x) QVERIFY(Pixel(img, x, y) != kRed);
  }

  void withoutTextOnlyTheCentredIcon() {
    CIconButton b;
    b.resize(40, 30);
    b.SetIconImage(GreenIcon());
    b.SetIconSize(16, 16);
    QCOMPARE(b.IconRect(), QRect((40 - 16) / 2, (30 - 16) / 2, 16, 16));
    const QImage img = Render(&b);
    QRect green;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x)
        if (Pixel(img, x, y) == QColor(0, 200, 0)) green |= QRect(x, y, 1, 1);
    QCOMPARE(green, QRect(12, 7, 16, 16));
  }

  void disabledIconUsesTheDisabledLook() {
    CIconButton b;
    b.resize(40, 30);
    b.SetIconImage(GreenIcon());
    b.SetIconSize(16, 16);
    b.setEnabled(false);
    const QImage img = Render(&b);
    QVERIFY(Pixel(img, 20, 15) != QColor(0, 200, 0));
  }

  void missingIconResourceIsNotDrawn() {
    CIconButton a(QStringLiteral("File Transfer")), b(QStringLiteral("File Transfer"));
    a.resize(120, 26);
    b.resize(120, 26);
    b.SetIconId(9999);
    QCOMPARE(b.GetIconId(), 9999);
    QCOMPARE(Render(&b), Render(&a));
  }

  void focusDrawsADarkFrameAndAFocusRectangle() {
    QWidget window;
    auto* b = new CIconButton(QStringLiteral("Emoticons"), &window);
    b->setGeometry(5, 5, 110, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    b->clearFocus();  // the window gave it the focus on activation
    QVERIFY(!b->hasFocus());
    const QImage plain = Render(b);
    b->setFocus();
    QTRY_VERIFY(b->hasFocus());
    const QImage focused = Render(b);
    QCOMPARE(Pixel(focused, 50, 0), Role(b, QPalette::Shadow));
    QCOMPARE(Pixel(focused, 0, 15), Role(b, QPalette::Shadow));
    QVERIFY(plain.pixel(4, 15) != focused.pixel(4, 15));
    QCOMPARE(plain.pixel(3, 15), focused.pixel(3, 15));
    QVERIFY(plain.pixel(105, 15) != focused.pixel(105, 15));
    QCOMPARE(plain.pixel(106, 15), focused.pixel(106, 15));
  }
};

QTEST_MAIN(TestIconButton)
#include "tst_IconButton.moc"
