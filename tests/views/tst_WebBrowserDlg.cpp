// Server pages in their own browser windows.
#include "ChatManager.h"
#include "LinkOpener.h"
#include "PageDownloadRow.h"
#include "RecordingDesktopServices.h"
#include "ScriptedServer.h"
#include "TestEnvironment.h"
#include "WebEngineLoader.h"
#include "WebPageFactory.h"
#include "WebBrowserDlg.h"
#include "WindowPlacement.h"
#include "WindowUnits.h"

#include <QApplication>
#include <QDesktopServices>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QFile>
#include <QSignalSpy>

#include <httplib.h>

namespace {
bool WebEngineMapped() {
  QFile maps("/proc/self/maps");
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

// An opener of addresses for QDesktopServices::setUrlHandler.
class CUrlRecorder : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> urls;
  Q_INVOKABLE void open(const QUrl& url) { urls.append(url); }
};

// A page whose first 100 pixels are one link (attributes as given), so that
// a click at the top left follows it. It takes its title once it has been
// drawn, when a click reaches the link.
std::string LinkPage(const std::string& title, const std::string& attributes, const std::string& script = "") {
  return "<html><head><title>loading</title></head><body style=\"margin:0\"><a " + attributes +
         " style=\"display:block;height:100px\">link</a><script>" + script +
         ";requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(() => document.title = '" + title +
         "', 200)))</script></body></html>";
}

// A click of the operator on the page's link, once the page can take it.
void ClickTheLink(CWebBrowserDlg* dlg) {
  QVERIFY(QTest::qWaitForWindowExposed(dlg));
  QTRY_VERIFY_WITH_TIMEOUT(dlg->Browser()->focusProxy() != nullptr, 10000);
  QTest::mouseClick(dlg->Browser()->focusProxy(), Qt::LeftButton, {}, QPoint(20, 20));
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

  // The caption says which page it is; a page's own text is outside text.
  void theCaptionNamesThePage_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption");
    QTest::newRow("a title") << "Transcripts" << "Transcripts - Talvero";
    QTest::newRow("none") << "" << "Talvero";
    QTest::newRow("the product's own") << "Talvero" << "Talvero";
    QTest::newRow("direction override") << QString("photo") + QChar(0x202E) + "gpj.exe"
                                       << "photogpj.exe - Talvero";
    QTest::newRow("lines and spaces") << "  Chat\n history  " << "Chat history - Talvero";
  }
  void theCaptionNamesThePage() {
    QFETCH(QString, title);
    QFETCH(QString, caption);
    CWebBrowserDlg dlg(QUrl(), QStringLiteral("no page"));
    dlg.ShowTitle(title);
    QCOMPARE(dlg.windowTitle(), caption);
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
      QCOMPARE(dlg->Address().toString(),
               "http://" + server.Host() + "/cpn/w-browser.php?loginid=a&stid=1&adm=&opurl=transcript");
      QVERIFY(dlg->testAttribute(Qt::WA_DeleteOnClose));
      QTRY_COMPARE_WITH_TIMEOUT(dlg->PageTitle(), QString("Transcripts"), 20000);
      QCOMPARE(dlg->windowTitle(), QString("Transcripts - Talvero"));
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

  // Only web pages load in the viewer. A click on a link of another scheme
  // is refused with a line in the page's window and reaches no opener of
  // the desktop; a mail address goes out by the link rule (subject and body
  // only); a web link loads.
  void onlyWebPagesLoadInTheViewer_data() {
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("note");    // the window's line; empty: none
    QTest::addColumn<QString>("opened");  // through the desktop services
    QTest::newRow("smb") << "smb://files.example/share" << "Not opened: smb://files.example/share" << "";
    QTest::newRow("ftp") << "ftp://files.example/x.zip" << "Not opened: ftp://files.example/x.zip" << "";
    QTest::newRow("vnc") << "vnc://desk.example" << "Not opened: vnc://desk.example" << "";
    QTest::newRow("mailto") << "mailto:ann@x.example?subject=Hi&attach=/etc/passwd" << ""
                            << "mailto:ann@x.example?subject=Hi";
    QTest::newRow("web") << "/next.html" << "" << "";
  }
  void onlyWebPagesLoadInTheViewer() {
    QFETCH(QString, href);
    QFETCH(QString, note);
    QFETCH(QString, opened);
    CRecordingDesktopServices desktop;
    CLinkOpener::SetOpener([](const QUrl& url) { return CDesktopServices::Get().OpenUrl(url); });
    // Whatever the engine would hand to the desktop's opener lands here.
    CUrlRecorder desktopOpener;
    for (const char* scheme : {"smb", "ftp", "vnc", "mailto"})
      QDesktopServices::setUrlHandler(scheme, &desktopOpener, "open");
    CScriptedServer server([href](const httplib::Request& req) {
      if (req.path == "/next.html") return CScriptedServer::Reply{200, "<html><head><title>Next</title></head></html>"};
      return CScriptedServer::Reply{200, LinkPage("Links", "href=\"" + href.toStdString() + "\"")};
    });
    CWebBrowserDlg* dlg = CWebBrowserDlg::OpenPage(QUrl("http://" + server.Host() + "/links.html"), false);
    QTRY_COMPARE_WITH_TIMEOUT(dlg->PageTitle(), QString("Links"), 20000);
    ClickTheLink(dlg);
    if (!note.isEmpty()) QTRY_VERIFY2_WITH_TIMEOUT(dlg->Note().startsWith(note), qPrintable(dlg->Note()), 10000);
    if (!opened.isEmpty()) QTRY_COMPARE_WITH_TIMEOUT(desktop.openedUrls, QList<QUrl>{QUrl(opened)}, 10000);
    if (href.startsWith('/')) QTRY_COMPARE_WITH_TIMEOUT(dlg->PageTitle(), QString("Next"), 10000);
    QCOMPARE(dlg->PageTitle(), href.startsWith('/') ? QString("Next") : QString("Links"));
    QCOMPARE(desktopOpener.urls, QList<QUrl>());
    if (opened.isEmpty()) QCOMPARE(desktop.openedUrls, QList<QUrl>());
    for (const char* scheme : {"smb", "ftp", "vnc", "mailto"}) QDesktopServices::unsetUrlHandler(scheme);
    CLinkOpener::SetOpener({});
  }

  // A page's request for a new window (a link with a target, here) opens a
  // viewer window of the same kind beside it; a script's own window.open
  // without a click opens nothing.
  void aNewWindowOnlyFromAClick() {
    CScriptedServer server([](const httplib::Request& req) {
      if (req.path == "/next.html") return CScriptedServer::Reply{200, "<html><head><title>Next</title></head></html>"};
      if (req.path == "/pop.html") return CScriptedServer::Reply{200, "<html><head><title>Pop</title></head></html>"};
      return CScriptedServer::Reply{200, LinkPage("Links", "href=\"/next.html\" target=\"_blank\"",
                                                  "window.open('/pop.html')")};
    });
    CWebBrowserDlg* dlg = CWebBrowserDlg::OpenPage(QUrl("http://" + server.Host() + "/links.html"), false);
    QSignalSpy opened(dlg, &CWebBrowserDlg::WindowOpened);
    QTRY_COMPARE_WITH_TIMEOUT(dlg->PageTitle(), QString("Links"), 20000);
    QCOMPARE(BrowserWindows().size(), 1);
    ClickTheLink(dlg);
    QTRY_COMPARE_WITH_TIMEOUT(BrowserWindows().size(), 2, 10000);
    CWebBrowserDlg* second = BrowserWindows().last() == dlg ? BrowserWindows().first() : BrowserWindows().last();
    QTRY_COMPARE_WITH_TIMEOUT(second->PageTitle(), QString("Next"), 10000);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(second->windowTitle(), QString("Next - Talvero"));
    QCOMPARE(second->size(), dlg->size());
    // A step right and down, inside the work area.
    QCOMPARE(second->pos(), CWindowPlacement::Cascade(dlg->frameGeometry(), dlg->size(),
                                                      QGuiApplication::primaryScreen()->availableGeometry()));
    QVERIFY(!server.Targets().contains("/pop.html"));
    QCOMPARE(BrowserWindows().size(), 2);
  }

  // A download asks where to save it, proposing the Downloads folder, and
  // shows its end in the page's window; declined, nothing is written.
  void aDownloadIsSavedOnlyWhereTheOperatorChose_data() {
    QTest::addColumn<bool>("chosen");
    QTest::newRow("saved") << true;
    QTest::newRow("declined") << false;
  }
  void aDownloadIsSavedOnlyWhereTheOperatorChose() {
    QFETCH(bool, chosen);
    QTemporaryDir folder;
    CRecordingDesktopServices desktop;
    const QString target = folder.filePath("chats.txt");
    desktop.ScriptFileNames({chosen ? target : QString()});
    CScriptedServer server([](const httplib::Request& req) {
      if (req.path == "/report.txt") return CScriptedServer::Reply{200, "the transcript"};
      return CScriptedServer::Reply{200, LinkPage("Links", "href=\"/report.txt\" download")};
    });
    CWebBrowserDlg* dlg = CWebBrowserDlg::OpenPage(QUrl("http://" + server.Host() + "/links.html"), false);
    QTRY_COMPARE_WITH_TIMEOUT(dlg->PageTitle(), QString("Links"), 20000);
    ClickTheLink(dlg);
    QTRY_COMPARE_WITH_TIMEOUT(desktop.fileDialogs.size(), 1, 10000);
    // In the Downloads folder, or at home where there is none.
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    QCOMPARE(desktop.fileDialogs[0].proposedPath,
             (QFileInfo(downloads).isDir() ? downloads : QDir::homePath()) + "/report.txt");
    QVERIFY(desktop.fileDialogs[0].hadOwner);
    if (!chosen) {
      QTRY_COMPARE_WITH_TIMEOUT(dlg->Note(), QString("Not saved: report.txt"), 10000);
      QVERIFY(dlg->Downloads().isEmpty());
      QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
      return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(dlg->Downloads().size(), 1, 10000);
    CPageDownloadRow* row = dlg->Downloads().first();
    QTRY_VERIFY_WITH_TIMEOUT(!row->IsRunning(), 10000);
    QCOMPARE(row->Text(), "Saved " + target);
    // Under the page, which gives it room.
    QVERIFY(row->isVisible());
    QVERIFY(dlg->Browser()->height() <= dlg->height() - row->height());
    QFile saved(target);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("the transcript"));
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
