// FooButton: clicks of the check types, groups, and the layout numbers
// on rendered pixels.
#include "ControlsTest.h"
#include "FooButton.h"
#include "ResourceIds.h"

#include <QTest>

#include <set>

class TestFooButton : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseFusion(); }

  void clicks_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("clicks");    // i: released inside, o: released outside
    QTest::addColumn<QString>("expected");  // checked after each one
    QTest::newRow("check push toggles") << 7 << "" << "iii" << "101";
    QTest::newRow("released outside") << 7 << "" << "oio" << "011";
    QTest::newRow("grouped stays checked") << 7 << "g" << "ii" << "11";
    QTest::newRow("radio stays checked") << 10 << "" << "ii" << "11";
    QTest::newRow("check box toggles") << 9 << "" << "ii" << "10";
    QTest::newRow("push button never") << 1 << "" << "i" << "0";
  }
  void clicks() {
    QFETCH(int, type);
    QFETCH(QString, group);
    QFETCH(QString, clicks);
    QFETCH(QString, expected);
    FooButton b(QStringLiteral("Visitors"));
    b.resize(100, 24);
    b.SetType(type);
    if (!group.isEmpty()) b.SetGroup(group);
    QList<bool> seen;
    connect(&b, &QAbstractButton::clicked, &b, [&] { seen.append(b.IsChecked()); });
    for (int i = 0; i < clicks.size(); ++i) {
      QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(50, 12));
      QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(clicks[i] == u'i' ? 50 : 150, 12));
      QCOMPARE(b.IsChecked(), expected[i] == u'1');
    }
    // Only releases inside click, and clicked() handlers see the new state.
    QCOMPARE(seen.size(), int(clicks.count(u'i')));
    if (!seen.isEmpty()) QCOMPARE(seen.last(), b.IsChecked());
  }

  // A group acts within its top-level window (each chat window has its own
  // group "2"), and a destroyed button leaves it.
  void groups() {
    QWidget chat1, chat2;
    auto make = [](QWidget* window) {
      auto* b = new FooButton(window);
      b->SetType(FooButton::CheckPushButton);
      b->SetGroup(QStringLiteral("2"));
      return b;
    };
    FooButton *a1 = make(&chat1), *b1 = make(&chat1), *a2 = make(&chat2);
    a1->Check(true);
    a2->Check(true);
    b1->Check(true);
    QVERIFY(!a1->IsChecked());
    QVERIFY(a2->IsChecked());
    FooButton* gone = make(&chat1);
    gone->Check(true);
    delete gone;
    a1->Check(true);  // walks the group: must not reach the destroyed one
    QVERIFY(!b1->IsChecked());
    QVERIFY(!b1->SetGroup(QString()));  // refused: stays in "2"
    QCOMPARE(b1->GetGroup(), QStringLiteral("2"));
    QVERIFY(b1->SetGroup(QStringLiteral("3")));
    b1->Check(true);
    QVERIFY(a1->IsChecked());
  }

  void hotButtonIsFlatUntilTheMouseEnters() {
    FooButton b;
    b.resize(60, 24);
    b.SetType(FooButton::HotPushButton);
    const QColor face = Role(&b, QPalette::Button);
    auto flat = [&](const QImage& img) {
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
          if (Pixel(img, x, y) != face) return false;
      return true;
    };
    QVERIFY(flat(Render(&b)));
    Enter(&b);
    const QImage hot = Render(&b, QStringLiteral("hot"));
    QCOMPARE(Pixel(hot, 0, 12), Role(&b, QPalette::Light));
    QCOMPARE(Pixel(hot, 59, 12), Role(&b, QPalette::Dark));
    Leave(&b);
    QVERIFY(flat(Render(&b)));
    b.SetType(FooButton::HotCheckPushButton);  // checked, it keeps a frame
    b.Check(true);
    QVERIFY(!flat(Render(&b)));
  }

  void arrowTriangleSitsAtRightMinus10BottomMinus8() {
    FooButton b;
    const int w = 80, h = 26;
    b.resize(w, h);
    b.SetType(FooButton::PushButtonDropDown);
    const QColor ink = Role(&b, QPalette::ButtonText);
    const std::set<std::pair<int, int>> triangle = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0},
                                                    {1, 1}, {2, 1}, {3, 1}, {2, 2}};
    for (int pressed = 0; pressed < 2; ++pressed) {  // pressed: 1 pixel right and down
      b.setDown(pressed);
      const QImage img = Render(&b, QStringLiteral("arrow%1").arg(pressed));
      const int x0 = w - 10 + pressed, y0 = h - 8 + pressed;
      for (int dy = -1; dy <= 3; ++dy)
        for (int dx = -1; dx <= 5; ++dx)
          QVERIFY2((Pixel(img, x0 + dx, y0 + dy) == ink) == (triangle.count({dx, dy}) > 0),
                   qPrintable(QStringLiteral("pressed %1, pixel (%2,%3)").arg(pressed).arg(x0 + dx).arg(y0 + dy)));
    }
  }

  void focusRectangleLies4PixelsInsideTheTextArea() {
    QWidget window;
    auto* b = new FooButton(QStringLiteral("Send"), &window);
    b->setGeometry(10, 10, 90, 30);
    b->SetFocusStyle(FooButton::FocusRect);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    b->clearFocus();  // the window gave it the focus on activation
    const QImage plain = Render(b);
    b->setFocus();
    QTRY_VERIFY(b->hasFocus());
    const QImage focused = Render(b, QStringLiteral("focus"));
    const QRect ring(4, 4, 82, 22);
    int changed = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 90; ++x)
        if (plain.pixel(x, y) != focused.pixel(x, y)) {
          ++changed;
          QVERIFY2(ring.contains(x, y), qPrintable(QStringLiteral("(%1,%2) changed").arg(x).arg(y)));
        }
    QVERIFY(changed > 100);
    // Its lines are on the ring itself, darker than the tint inside it.
    for (const QPoint& edge : {QPoint(4, 15), QPoint(85, 15), QPoint(45, 4), QPoint(45, 25)}) {
      const QPoint in = edge + QPoint(edge.x() == 4 ? 1 : edge.x() == 85 ? -1 : 0, edge.y() == 4 ? 1 : edge.y() == 25 ? -1 : 0);
      QVERIFY(Pixel(focused, edge.x(), edge.y()).value() < Pixel(focused, in.x(), in.y()).value());
    }
  }

  void gradientFace() {  // white at 1 inside the top-left, the end colour at 2 inside the bottom-right
    FooButton b;
    b.resize(60, 24);
    b.SetType(FooButton::HotCheckPushButton);
    b.SetGradient(true);
    QCOMPARE(Pixel(Render(&b), 1, 1), QColor(255, 255, 255));
    QCOMPARE(Pixel(Render(&b), 57, 21), QColor(200, 200, 216));
    Enter(&b);  // a hot type under the mouse: a lighter end
    QCOMPARE(Pixel(Render(&b), 57, 21), QColor(220, 220, 220));
  }

  void bitmapPlaceAndTransparentColour() {
    FooButton b(QStringLiteral("Visitors"));
    const int w = 120, h = 24, top = (h - 16) / 2;
    const QColor bar(30, 90, 190);  // bitmap 293: a blue bar at (3,6) 10 x 4 on magenta
    b.resize(w, h);
    b.SetBitmap(IDB_TAB_PRESSED);
    QImage img = Render(&b, QStringLiteral("tab"));
    QCOMPARE(Pixel(img, 5 + 4, top + 7), bar);  // 5 from the left with text
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) QVERIFY(Pixel(img, x, y) != QColor(255, 0, 255));
    QCOMPARE(b.TextArea().left(), 5 + 16 + 5);
    b.setEnabled(false);  // embossed in the shadow colour
    QCOMPARE(Pixel(Render(&b), 5 + 4, top + 7), Role(&b, QPalette::Dark));
    b.setEnabled(true);
    b.setText(QString());  // centred without text
    QCOMPARE(Pixel(Render(&b), (w - 16) / 2 + 4, top + 7), bar);
  }
};

QTEST_MAIN(TestFooButton)
#include "tst_FooButton.moc"
