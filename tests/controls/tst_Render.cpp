// A gallery of the controls under Fusion, grabbed into one picture. Set
// TALVERO_RENDER_DIR to keep it as controls.png for a look by eye.
#include "ControlsTest.h"
#include "FooButton.h"
#include "HyperButtonEx.h"
#include "IconButton.h"
#include "MyHyperLink.h"
#include "ResourceIds.h"
#include "TransparentStatic.h"

#include <QDir>
#include <QGridLayout>
#include <QTest>

class TestRender : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseFusion(); }

  void gallery() {
    QWidget window;
    auto* grid = new QGridLayout(&window);
    int row = 0;
    auto add = [&](QWidget* w) {
      w->setMinimumSize(110, 26);
      grid->addWidget(w, row / 3, row % 3);
      ++row;
    };
    const char* names[] = {"Static", "Push", "Hot push", "Drop-down", "Hot drop", "Split",
                           "Hot split", "Check push", "Hot check", "Check box", "Radio", "Hyperlink"};
    for (int type = 0; type <= 11; ++type) {
      auto* b = new FooButton(QString::fromLatin1(names[type]), &window);
      b->SetType(type);
      if (type == 7 || type == 9 || type == 10) b->Check(true);
      add(b);
    }
    auto* tab = new FooButton(QStringLiteral("&Visitors"), &window);
    tab->SetType(FooButton::CheckPushButton);
    tab->SetGradient(true);
    tab->SetBitmap(IDB_TAB_PRESSED);
    tab->Check(true);
    add(tab);
    auto* tab2 = new FooButton(QStringLiteral("Operators"), &window);
    tab2->SetType(FooButton::CheckPushButton);
    tab2->SetGradient(true);
    add(tab2);
    auto* off = new FooButton(QStringLiteral("Disabled"), &window);
    off->SetBitmap(IDB_TOOL_PRESSED);
    off->setEnabled(false);
    add(off);
    auto* send = new CIconButton(QStringLiteral("&Send"), &window);
    QPixmap pm(16, 16);
    pm.fill(QColor(0, 150, 220));
    send->SetIconImage(QIcon(pm));
    send->SetIconSize(16, 16);
    add(send);
    auto* right = new CIconButton(QStringLiteral("File Transfer"), &window);
    right->SetIconImage(QIcon(pm));
    right->SetIconSize(17, 17);
    right->SetIconRight(true);
    add(right);
    auto* hyper = new CHyperButtonEx(&window);
    hyper->SetBitmaps(IDB_TOOL_PRESSED, true, QColor(255, 0, 255));
    add(hyper);
    auto* link = new CMyHyperLink(&window);
    link->SetLink(QStringLiteral("www.example.com"));
    add(link);
    auto* label = new CTransparentStatic(QStringLiteral("Transparent label"), &window);
    add(label);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage img = window.grab().toImage();
    QVERIFY(!img.isNull());
    const QString dir = qEnvironmentVariable("TALVERO_RENDER_DIR");
    if (dir.isEmpty()) return;
    QVERIFY(img.save(QDir(dir).filePath(QStringLiteral("controls.png"))));
    // Close-ups, 6 times enlarged: a drop-down, a split, a tab and "&Send".
    const QList<QWidget*> closeUps = {grid->itemAt(3)->widget(), grid->itemAt(5)->widget(), tab, send};
    for (int i = 0; i < closeUps.size(); ++i) {
      const QImage part = closeUps[i]->grab().toImage();
      QVERIFY(part.scaled(part.size() * 6).save(QDir(dir).filePath(QStringLiteral("closeup%1.png").arg(i))));
    }
  }
};

QTEST_MAIN(TestRender)
#include "tst_Render.moc"
