// Server pages through the page viewer, a process of their own: the console
// side's reports, and what it shows when the viewer is not there.
#include "PageViewerClient.h"
#include "ScriptedServer.h"
#include "WebBrowserDlg.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

QList<CWebBrowserDlg*> Windows() {
  QList<CWebBrowserDlg*> found;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* dlg = qobject_cast<CWebBrowserDlg*>(w); dlg && dlg->isVisible()) found.append(dlg);
  return found;
}

bool EngineMapped() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngine");
}

}  // namespace

class TestPageViewerClient : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    for (CWebBrowserDlg* dlg : Windows()) dlg->close();
    QTRY_VERIFY(Windows().isEmpty());
  }

  void aPageGoesToTheViewerAndTheViewerEnds() {
    CScriptedServer server;
    server.SetBody("<html><head><title>Transcripts</title></head><body>chats</body></html>");
    CPageViewerClient pages(QStringLiteral(TALVERO_BUILD_DIR "/talvero-pages"));
    QSignalSpy reports(&pages, &CPageViewerClient::PageReported);
    pages.OpenPage(QUrl(QStringLiteral("http://%1/cpn/w-browser.php?opurl=transcript").arg(server.Host())), false);
    QTRY_COMPARE_WITH_TIMEOUT(reports.size(), 1, 20000);
    QCOMPARE(reports[0][0].toString(), QStringLiteral("shown"));
    QTRY_VERIFY_WITH_TIMEOUT(!server.Targets().filter(QStringLiteral("opurl=transcript")).isEmpty(), 20000);
    QVERIFY(Windows().isEmpty());
    QVERIFY(!EngineMapped());

    pages.CloseAll();
    QTRY_COMPARE_WITH_TIMEOUT(reports.size(), 2, 10000);
    QCOMPARE(reports[1][0].toString(), QStringLiteral("closed"));
    QCOMPARE(pages.OpenPages(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!pages.IsViewerRunning(), 10000);
    QVERIFY(Windows().isEmpty());
  }

  // Whoever writes to the viewer's channel, it shows web pages only: any
  // other address is answered "closed" at once and opens nothing.
  void theViewerOpensOnlyWebAddresses() {
    QProcess viewer;
    viewer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    viewer.start(QStringLiteral(TALVERO_BUILD_DIR "/talvero-pages"));
    QVERIFY(viewer.waitForStarted());
    viewer.write("open 1 0 0 smb://files.example/share\nopen 2 0 0 file:///etc/passwd\nopen 3 0 0 javascript:alert(1)\n");
    QByteArray reports;
    QTRY_VERIFY_WITH_TIMEOUT((reports += viewer.readAllStandardOutput()).count('\n') >= 3, 20000);
    QCOMPARE(reports, QByteArray("closed 1\nclosed 2\nclosed 3\n"));
    // With nothing to show it ends by itself.
    QVERIFY(viewer.waitForFinished(20000));
    QCOMPARE(viewer.exitCode(), 0);
  }

  // Each page not shown gets a window of the console's own that says why,
  // at the page's size and place; the client is ready for the next page.
  void withoutAViewerThePageSaysWhy_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("reason");
    QTest::newRow("cannot start") << QStringLiteral("/nonexistent/talvero-pages") << QStringLiteral("could not be started");
    // /bin/false ends at once with status 1, as a viewer that crashed on start.
    QTest::newRow("ends at once") << QStringLiteral("/bin/false") << QStringLiteral("ended unexpectedly (exit status 1)");
    // /bin/true ends as an idle viewer does: the page is sent to a second
    // viewer, once, and not to a viewer after viewer.
    QTest::newRow("ends as idle") << QStringLiteral("/bin/true") << QStringLiteral("ended unexpectedly (exit status 0)");
  }

  void withoutAViewerThePageSaysWhy() {
    QFETCH(QString, program);
    QFETCH(QString, reason);
    CPageViewerClient pages(program);
    const QUrl address(QStringLiteral("http://127.0.0.1:9/cpn/wn-fuploadweb.php"));
    pages.OpenPage(address, true);
    QTRY_COMPARE_WITH_TIMEOUT(Windows().size(), 1, 10000);
    CWebBrowserDlg* notice = Windows().first();
    QCOMPARE(notice->Address(), address);
    QCOMPARE(notice->size(), CWebBrowserDlg::kSmallWindow.size());
    auto* label = qobject_cast<QLabel*>(notice->Browser());
    QVERIFY(label);
    QVERIFY2(label->text().contains(reason), qPrintable(label->text()));
    QCOMPARE(pages.OpenPages(), 0);
    pages.OpenPage(address, false);
    QTRY_COMPARE_WITH_TIMEOUT(Windows().size(), 2, 10000);
  }
};

QTEST_MAIN(TestPageViewerClient)
#include "tst_PageViewerClient.moc"
