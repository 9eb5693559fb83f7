// The console on a Wayland compositor without a seat (a headless weston):
// Qt's input context would crash at the login window's focused box, so the
// program starts without one there, and the window is drawn and lives.
#include "ConsoleProcess.h"
#include "DesktopRig.h"
#include "ServiceProcess.h"
#include "WaylandCompositor.h"

#include <QFile>
#include <QTest>

class tst_WaylandSeatless : public QObject {
  Q_OBJECT

 private slots:
  void loginWindowWithoutSeat();
};

namespace {

// The pictures the login window's surface took, read from the console's
// protocol log: every buffer attached after the window got its title.
int LoginWindowFrames(const QString& logPath) {
  QFile log(logPath);
  if (!log.open(QIODevice::ReadOnly)) return 0;
  const QByteArray text = log.readAll();
  const qsizetype titled = text.indexOf("set_title(\"Talvero Executive Login:\")");
  return titled < 0 ? 0 : int(text.mid(titled).count(".attach(wl_buffer@"));
}

}  // namespace

void tst_WaylandSeatless::loginWindowWithoutSeat() {
  if (!CWaylandCompositor::IsInstalled(CWaylandCompositor::Kind::SeatlessWeston))
    QSKIP("weston is not installed: no compositor without a seat to run on");
  CDesktopRig rig(QSize(1280, 800), CDesktopRig::Desktop::SeatlessWeston);
  QVERIFY2(rig.Error().isEmpty(), qPrintable(rig.Error()));
  CServiceProcess service(rig);
  QVERIFY(service.IsRunning());
  QProcessEnvironment protocolLog;
  protocolLog.insert(QStringLiteral("WAYLAND_DEBUG"), QStringLiteral("client"));
  CConsoleProcess console(rig, QStringLiteral("demo"), service.Host(), protocolLog);
  const QString logPath = rig.Folder() + QStringLiteral("/demo.log");
  // The caret blinks in the focused box: a new picture every half second.
  // Qt's input context crashed before the first one.
  QTest::qWaitFor([&] { return LoginWindowFrames(logPath) >= 4 || !console.IsRunning(); }, 30000);
  QVERIFY2(console.IsRunning(), qPrintable(QStringLiteral("the console ended:\n") + console.Log().right(1500)));
  QVERIFY2(LoginWindowFrames(logPath) >= 4, "the login window was not drawn");
}

QTEST_GUILESS_MAIN(tst_WaylandSeatless)
#include "tst_WaylandSeatless.moc"
