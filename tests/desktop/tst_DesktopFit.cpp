// The console and a chat window on the screens of common laptops and with
// a large desktop font: each desktop is started at the screen's size, the
// console with the desktop's font (a KDE settings file) or scale
// (QT_SCALE_FACTOR). Judged through AT-SPI, as a screen reader places the
// controls: every button of both windows lies inside the work area and
// inside its window, and the visitor table shows eight whole rows.
#include "DesktopScenario.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

const QString kClient = QStringLiteral(TALVERO_SOURCE_DIR "/tests/desktop/atspi-console.py");

// One control as the reader lists it, in the screen's pixels.
struct Placed {
  QString role;
  QString name;
  QRect rect;
};

struct Layout {
  QRect window;
  QList<Placed> controls;
  int rows = -1;
};

QRect ParseRect(const QString& text) {
  const QStringList n = text.split(u',');
  return n.size() == 4 ? QRect(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt()) : QRect();
}

}  // namespace

class tst_DesktopFit : public QObject {
  Q_OBJECT

 private:
  CDesktopScenario m_desk;

  // The window's layout through AT-SPI, mapped onto the window manager's
  // geometry of the window (the reader may give logical pixels at a scale).
  std::optional<Layout> ReadLayout(qint64 pid, const QString& title);
  void VerifyOnScreen(const Layout& layout, const QString& title);

 private slots:
  void initTestCase();
  void cleanup();
  void cleanupTestCase();
  void everyButtonOnScreen_data();
  void everyButtonOnScreen();
};

void tst_DesktopFit::initTestCase() {
  if (!CDesktopScenario::HasAtSpi()) QSKIP("no AT-SPI client here: python3-pyatspi and at-spi2-core are not installed");
}

void tst_DesktopFit::cleanup() {
  m_desk.ReportFailure();
  m_desk.EndScenario();
}

void tst_DesktopFit::cleanupTestCase() { m_desk.EndScenario(); }

std::optional<Layout> tst_DesktopFit::ReadLayout(qint64 pid, const QString& title) {
  const std::optional<XWindow> managed = m_desk.Windows().Find(title);
  if (!managed) return std::nullopt;
  QProcess client;
  client.setProcessEnvironment(m_desk.Rig().Environment());
  client.start(CDesktopScenario::kAtSpiPython, {kClient, QString::number(pid), QStringLiteral("layout"), title});
  if (!client.waitForFinished(CDesktopScenario::kWindowMs) || client.exitCode() != 0) {
    client.kill();
    return std::nullopt;
  }
  Layout layout;
  layout.window = managed->geometry;
  QRect reported;
  QList<Placed> raw;
  for (const QString& line : QString::fromUtf8(client.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
    const QStringList f = line.split(u'|');
    if (f.size() != 3) continue;
    if (f[0] == QLatin1String("window"))
      reported = ParseRect(f[2]);
    else if (f[0] == QLatin1String("rows"))
      layout.rows = std::max(layout.rows, f[2].toInt());
    else
      raw.append({f[0], f[1], ParseRect(f[2])});
  }
  if (reported.isEmpty()) return std::nullopt;
  const double scale = double(layout.window.width()) / reported.width();
  for (const Placed& p : raw) {
    const QRect r = p.rect.translated(-reported.topLeft());
    layout.controls.append({p.role, p.name,
                            QRect(layout.window.x() + qRound(r.x() * scale), layout.window.y() + qRound(r.y() * scale),
                                  qRound(r.width() * scale), qRound(r.height() * scale))});
  }
  return layout;
}

void tst_DesktopFit::VerifyOnScreen(const Layout& layout, const QString& title) {
  const QRect work = m_desk.Windows().WorkArea();
  QVERIFY2(work.contains(layout.window), qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 leaves the work area")
                                                         .arg(title)
                                                         .arg(layout.window.x())
                                                         .arg(layout.window.y())
                                                         .arg(layout.window.width())
                                                         .arg(layout.window.height())));
  int buttons = 0;
  for (const Placed& p : layout.controls) {
    if (p.role == QLatin1String("link")) continue;
    ++buttons;
    // A pixel of rounding at a fractional scale is no control off screen.
    const QRect inner = p.rect.adjusted(1, 1, -1, -1);
    QVERIFY2(layout.window.contains(inner) && work.contains(inner),
             qPrintable(QStringLiteral("%1: \"%2\" at %3,%4 %5x%6 is not on screen in its window")
                            .arg(title, p.name)
                            .arg(p.rect.x())
                            .arg(p.rect.y())
                            .arg(p.rect.width())
                            .arg(p.rect.height())));
  }
  QVERIFY2(buttons >= 8, qPrintable(title + QStringLiteral(": too few buttons listed")));
}

void tst_DesktopFit::everyButtonOnScreen_data() {
  QTest::addColumn<QSize>("screen");
  QTest::addColumn<QString>("scale");
  QTest::addColumn<int>("points");  // 0: the desktop's default font
  QTest::newRow("16 pt on 1600x1000") << QSize(1600, 1000) << QString() << 16;
  QTest::newRow("scale 1.5 on 1920x1080") << QSize(1920, 1080) << QStringLiteral("1.5") << 0;
  QTest::newRow("scale 2 on 2560x1600") << QSize(2560, 1600) << QStringLiteral("2") << 0;
}

void tst_DesktopFit::everyButtonOnScreen() {
  QFETCH(QSize, screen);
  QFETCH(QString, scale);
  QFETCH(int, points);
  // A desktop of the screen's size, with the accessibility bus.
  QVERIFY2(m_desk.StartDesktop(screen), qPrintable(m_desk.Error()));
  QVERIFY2(m_desk.StartAccessibilityBus(), "the accessibility bus did not start");
  QVERIFY(m_desk.StartService());

  const QString name = QStringLiteral("demo");
  QProcessEnvironment env;
  env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
  if (!scale.isEmpty()) env.insert(QStringLiteral("QT_SCALE_FACTOR"), scale);
  if (points > 0) {
    // The desktop's font, as a KDE desktop hands it to Qt programs.
    const QString config = QDir(m_desk.Rig().Folder()).filePath(name + QStringLiteral("/config"));
    QDir().mkpath(config);
    QFile settings(config + QStringLiteral("/kdeglobals"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write(QStringLiteral("[General]\nfont=DejaVu Sans,%1,-1,5,50,0,0,0,0,0\n").arg(points).toUtf8());
    settings.close();
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("KDE"));
    env.insert(QStringLiteral("KDE_SESSION_VERSION"), QStringLiteral("5"));
  }
  CConsoleProcess& console = m_desk.StartConsole(name, env);
  QVERIFY(m_desk.LogIn(console, name, name));
  // More visitors than eight rows hold, one of them asking for a chat.
  for (int i = 0; i < 11; ++i)
    m_desk.Service().Control(QStringLiteral("visitor/add"),
                             {{QStringLiteral("name"), QStringLiteral("Visitor %1").arg(i)},
                              {QStringLiteral("ip"), QStringLiteral("10.7.7.%1").arg(i + 1)}});
  m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY(m_desk.WaitForRefreshes(2));

  const QString consoleTitle = QStringLiteral("Talvero");
  std::optional<Layout> layout;
  (void)QTest::qWaitFor([&] {
    layout = ReadLayout(console.Pid(), consoleTitle);
    return layout && layout->rows >= 8;
  }, CDesktopScenario::kWindowMs);
  QVERIFY2(layout, "the console's controls could not be read");
  qInfo("console %dx%d, table %d whole rows, %d controls", layout->window.width(), layout->window.height(),
        layout->rows, int(layout->controls.size()));
  VerifyOnScreen(*layout, consoleTitle);
  if (QTest::currentTestFailed()) return;
  QVERIFY2(layout->rows >= 8, qPrintable(QStringLiteral("the table shows %1 whole rows").arg(layout->rows)));

  // Zoe's chat, from the Chats Only view where hers is the one row.
  QVERIFY(m_desk.FocusConsole(console));
  m_desk.Windows().Key(QStringLiteral("alt+h"));
  QVERIFY(m_desk.WaitForRefreshes(2));
  m_desk.Windows().Key(QStringLiteral("alt+c"));
  const QString chatTitle = QStringLiteral("Chatting with:Zoe");
  QVERIFY(m_desk.WaitForWindow(chatTitle));
  (void)QTest::qWaitFor([&] { return (layout = ReadLayout(console.Pid(), chatTitle)).has_value(); }, CDesktopScenario::kWindowMs);
  QVERIFY2(layout, "the chat window's controls could not be read");
  qInfo("chat window %dx%d, %d controls", layout->window.width(), layout->window.height(), int(layout->controls.size()));
  VerifyOnScreen(*layout, chatTitle);
}

QTEST_GUILESS_MAIN(tst_DesktopFit)
#include "tst_DesktopFit.moc"
