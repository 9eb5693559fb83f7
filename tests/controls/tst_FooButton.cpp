// FooButton: check types, groups, hot tracking, split buttons and
// the binding layout numbers, on rendered pixels.
#include "ControlsTest.h"
#include "FooButton.h"
#include "ResourceIds.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <set>

class TestFooButton : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseFusion(); }

  void defaults() {
    FooButton b(QStringLiteral("Tab"));
    QCOMPARE(b.GetType(), 1);
    QCOMPARE(b.GetTextStyle(), 2);
    QCOMPARE(b.GetFocusStyle(), 0);
    QVERIFY(!b.GetGradient());
    QVERIFY(!b.IsChecked());
    QVERIFY(b.GetGroup().isEmpty());
    QVERIFY(!b.autoDefault());
  }

  void checkPushButtonTogglesOnEveryClickInside() {
    FooButton b(QStringLiteral("Visitors"));
    b.resize(100, 24);
    b.SetType(FooButton::CheckPushButton);
    QList<bool> seen;
    connect(&b, &QAbstractButton::clicked, &b, [&] { seen.append(b.IsChecked()); });
    QTest::mouseClick(&b, Qt::LeftButton);
    QVERIFY(b.IsChecked());
    QTest::mouseClick(&b, Qt::LeftButton);
    QVERIFY(!b.IsChecked());
    QTest::mouseClick(&b, Qt::LeftButton);
    QVERIFY(b.IsChecked());
    // clicked() handlers already see the new state.
    QCOMPARE(seen, QList<bool>({true, false, true}));
  }

  void releasingOutsideLeavesTheStateUnchanged() {
    FooButton b(QStringLiteral("Visitors"));
    b.resize(100, 24);
    b.SetType(FooButton::CheckPushButton);
    QSignalSpy clicked(&b, &QAbstractButton::clicked);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(50, 12));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(150, 12));
    QVERIFY(!b.IsChecked());
    QCOMPARE(clicked.count(), 0);
  }

  void keyboardClickTogglesToo() {
    QWidget window;
    auto* b = new FooButton(QStringLiteral("Visitors"), &window);
    b->SetType(FooButton::CheckPushButton);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    b->click();  // Space, a mnemonic and click() all end here
    QVERIFY(b->IsChecked());
  }

  void setTypeOtherThanSevenOrEightClearsTheCheck() {
    FooButton b;
    b.SetType(FooButton::CheckPushButton);
    b.Check(true);
    b.SetType(FooButton::HotCheckPushButton);
    QVERIFY(b.IsChecked());
    b.SetType(FooButton::CheckBox);
    QVERIFY(!b.IsChecked());
    b.SetType(FooButton::PushButton);
    b.Check(true);  // not a check type: ignored
    QVERIFY(!b.IsChecked());
  }

  void checkingAGroupedButtonUnchecksTheOthers() {
    QWidget window;
    FooButton a(QStringLiteral("Visitors"), &window), b(QStringLiteral("Chats"), &window),
        c(QStringLiteral("Operators"), &window);
    for (FooButton* t : {&a, &b, &c}) {
      t->SetType(FooButton::CheckPushButton);
      t->resize(80, 24);
      QVERIFY(t->SetGroup(QStringLiteral("1")));
    }
    a.Check(true);
    QTest::mouseClick(&b, Qt::LeftButton);
    QVERIFY(!a.IsChecked());
    QVERIFY(b.IsChecked());
    QVERIFY(!c.IsChecked());
    // A grouped button stays checked when clicked again.
    QTest::mouseClick(&b, Qt::LeftButton);
    QVERIFY(b.IsChecked());
  }

  void ungroupedRadioStaysCheckedAndCheckBoxToggles() {
    FooButton radio(QStringLiteral("One")), box(QStringLiteral("Two"));
    radio.SetType(FooButton::RadioButton);
    box.SetType(FooButton::CheckBox);
    for (FooButton* t : {&radio, &box}) t->resize(100, 20);
    QTest::mouseClick(&radio, Qt::LeftButton);
    QTest::mouseClick(&radio, Qt::LeftButton);
    QVERIFY(radio.IsChecked());
    QTest::mouseClick(&box, Qt::LeftButton);
    QVERIFY(box.IsChecked());
    QTest::mouseClick(&box, Qt::LeftButton);
    QVERIFY(!box.IsChecked());
  }

  // Mended: every chat window has its own group "2".
  void groupsArePerTopLevelWindow() {
    QWidget chat1, chat2;
    FooButton responses1(QStringLiteral("Responses"), &chat1), urls1(QStringLiteral("Push URLs"), &chat1);
    FooButton responses2(QStringLiteral("Responses"), &chat2), urls2(QStringLiteral("Push URLs"), &chat2);
    for (FooButton* t : {&responses1, &urls1, &responses2, &urls2}) {
      t->SetType(FooButton::CheckPushButton);
      t->SetGroup(QStringLiteral("2"));
    }
    responses1.Check(true);
    responses2.Check(true);
    urls1.Check(true);
    QVERIFY(!responses1.IsChecked());
    QVERIFY(responses2.IsChecked());
    QVERIFY(!urls2.IsChecked());
  }

  void aDestroyedButtonLeavesItsGroup() {
    QWidget window;
    FooButton kept(QStringLiteral("Kept"), &window);
    kept.SetType(FooButton::CheckPushButton);
    kept.SetGroup(QStringLiteral("3"));
    {
      auto gone = std::make_unique<FooButton>(QStringLiteral("Gone"), &window);
      gone->SetType(FooButton::CheckPushButton);
      gone->SetGroup(QStringLiteral("3"));
      gone->Check(true);
    }
    kept.Check(true);  // walks the group: must not touch the destroyed one
    QVERIFY(kept.IsChecked());
  }

  void groupNames() {
    QWidget window;
    FooButton a(&window), b(&window);
    a.SetType(FooButton::CheckPushButton);
    b.SetType(FooButton::CheckPushButton);
    QVERIFY(!a.SetGroup(QString()));
    QVERIFY(a.GetGroup().isEmpty());
    QVERIFY(a.SetGroup(QStringLiteral("x")));
    QVERIFY(b.SetGroup(QStringLiteral("x")));
    QVERIFY(a.SetGroup(QStringLiteral("x")));  // joins once
    QVERIFY(!a.SetGroup(QString()));           // refused: stays in "x"
    QCOMPARE(a.GetGroup(), QStringLiteral("x"));
    a.Check(true);
    b.Check(true);
    QVERIFY(!a.IsChecked());
    QVERIFY(a.SetGroup(QStringLiteral("y")));  // leaves "x"
    a.Check(true);
    QVERIFY(b.IsChecked());
  }

  void splitButtonTellsTheArrowFromTheMainPart() {
    FooButton b(QStringLiteral("Accept"));
    b.resize(100, 24);
    b.SetType(FooButton::SplitPushButton);
    QSignalSpy arrow(&b, &FooButton::arrowClicked);
    QList<bool> onArrow;
    connect(&b, &QAbstractButton::clicked, &b, [&] { onArrow.append(b.IsArrowPressed()); });
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(100 - FooButton::kArrowHitWidth, 12));
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(100 - FooButton::kArrowHitWidth - 1, 12));
    QCOMPARE(onArrow, QList<bool>({true, false}));
    QCOMPARE(arrow.count(), 1);
    QVERIFY(!b.IsArrowPressed());
  }

  void hyperlinkTypeHasTheHandCursor() {
    FooButton b(QStringLiteral("Help"));
    b.SetType(FooButton::Hyperlink);
    QCOMPARE(b.cursor().shape(), Qt::PointingHandCursor);
    b.SetType(FooButton::PushButton);
    QCOMPARE(b.cursor().shape(), Qt::ArrowCursor);
  }

  // ---- pixels ----

  void hotButtonIsFlatUntilTheMouseEnters() {
    FooButton b(QString{});
    b.resize(60, 24);
    b.SetType(FooButton::HotPushButton);
    const QColor face = Role(&b, QPalette::Button);
    auto uniform = [&](const QImage& img) {
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
          if (Pixel(img, x, y) != face) return false;
      return true;
    };
    QVERIFY(uniform(Render(&b)));
    Enter(&b);
    QVERIFY(b.IsHotTracking());
    QImage hot = Render(&b);
    QCOMPARE(Pixel(hot, 0, 0), Role(&b, QPalette::Light));
    QCOMPARE(Pixel(hot, 0, 12), Role(&b, QPalette::Light));
    QCOMPARE(Pixel(hot, 59, 12), Role(&b, QPalette::Dark));
    QCOMPARE(Pixel(hot, 30, 23), Role(&b, QPalette::Dark));
    QCOMPARE(Pixel(hot, 30, 12), face);
    b.setDown(true);  // pressed: the 3D rectangle is swapped
    hot = Render(&b);
    QCOMPARE(Pixel(hot, 0, 12), Role(&b, QPalette::Dark));
    QCOMPARE(Pixel(hot, 59, 12), Role(&b, QPalette::Light));
    b.setDown(false);
    Leave(&b);
    QVERIFY(!b.IsHotTracking());
    QVERIFY(uniform(Render(&b)));
  }

  void hotButtonWithGradientOrCheckedHasAFrame() {
    FooButton b(QString{});
    b.resize(60, 24);
    b.SetType(FooButton::HotCheckPushButton);
    b.Check(true);
    const QImage img = Render(&b);
    QVERIFY(Pixel(img, 0, 12) != Role(&b, QPalette::Button));
  }

  void arrowTriangleSitsAtRightMinus10BottomMinus8() {
    FooButton b(QString{});
    const int w = 80, h = 26;
    b.resize(w, h);
    b.SetType(FooButton::PushButtonDropDown);
    const QColor ink = Role(&b, QPalette::ButtonText);
    for (int pressed = 0; pressed < 2; ++pressed) {
      b.setDown(pressed);
      const QImage img = Render(&b);
      const int x0 = w - 10 + pressed, y0 = h - 8 + pressed;
      const std::set<std::pair<int, int>> triangle = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0},
                                                      {1, 1}, {2, 1}, {3, 1}, {2, 2}};
      for (int dy = -1; dy <= 3; ++dy)
        for (int dx = -1; dx <= 5; ++dx) {
          const bool in = triangle.count({dx, dy});
          QVERIFY2((Pixel(img, x0 + dx, y0 + dy) == ink) == in,
                   qPrintable(QStringLiteral("pressed %1, pixel (%2,%3)").arg(pressed).arg(x0 + dx).arg(y0 + dy)));
        }
    }
  }

  void disabledArrowIsGrey() {
    FooButton b(QString{});
    b.resize(80, 26);
    b.SetType(FooButton::PushButtonDropDown);
    b.setEnabled(false);
    const QImage img = Render(&b);
    QCOMPARE(Pixel(img, 70, 18), Role(&b, QPalette::Disabled, QPalette::ButtonText));
  }

  void splitSeparatorIsSunkenThreePixelsFromTopAndBottom() {
    FooButton b(QString{});
    const int w = 90, h = 26;
    b.resize(w, h);
    b.SetType(FooButton::SplitPushButton);
    const QImage img = Render(&b);
    const QColor shadow = Role(&b, QPalette::Dark), light = Role(&b, QPalette::Light);
    for (int y = 3; y <= h - 4; ++y) {
      QCOMPARE(Pixel(img, w - 15, y), shadow);
      QCOMPARE(Pixel(img, w - 14, y), light);
    }
    QVERIFY(Pixel(img, w - 15, 2) != shadow);
    QVERIFY(Pixel(img, w - 15, h - 3) != shadow);
    QVERIFY(Pixel(img, w - 13, 10) != light);
  }

  void pressedArrowPartGetsACheckedFrameOverTheRight14Pixels() {
    FooButton b(QString{});
    const int w = 90, h = 26;
    b.resize(w, h);
    b.SetType(FooButton::SplitPushButton);
    const QImage before = Render(&b);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(w - 5, 10));
    QVERIFY(b.IsArrowPressed());
    const QImage pressed = Render(&b);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(w - 5, 10));
    // The separator is gone, the left part is unchanged, the right 14 differ.
    QVERIFY(Pixel(pressed, w - 15, 10) != Role(&b, QPalette::Dark));
    for (int x = 0; x < w - 16; ++x) QCOMPARE(Pixel(pressed, x, 10), Pixel(before, x, 10));
    QVERIFY(Pixel(pressed, w - 14, 10) != Pixel(before, w - 14, 10));
  }

  void focusRectangleLies4PixelsInsideTheTextArea() {
    QWidget window;
    auto* b = new FooButton(QStringLiteral("Send"), &window);
    b->setGeometry(10, 10, 90, 30);
    b->SetFocusStyle(FooButton::FocusRect);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    b->clearFocus();  // the window gave it the focus on activation
    QVERIFY(!b->hasFocus());
    const QImage plain = Render(b);
    b->setFocus();
    QTRY_VERIFY(b->hasFocus());
    const QImage focused = Render(b);
    const QRect ring = b->TextArea().adjusted(4, 4, -4, -4);
    QCOMPARE(ring, QRect(4, 4, 82, 22));
    int changed = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 90; ++x) {
        if (plain.pixel(x, y) == focused.pixel(x, y)) continue;
        ++changed;
        // Fusion tints the inside of its focus rectangle a little; nothing
        // outside it changes.
        QVERIFY2(ring.contains(x, y), qPrintable(QStringLiteral("changed pixel (%1,%2) outside the focus rectangle").arg(x).arg(y)));
      }
    if (!qEnvironmentVariableIsEmpty("TALVERO_RENDER_DIR")) {
      focused.scaled(focused.size() * 6).save(qEnvironmentVariable("TALVERO_RENDER_DIR") + "/focus.png");
    }
    QVERIFY2(changed > 100, qPrintable(QString::number(changed)));
    // Its lines are on the ring 4 pixels in, and stand out from the tint.
    for (const QPoint& edge : {QPoint(4, 15), QPoint(85, 15), QPoint(45, 4), QPoint(45, 25)}) {
      QVERIFY(plain.pixel(edge) != focused.pixel(edge));
      const QPoint in = edge + QPoint(edge.x() == 4 ? 1 : edge.x() == 85 ? -1 : 0, edge.y() == 4 ? 1 : edge.y() == 25 ? -1 : 0);
      QVERIFY(Pixel(focused, edge.x(), edge.y()).value() < Pixel(focused, in.x(), in.y()).value());
    }
    // Hot types draw no focus rectangle.
    b->SetType(FooButton::HotPushButton);
    b->SetFocusStyle(FooButton::FocusRect);
    const QImage hot = Render(b);
    for (int x = 10; x < 80; ++x) QCOMPARE(Pixel(hot, x, 4), Role(b, QPalette::Button));
  }

  void focusRectangleFollowsTheTextAreaOfADropDown() {
    FooButton b(QStringLiteral("Menu"));
    b.resize(90, 30);
    b.SetType(FooButton::PushButtonDropDown);
    QCOMPARE(b.TextArea(), QRect(0, 0, 84, 30));
    b.SetType(FooButton::SplitPushButton);
    QCOMPARE(b.TextArea(), QRect(0, 0, 78, 30));
  }

  void gradientFace() {
    FooButton b(QString{});
    const int w = 60, h = 24;
    b.resize(w, h);
    b.SetType(FooButton::CheckPushButton);
    b.SetGradient(true);
    QImage img = Render(&b);
    QCOMPARE(Pixel(img, 30, 1), QColor(255, 255, 255));
    QCOMPARE(Pixel(img, 1, 1), QColor(255, 255, 255));
    QCOMPARE(Pixel(img, 30, h - 3), QColor(200, 200, 216));
    QCOMPARE(Pixel(img, w - 3, h - 3), QColor(200, 200, 216));
    QVERIFY(Pixel(img, w - 2, h - 3) != QColor(200, 200, 216));
    QVERIFY(Pixel(img, 30, h - 2) != QColor(200, 200, 216));
    // A hot type while the mouse is over it ends in a lighter grey.
    b.SetType(FooButton::HotCheckPushButton);
    Enter(&b);
    img = Render(&b);
    QCOMPARE(Pixel(img, 30, h - 3), QColor(220, 220, 220));
  }

  void bitmapWithTextSitsAt5AndLeavesItsTransparentColourOut() {
    FooButton b(QStringLiteral("Visitors"));
    const int w = 120, h = 24;
    b.resize(w, h);
    b.SetType(FooButton::CheckPushButton);
    b.SetBitmap(IDB_TAB_PRESSED);
    QCOMPARE(b.GetBitmapId(), int(IDB_TAB_PRESSED));
    QImage img = Render(&b);
    const int top = (h - 16) / 2;
    // Bitmap 293: a blue bar at (3,6) 10 x 4 on magenta.
    QCOMPARE(Pixel(img, 5 + 4, top + 7), QColor(30, 90, 190));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) QVERIFY(Pixel(img, x, y) != QColor(255, 0, 255));
    QCOMPARE(b.TextArea().left(), 5 + 16 + 5);
    // Pressed: 1 pixel right and down.
    b.setDown(true);
    img = Render(&b);
    QCOMPARE(Pixel(img, 5 + 4 + 1, top + 7 + 1), QColor(30, 90, 190));
    b.setDown(false);
    // Disabled: embossed, no colour left.
    b.setEnabled(false);
    img = Render(&b);
    QCOMPARE(Pixel(img, 5 + 4, top + 7), Role(&b, QPalette::Dark));
    QCOMPARE(Pixel(img, 5 + 4, top + 10), Role(&b, QPalette::Light));  // +1,+1 under the bar
  }

  void bitmapWithoutTextIsCentred() {
    FooButton b(QString{});
    b.resize(40, 24);
    b.SetBitmap(IDB_TAB_PRESSED);
    const QImage img = Render(&b);
    QCOMPARE(Pixel(img, (40 - 16) / 2 + 4, (24 - 16) / 2 + 7), QColor(30, 90, 190));
  }

  void missingBitmapIsNotDrawn() {
    FooButton a(QString{}), b(QString{});
    a.resize(40, 24);
    b.resize(40, 24);
    b.SetBitmap(9999);
    QCOMPARE(Render(&b), Render(&a));
  }

  void hyperlinkTypeDrawsNoFrameAndBlueText() {
    FooButton b(QStringLiteral("Help me"));
    b.resize(80, 20);
    b.SetType(FooButton::Hyperlink);
    const QImage img = Render(&b);
    QCOMPARE(Pixel(img, 0, 0), Role(&b, QPalette::Button));
    QCOMPARE(Pixel(img, 79, 19), Role(&b, QPalette::Button));
    bool blue = false;
    for (int y = 0; y < 20 && !blue; ++y)
      for (int x = 0; x < 80 && !blue; ++x) blue = Pixel(img, x, y) == QColor(0, 0, 224);
    QVERIFY(blue);
  }

  void checkBoxFrameAfterAGap() {
    FooButton b(QStringLiteral("Option"));
    b.resize(100, 20);
    b.SetType(FooButton::CheckBox);
    QCOMPARE(b.TextArea().left(), 5 + 13 + 5);
    const QImage off = Render(&b);
    b.Check(true);
    const QImage on = Render(&b);
    bool differsInBox = false;
    for (int y = 3; y < 17; ++y)
      for (int x = 5; x < 18; ++x) differsInBox |= off.pixel(x, y) != on.pixel(x, y);
    QVERIFY(differsInBox);
    for (int y = 0; y < 20; ++y)
      for (int x = 30; x < 100; ++x) QCOMPARE(off.pixel(x, y), on.pixel(x, y));
  }
};

QTEST_MAIN(TestFooButton)
#include "tst_FooButton.moc"
