// Server pages in their own browser windows.
#include "ChatManager.h"
#include "RecordingDesktopServices.h"
#include "ScriptedServer.h"
#include "TestEnvironment.h"
#include "WebEngineLoader.h"
#include "WebPageFactory.h"
#include "WebBrowserDlg.h"
#include "WindowUnits.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QFile>

namespace {
bool WebEngineMapped() {
  QFile maps("/proc/self/maps");
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

QList<CWebBrowserDlg*> BrowserWindows() {
  QList<CWebBrowserDlg*> found;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* dlg = qobject_cast<CWebBrowserDlg*>(w); dlg && dlg->isVisible()) found.append(dlg);
  return found;
}
}  // namespace

class TestWebBrowserDlg : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    for (CWebBrowserDlg* dlg : BrowserWindows()) dlg->close();
    QTRY_VERIFY(BrowserWindows().isEmpty());
  }

  void eachCallOpensItsOwnWindow() {
    // The web engine comes with the first server page, not before.
    QVERIFY(!WebEngineMapped());
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    CScriptedServer server;
    server.SetBody("<html><head><title>Transcripts</title></head><body>chats</body></html>");
    CChatManager engine;
    engine.SetDefaultHost(server.Host());
    engine.SetPageOpener(&CWebBrowserDlg::OpenPage);
    engine.OpenServerPage("/w-browser.php?loginid=a&stid=1&adm=&opurl=transcript");
    engine.OpenServerPage("/w-browser.php?loginid=a&stid=1&adm=&opurl=transcript");
    const QList<CWebBrowserDlg*> windows = BrowserWindows();
    QCOMPARE(windows.size(), 2);
    QVERIFY(windows[0] != windows[1]);
    for (CWebBrowserDlg* dlg : windows) {
      QCOMPARE(dlg->windowTitle(), QString("Talvero"));
      QCOMPARE(dlg->Address().toString(),
               "http://" + server.Host() + "/cpn/w-browser.php?loginid=a&stid=1&adm=&opurl=transcript");
      QVERIFY(dlg->testAttribute(Qt::WA_DeleteOnClose));
      QTRY_COMPARE_WITH_TIMEOUT(dlg->PageTitle(), QString("Transcripts"), 20000);
    }
    QTRY_COMPARE(server.Targets().filter("/cpn/w-browser.php").size(), 2);

    // Closing one leaves the other.
    QPointer<CWebBrowserDlg> first = windows[0];
    first->close();
    QTRY_VERIFY(first.isNull());
    QCOMPARE(BrowserWindows().size(), 1);
    QVERIFY(WebEngineMapped());
    CWebPageFactory* module = CWebEngineLoader::Factory();
    QVERIFY(module);
    QCOMPARE(module->ViewCount(), 1);

    // With the last one closed no view is left; a new window works again
    // on a fresh profile.
    windows[1]->close();
    QTRY_COMPARE(module->ViewCount(), 0);
    engine.OpenServerPage("/w-browser.php?loginid=a&stid=1&adm=&opurl=transcript");
    QTRY_COMPARE_WITH_TIMEOUT(BrowserWindows().value(0)->PageTitle(), QString("Transcripts"), 20000);
  }

  void smallWindowPlacement() {
    CWebBrowserDlg* small = CWebBrowserDlg::OpenPage(QUrl("about:blank"), true);
    QCOMPARE(small->size(), QSize(310, 130));
    // At (665, 515) where the screen has room; inside the work area where not.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect placed(small->pos(), small->size());
    QVERIFY2(area.contains(placed), qPrintable(QString("%1,%2 in %3x%4").arg(placed.x()).arg(placed.y()).arg(area.width()).arg(area.height())));
    if (area.contains(CWebBrowserDlg::kSmallWindow)) QCOMPARE(small->pos(), QPoint(665, 515));
    CWebBrowserDlg* normal = CWebBrowserDlg::OpenPage(QUrl("about:blank"), false);
    QCOMPARE(normal->size(), CWindowUnits::Of(normal).Size(427, 303));  // 747 x 492 at 7 x 13
  }

  void pageFillsTheClientAreaAfterAResize() {
    CWebBrowserDlg* dlg = CWebBrowserDlg::OpenPage(QUrl("about:blank"), false);
    QVERIFY(QTest::qWaitForWindowExposed(dlg));
    QCOMPARE(dlg->Browser()->geometry(), dlg->rect());
    dlg->resize(500, 321);
    QTRY_COMPARE(dlg->Browser()->geometry(), QRect(0, 0, 500, 321));
    dlg->resize(900, 700);
    QTRY_COMPARE(dlg->Browser()->geometry(), QRect(0, 0, 900, 700));
  }
};

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  TestWebBrowserDlg test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_WebBrowserDlg.moc"
