// The console out of sight: minimised into the tray, it keeps polling; a
// request shows the corner notice and a desktop notification whose Accept
// opens the chat in front; the tray icon brings the console back, and
// "Always on top" changes its stacking without ending it. Each request has
// one notice and one notification until it is taken.
#include "DesktopScenario.h"

#include <QImage>
#include <QTest>

class tst_DesktopTray : public QObject {
  Q_OBJECT

 private:
  CDesktopScenario m_desk;
  CConsoleProcess* m_pConsole = nullptr;

  bool ConsoleShown() const {
    const std::optional<XWindow> console = m_desk.ConsoleWindow(*m_pConsole);
    return console && !console->Has(QStringLiteral("HIDDEN"));
  }
  bool MinimiseConsole();
  std::optional<XWindow> Notice() const;
  int Notices() const;
  int NotificationsShown();
  // Pixels of this colour in a part of the screen.
  int CountColour(const QRect& area, QRgb colour) const;
  bool ToggleAlwaysOnTop();

 private slots:
  void initTestCase();
  void init();
  void cleanup();
  void minimisedConsoleStillTakesRequests();
  void eachRequestItsNotificationUntilTaken();
  void restoredConsoleAsItWas();
  // Last: the rig has no tray after it.
  void aTrayThatGoesGivesTheConsoleBack();
};

void tst_DesktopTray::initTestCase() { QVERIFY2(m_desk.StartDesktop(), qPrintable(m_desk.Error())); }

void tst_DesktopTray::init() { QVERIFY(m_desk.StartService()); }

void tst_DesktopTray::cleanup() {
  m_desk.ReportFailure();
  m_desk.EndScenario();
}

bool tst_DesktopTray::MinimiseConsole() {
  const std::optional<XWindow> console = m_desk.ConsoleWindow(*m_pConsole);
  if (!console) return false;
  m_desk.Windows().Minimise(console->id);
  // Into the tray: the window manager no longer lists it.
  return QTest::qWaitFor([&] { return !m_desk.ConsoleWindow(*m_pConsole); }, CDesktopScenario::kWindowMs);
}

std::optional<XWindow> tst_DesktopTray::Notice() const {
  for (const XWindow& window : m_desk.Windows().Windows())
    if (window.pid == m_pConsole->Pid() && window.types.contains(QLatin1String("UTILITY"))) return window;
  return std::nullopt;
}

int tst_DesktopTray::Notices() const {
  int n = 0;
  for (const XWindow& window : m_desk.Windows().Windows())
    n += window.pid == m_pConsole->Pid() && window.types.contains(QLatin1String("UTILITY"));
  return n;
}

int tst_DesktopTray::NotificationsShown() {
  return m_desk.Rig().Run(QStringLiteral("dunstctl"), {QStringLiteral("count"), QStringLiteral("displayed")}).trimmed().toInt();
}

int tst_DesktopTray::CountColour(const QRect& area, QRgb colour) const {
  const QImage screen(m_desk.Windows().Screenshot(QStringLiteral("screen.png")));
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += screen.valid(x, y) && (screen.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
  return n;
}

bool tst_DesktopTray::ToggleAlwaysOnTop() {
  const std::optional<XWindow> console = m_desk.ConsoleWindow(*m_pConsole);
  if (!console) return false;
  const bool wasAbove = console->Has(QStringLiteral("ABOVE"));
  // The console must be settled and active before the click: a right-click
  // that lands while the window manager is still mapping it opens nothing.
  if (!m_desk.FocusConsole(*m_pConsole)) return false;
  // The console's own menu, on a free spot of the window; its one item.
  m_desk.Windows().Click(console->id, CDesktopScenario::InConsole(*console, QPoint(500, 40)), 3);
  if (!QTest::qWaitFor([&] { return m_desk.PopUpMenu(*console).has_value(); }, CDesktopScenario::kWindowMs)) return false;
  m_desk.Windows().Key(QStringLiteral("Down Return"));
  // Done once the menu has gone and the window manager shows the new state.
  return QTest::qWaitFor(
      [&] {
        const std::optional<XWindow> now = m_desk.ConsoleWindow(*m_pConsole);
        return !m_desk.PopUpMenu(*console) && now && !now->Has(QStringLiteral("HIDDEN")) && now->Has(QStringLiteral("ABOVE")) != wasAbove;
      },
      CDesktopScenario::kWindowMs);
}

void tst_DesktopTray::minimisedConsoleStillTakesRequests() {
  m_pConsole = &m_desk.StartConsole(QStringLiteral("demo"));
  QVERIFY(m_desk.LogIn(*m_pConsole, QStringLiteral("demo"), QStringLiteral("demo")));

  QVERIFY2(MinimiseConsole(), "the minimised console stayed on the desktop");
  QVERIFY2(m_desk.WaitForRefreshes(2), "the console stopped polling in the tray");
  QVERIFY2(m_pConsole->IsRunning(), "minimising the console ended the program");

  // The corner notice: at the work area's corner, white with blue text, and
  // it does not take the keyboard.
  m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QTRY_VERIFY_WITH_TIMEOUT(Notice().has_value(), CDesktopScenario::kWindowMs);
  const XWindow notice = *Notice();
  const QRect workArea = m_desk.Windows().WorkArea();
  QCOMPARE(notice.geometry.bottomRight(), workArea.bottomRight());
  QVERIFY(m_desk.Windows().ActiveWindowId() != notice.id);
  QVERIFY(CountColour(notice.geometry, qRgb(255, 255, 255)) > notice.geometry.width() * notice.geometry.height() / 2);
  QVERIFY(CountColour(notice.geometry, qRgb(0, 0, 185)) > 20);

  // The desktop notification; a click on it is its Accept.
  QTRY_VERIFY_WITH_TIMEOUT(!m_desk.Windows().Unmanaged(QStringLiteral("Dunst")).isEmpty(), CDesktopScenario::kWindowMs);
  const XWindow notification = m_desk.Windows().Unmanaged(QStringLiteral("Dunst")).first();
  m_desk.Windows().ClickAt(notification.geometry.center());
  QVERIFY2(m_desk.WaitForActive(QStringLiteral("Chatting with:Zoe")), "the notification's Accept did not open the chat in front");
  const QString history = m_desk.Rig().Run(QStringLiteral("dunstctl"), {QStringLiteral("history")});
  QVERIFY2(history.contains(QLatin1String("Chat Request")) && history.contains(QLatin1String("Zoe")), qPrintable(history));

  // Back from the tray with a click on its icon.
  if (ConsoleShown()) QVERIFY(MinimiseConsole());
  const QList<XWindow> icons = m_desk.Windows().Unmanaged(QStringLiteral("talvero"));
  const auto icon = std::find_if(icons.begin(), icons.end(), [&](const XWindow& w) { return !workArea.contains(w.geometry.center()); });
  QVERIFY2(icon != icons.end(), "no tray icon in the panel");
  m_desk.Windows().ClickAt(icon->geometry.center());
  QTRY_VERIFY_WITH_TIMEOUT(ConsoleShown(), CDesktopScenario::kWindowMs);
  QVERIFY(m_desk.WaitForActive(QStringLiteral("Talvero")));

  // Always on top, on and off; the program runs on.
  // The flag changes on the window the console has: the same X window,
  // never hidden on the way, in the same place.
  const XWindow before = *m_desk.ConsoleWindow(*m_pConsole);
  QVERIFY2(ToggleAlwaysOnTop(), "the console's menu did not turn \"Always on top\" on");
  QVERIFY(m_desk.ConsoleWindow(*m_pConsole)->Has(QStringLiteral("ABOVE")));
  QVERIFY2(m_pConsole->IsRunning(), "Always on top ended the program");
  QVERIFY2(ToggleAlwaysOnTop(), "the console's menu did not turn \"Always on top\" off");
  const XWindow after = *m_desk.ConsoleWindow(*m_pConsole);
  QCOMPARE(after.id, before.id);
  QCOMPARE(after.geometry, before.geometry);
  QVERIFY(m_desk.WaitForRefreshes(2));
  QVERIFY(m_pConsole->IsRunning());
}

// Three requests while the console is in the tray: three notifications and
// three corner notices, not repeated by the refreshes that see them again;
// each goes when its request does (its visitor leaving, or taken from its
// notification).
void tst_DesktopTray::eachRequestItsNotificationUntilTaken() {
  m_pConsole = &m_desk.StartConsole(QStringLiteral("anna"));
  QVERIFY(m_desk.LogIn(*m_pConsole, QStringLiteral("anna"), QStringLiteral("anna")));
  QVERIFY2(MinimiseConsole(), "the minimised console stayed on the desktop");
  // The daemon's history of closed notifications, by name: it may keep
  // those of earlier scenarios, so what counts is what this one adds.
  const auto inHistory = [this](const char* name) {
    return m_desk.Rig().Run(QStringLiteral("dunstctl"), {QStringLiteral("history")})
        .count(QStringLiteral("\"data\" : \"%1\\n").arg(QLatin1String(name)));
  };
  const qsizetype before[] = {inHistory("Zoe"), inHistory("Yan"), inHistory("Xia")};
  QStringList ids;
  for (const char* name : {"Zoe", "Yan", "Xia"}) ids << m_desk.Service().VisitorAsksForChat(QLatin1String(name));
  QTRY_COMPARE_WITH_TIMEOUT(NotificationsShown(), 3, CDesktopScenario::kWindowMs);
  QTRY_COMPARE_WITH_TIMEOUT(Notices(), 3, CDesktopScenario::kWindowMs);
  QVERIFY(m_desk.WaitForRefreshes(2));
  QCOMPARE(NotificationsShown(), 3);
  QCOMPARE(Notices(), 3);
  // One above another inside the work area, each saying what it is, none
  // in the task bar or the pager.
  QList<XWindow> notices;
  for (const XWindow& window : m_desk.Windows().Windows())
    if (window.pid == m_pConsole->Pid() && window.types.contains(QLatin1String("UTILITY"))) notices.append(window);
  for (int i = 0; i < notices.size(); ++i) {
    QVERIFY(m_desk.Windows().WorkArea().contains(notices[i].geometry));
    QCOMPARE(notices[i].name, QStringLiteral("Chat request - Talvero"));
    QVERIFY2(notices[i].Has(QStringLiteral("SKIP_TASKBAR")) && notices[i].Has(QStringLiteral("SKIP_PAGER")),
             qPrintable(notices[i].states.join(u' ')));
    for (int j = i + 1; j < notices.size(); ++j) QVERIFY(!notices[i].geometry.intersects(notices[j].geometry));
  }

  m_desk.Service().Control(QStringLiteral("visitor/leave"), {{QStringLiteral("csesid"), ids[1]}});
  QTRY_COMPARE_WITH_TIMEOUT(NotificationsShown(), 2, CDesktopScenario::kWindowMs);
  QTRY_COMPARE_WITH_TIMEOUT(Notices(), 2, CDesktopScenario::kWindowMs);

  for (int shown = 2; shown > 0; --shown) {
    const QList<XWindow> dunst = m_desk.Windows().Unmanaged(QStringLiteral("Dunst"));
    QVERIFY(!dunst.isEmpty());
    m_desk.Windows().ClickAt(dunst.first().geometry.topLeft() + QPoint(dunst.first().geometry.width() / 2, 8));
    QTRY_COMPARE_WITH_TIMEOUT(NotificationsShown(), shown - 1, CDesktopScenario::kWindowMs);
  }
  QTRY_COMPARE_WITH_TIMEOUT(Notices(), 0, CDesktopScenario::kWindowMs);
  // Both taken: two accepts, two chat windows.
  QTRY_COMPARE_WITH_TIMEOUT(m_desk.Service().CountRequests(QStringLiteral("w-adc.php")), 2, CDesktopScenario::kWindowMs);
  // Each request was shown once, and closed once taken or gone.
  QCOMPARE(inHistory("Zoe") - before[0], 1);
  QCOMPARE(inHistory("Yan") - before[1], 1);
  QCOMPARE(inHistory("Xia") - before[2], 1);
}

// Back from the tray, the console is where the operator put it, at the
// size he gave it, with the keyboard in the table: Home and Enter take the
// request on its first row.
void tst_DesktopTray::restoredConsoleAsItWas() {
  m_pConsole = &m_desk.StartConsole(QStringLiteral("anna"));
  QVERIFY(m_desk.LogIn(*m_pConsole, QStringLiteral("anna"), QStringLiteral("anna")));
  m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
  QVERIFY(m_desk.WaitForRefreshes(2));
  const XWindow placed = *m_desk.ConsoleWindow(*m_pConsole);
  const QRect workArea = m_desk.Windows().WorkArea();
  // Moved and made shorter by the operator (its width is its least), as
  // through the window manager.
  const QRect chosen(workArea.left() + 37, workArea.top() + 23, placed.geometry.width(), placed.geometry.height() - 60);
  m_desk.Rig().Run(QStringLiteral("xdotool"), {QStringLiteral("windowsize"), placed.id, QString::number(chosen.width()),
                                               QString::number(chosen.height()), QStringLiteral("windowmove"), placed.id,
                                               QString::number(chosen.left()), QString::number(chosen.top())});
  QVERIFY(QTest::qWaitFor([&] { return m_desk.ConsoleWindow(*m_pConsole)->geometry.size() == chosen.size(); },
                          CDesktopScenario::kWindowMs));
  const QRect before = m_desk.ConsoleWindow(*m_pConsole)->geometry;

  for (const char* way : {"tray icon", "keyboard"}) {
    QVERIFY2(MinimiseConsole(), way);
    if (qstrcmp(way, "tray icon") == 0) {
      const QList<XWindow> icons = m_desk.Windows().Unmanaged(QStringLiteral("talvero"));
      const auto icon = std::find_if(icons.begin(), icons.end(), [&](const XWindow& w) { return !workArea.contains(w.geometry.center()); });
      QVERIFY2(icon != icons.end(), "no tray icon in the panel");
      m_desk.Windows().ClickAt(icon->geometry.center());
    } else {
      // A second start of the program brings the running one forward.
      m_desk.StartConsole(QStringLiteral("anna"));
    }
    QTRY_VERIFY_WITH_TIMEOUT(ConsoleShown(), CDesktopScenario::kWindowMs);
    QVERIFY2(m_desk.WaitForActive(QStringLiteral("Talvero")), way);
    QTRY_COMPARE_WITH_TIMEOUT(m_desk.ConsoleWindow(*m_pConsole)->geometry, before, CDesktopScenario::kWindowMs);
  }
  m_desk.Windows().Key(QStringLiteral("Home Return"));
  QVERIFY2(m_desk.WaitForActive(QStringLiteral("Chatting with:Zoe")), "the keyboard was not in the console's table");
}

// The panel holding the tray ends while the console is in it: the console
// comes back as a minimised window in the task bar, still logged in.
void tst_DesktopTray::aTrayThatGoesGivesTheConsoleBack() {
  m_pConsole = &m_desk.StartConsole(QStringLiteral("demo"));
  QVERIFY(m_desk.LogIn(*m_pConsole, QStringLiteral("demo"), QStringLiteral("demo")));
  QVERIFY(MinimiseConsole());
  m_desk.Rig().StopTray();
  QTRY_VERIFY_WITH_TIMEOUT(m_desk.ConsoleWindow(*m_pConsole).has_value(), CDesktopScenario::kWindowMs);
  QVERIFY(m_desk.FocusConsole(*m_pConsole));
  QVERIFY(m_desk.WaitForRefreshes(2));
}

QTEST_GUILESS_MAIN(tst_DesktopTray)
#include "tst_DesktopTray.moc"
