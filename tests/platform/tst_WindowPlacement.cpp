// Where new windows open: cascaded inside the work area.
#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <memory>
#include <vector>

class TestWindowPlacement : public QObject {
  Q_OBJECT

 private slots:
  void cascade_data() {
    QTest::addColumn<QRect>("last");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QPoint>("expected");
    const QRect screen(0, 0, 1600, 1000);
    // A panel on the left and at the top: the work area does not start at 0.
    const QRect panelled(64, 30, 1536, 970);
    QTest::newRow("a step right and down") << QRect(100, 100, 500, 400) << QSize(500, 400) << screen << QPoint(132, 132);
    QTest::newRow("fits exactly at the edge") << QRect(1068, 568, 500, 400) << QSize(500, 400) << screen << QPoint(1100, 600);
    QTest::newRow("off the right edge: back to the corner")
        << QRect(1069, 100, 500, 400) << QSize(500, 400) << screen << QPoint(0, 0);
    QTest::newRow("off the bottom: back to the corner")
        << QRect(100, 569, 500, 400) << QSize(500, 400) << screen << QPoint(0, 0);
    QTest::newRow("the corner of a work area beside a panel")
        << QRect(1000, 500, 600, 500) << QSize(600, 500) << panelled << QPoint(64, 30);
    QTest::newRow("a last window left of the work area") << QRect(-400, 40, 500, 400) << QSize(500, 400) << panelled
                                                         << QPoint(64, 72);
    QTest::newRow("a window larger than the area stays at its corner")
        << QRect(0, 0, 900, 700) << QSize(2000, 1200) << screen << QPoint(0, 0);
  }
  void cascade() {
    QFETCH(QRect, last);
    QFETCH(QSize, size);
    QFETCH(QRect, area);
    QFETCH(QPoint, expected);
    QCOMPARE(CWindowPlacement::Cascade(last, size, area), expected);
  }

  // A page opened next to a chat window: whole on a side with room, else
  // narrowed to the roomiest side, never over the chat while there is room.
  void beside_data() {
    QTest::addColumn<QRect>("anchor");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("room on the right") << QRect(100, 100, 500, 400) << QSize(600, 400) << QRect(608, 100, 600, 400);
    QTest::newRow("room only on the left") << QRect(900, 100, 500, 400) << QSize(600, 400) << QRect(292, 100, 600, 400);
    QTest::newRow("a chat in the middle: narrowed at its right")
        << QRect(500, 300, 600, 400) << QSize(747, 492) << QRect(1108, 300, 492, 492);
    QTest::newRow("kept inside the area below") << QRect(100, 700, 500, 280) << QSize(600, 400) << QRect(608, 600, 600, 400);
    QTest::newRow("no side has room: overlaps the least")
        << QRect(0, 0, 1500, 950) << QSize(600, 400) << QRect(0, 760, 600, 240);
  }
  void beside() {
    QFETCH(QRect, anchor);
    QFETCH(QSize, size);
    QFETCH(QRect, expected);
    QCOMPARE(CWindowPlacement::Beside(anchor, size, QRect(0, 0, 1600, 1000), QSize(320, 240)), expected);
  }

  // Real windows: the first in the middle of the work area, each next one a
  // step on from the last still open, none on top of another, all inside.
  void newWindowsNeverHideEachOther() {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    std::vector<std::unique_ptr<QWidget>> windows;
    QList<QPoint> places;
    for (int i = 0; i < 12; ++i) {
      auto window = std::make_unique<QWidget>();
      window->resize(area.width() / 3, area.height() / 3);
      CWindowPlacement::PlaceCascaded(window.get());
      window->show();
      QVERIFY(area.contains(window->frameGeometry()));
      QVERIFY2(!places.contains(window->pos()), qPrintable(QString("window %1 opened on another").arg(i)));
      places.append(window->pos());
      windows.push_back(std::move(window));
    }
    QCOMPARE(places[1] - places[0], QPoint(CWindowPlacement::kCascadeStep, CWindowPlacement::kCascadeStep));
    // With every window closed the next one starts over in the middle.
    windows.clear();
    QWidget alone;
    alone.resize(area.width() / 3, area.height() / 3);
    CWindowPlacement::PlaceCascaded(&alone);
    QCOMPARE(alone.pos(), places[0]);
  }

  // A window nearly as large as the work area, placed before the window
  // manager framed it, keeps its title bar and borders inside the area too
  // (those of a window already framed, else a common size).
  void theFrameStaysInsideTheWorkArea() {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    window.resize(area.width() - 20, area.height() - 60);
    CWindowPlacement::PlaceCascaded(&window);
    const QRect framed = QRect(window.pos(), window.size()).marginsAdded(QMargins(0, 0, 12, 48));
    QVERIFY2(area.contains(framed), qPrintable(QString("%1,%2 %3x%4").arg(framed.x()).arg(framed.y()).arg(framed.width()).arg(framed.height())));
  }
};

QTEST_MAIN(TestWindowPlacement)
#include "tst_WindowPlacement.moc"
