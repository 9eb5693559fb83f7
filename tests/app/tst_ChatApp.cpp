// Start-up: the command line and the settings key.
#include "ChatApp.h"
#include "ChatManager.h"
#include "LinkOpener.h"
#include "RecordingDesktopServices.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QProcess>
#include <QTimer>
#include <QTest>

class TestChatApp : public QObject {
  Q_OBJECT

 private slots:
  void commandLine() {
    qunsetenv("TALVERO_SERVICE");
    QCOMPARE(CChatApp::ParseCommandLine({"talvero"}).service, QString());
    QCOMPARE(CChatApp::ParseCommandLine({"talvero", "--service", "chat.example.com"}).service,
             QString("chat.example.com"));
    QCOMPARE(CChatApp::ParseCommandLine({"talvero", "--service=10.0.0.2:8443"}).service, QString("10.0.0.2:8443"));
    QVERIFY(!CChatApp::ParseCommandLine({"talvero", "--service"}).error.isEmpty());
    QVERIFY(!CChatApp::ParseCommandLine({"talvero", "--bogus"}).error.isEmpty());
    QVERIFY(!CChatApp::ParseCommandLine({"talvero", "--service", "http://x/"}).error.isEmpty());
    QVERIFY(CChatApp::ParseCommandLine({"talvero", "--help"}).showHelp);

    qputenv("TALVERO_SERVICE", "env.example.com:81");
    QCOMPARE(CChatApp::ParseCommandLine({"talvero"}).service, QString("env.example.com:81"));
    QCOMPARE(CChatApp::ParseCommandLine({"talvero", "--service", "cli.example.com"}).service,
             QString("cli.example.com"));
    qunsetenv("TALVERO_SERVICE");
  }

  void serviceOptionReplacesTheBuiltInHost() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    CChatManager engine;
    QCOMPARE(engine.Host(), QString("127.0.0.1:8470"));
    CChatApp app(engine);
    CChatApp::Options options;
    options.service = "chat.example.com:8443";
    app.Prepare(options);
    QCOMPARE(engine.Host(), QString("chat.example.com:8443"));
    QCOMPARE(engine.DefaultHost(), QString("chat.example.com:8443"));
  }

  void theFailureWarningRingsItsSound() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    CChatManager engine;
    CChatApp app(engine);
    CChatApp::Options options;
    options.service = "127.0.0.1:1";  // nothing listens on port 1
    app.Prepare(options);
    QString reply;
    for (int i = 0; i < 13; ++i) engine.RequestSync("/x", reply);
    QCOMPARE(desktop.messageBoxes.size(), 1);
    QCOMPARE(desktop.sounds, QList<QUrl>{QUrl("qrc:/sounds/301.wav")});
  }

  void linksOpenThroughTheDesktopServices() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    CChatManager engine;
    CChatApp app(engine);
    app.Prepare({});
    QVERIFY(CLinkOpener::Open("www.example.com"));
    QVERIFY(!CLinkOpener::Open("javascript:alert(1)"));
    QCOMPARE(desktop.openedUrls, QList<QUrl>{QUrl("http://www.example.com")});
    CLinkOpener::SetOpener({});
  }

  void startUpCreatesTheSettingsKey() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    QVERIFY(!CSettingsStore().KeyExists(CSettingsStore::kRootKey));
    CChatManager engine;
    CChatApp app(engine);
    app.Prepare({});
    QVERIFY(CSettingsStore().KeyExists(CSettingsStore::kRootKey));
    QVERIFY(QFile::exists(folder.SettingsFile()));
  }

  void closingTheLoginWindowEndsTheRun() {
    CTestSettingsFolder folder;
    CRecordingDesktopServices desktop;
    CChatManager engine;
    CChatApp app(engine);
    app.Prepare({});
    QString shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
      if (QWidget* w = QApplication::activeModalWidget()) {
        shown = w->windowTitle();
        w->close();
      }
    });
    closer.start(50);
    app.RunLoginWindow();  // returns once the window is closed
    QCOMPARE(shown, QString("Talvero Executive Login:"));
    QCOMPARE(engine.Session().loginId, QString());
  }

  void programRejectsABadCommandLine() {
    QProcess program;
    program.start(QCoreApplication::applicationDirPath() + "/../../talvero", {"--no-such-option"});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 2);
    QVERIFY(program.readAllStandardError().contains("usage: talvero"));
  }
};

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  TestChatApp test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_ChatApp.moc"
