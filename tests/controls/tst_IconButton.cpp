// CIconButton: the mnemonic underline and the icon-only button.
#include "ControlsTest.h"
#include "IconButton.h"

#include <QTest>

namespace {
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

  void sendShowsSendWithTheSUnderlined() {
    CIconButton b(QStringLiteral("&Send"));
    b.resize(90, 26);
    b.SetTextColor(kRed);
    const QFontMetrics fm(b.font());
    const QRect text = b.TextRect();
    QCOMPARE(text.width(), fm.horizontalAdvance(QStringLiteral("Send")));  // no ampersand
    const QRect line = b.MnemonicRect();
    QCOMPARE(line, QRect(text.left(), text.bottom(), fm.horizontalAdvance(QStringLiteral("S")), 1));
    const QImage img = Render(&b, QStringLiteral("send"));
    for (int x = line.left(); x <= line.right(); ++x) QCOMPARE(Pixel(img, x, line.top()), kRed);
    for (int x = line.right() + 2; x <= text.right() + 3; ++x)  // not under "end"
      QVERIFY2(Pixel(img, x, line.top()) != kRed, qPrintable(QString::number(x)));
    b.setDown(true);  // everything 1 pixel right and down
    const QImage pressed = Render(&b);
    for (int x = line.left(); x <= line.right(); ++x) QCOMPARE(Pixel(pressed, x + 1, line.top() + 1), kRed);
    b.setText(QStringLiteral("R&&D"));  // a doubled ampersand marks nothing
    QVERIFY(b.MnemonicRect().isNull());
  }

  void withoutTextOnlyTheCentredIcon() {
    CIconButton b;
    b.resize(40, 30);
    b.SetIconImage(GreenIcon());
    b.SetIconSize(16, 16);
    const QImage img = Render(&b);
    QRect green;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x)
        if (Pixel(img, x, y) == QColor(0, 200, 0)) green |= QRect(x, y, 1, 1);
    QCOMPARE(green, QRect(12, 7, 16, 16));
  }
};

QTEST_MAIN(TestIconButton)
#include "tst_IconButton.moc"
