// The archive on a real desktop: a line of a chat that has ended is found
// from the console with real keys and its chat opened.
#include "DesktopScenario.h"

#include <QTest>

class tst_DesktopArchive : public QObject {
  Q_OBJECT

 private:
  CDesktopScenario m_desk;

  // The console's window whose name begins so, once it is the active one.
  std::optional<XWindow> ActiveWindowStarting(const CConsoleProcess& console, const QString& start) const {
    for (const XWindow& window : m_desk.Windows().Windows())
      if (window.pid == console.Pid() && window.name.startsWith(start) &&
          m_desk.Windows().ActiveWindowId() == window.id)
        return window;
    return std::nullopt;
  }

 private slots:
  void initTestCase() { QVERIFY2(m_desk.StartDesktop(), qPrintable(m_desk.Error())); }
  void init() { QVERIFY(m_desk.StartService()); }
  void cleanup() {
    m_desk.ReportFailure();
    m_desk.EndScenario();
  }

  void findsAnEndedChatsLine() {
    CConsoleProcess& console = m_desk.StartConsole(QStringLiteral("demo"));
    QVERIFY(m_desk.LogIn(console, QStringLiteral("demo"), QStringLiteral("demo")));
    const QString chatId = m_desk.Service().VisitorAsksForChat(QStringLiteral("Zoe"));
    QVERIFY(m_desk.WaitForRefreshes(2));
    m_desk.Windows().Key(QStringLiteral("alt+c"));
    QVERIFY(m_desk.WaitForActive(QStringLiteral("Chatting with:Zoe")));

    const QString line = QStringLiteral("your parcel 4471 leaves on Tuesday");
    m_desk.Windows().Type(line, 60);
    m_desk.Windows().Key(QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(m_desk.Service().ChatLines(chatId).count(QStringLiteral("demo: ") + line), 1,
                              CDesktopScenario::kWindowMs);
    m_desk.Service().Control(QStringLiteral("visitor/say"),
                             {{QStringLiteral("csesid"), chatId}, {QStringLiteral("text"), QStringLiteral("thanks!")}});
    QTRY_VERIFY_WITH_TIMEOUT(m_desk.CopyTranscript().contains(QStringLiteral("Zoe: thanks!")), CDesktopScenario::kWindowMs);
    m_desk.Service().Control(QStringLiteral("visitor/leave"), {{QStringLiteral("csesid"), chatId}});
    QTRY_VERIFY_WITH_TIMEOUT(m_desk.Windows().Find(QStringLiteral("Chatting with:Zoe (chat ended)")) ||
                                 !m_desk.Windows().Find(QStringLiteral("Chatting with:Zoe")),
                             CDesktopScenario::kWindowMs);

    // From the console: the search window, a word of the line, Enter.
    QVERIFY(m_desk.FocusConsole(console));
    m_desk.Windows().Key(QStringLiteral("ctrl+shift+f"));
    QVERIFY2(m_desk.WaitForActive(QStringLiteral("Search the chat archive - Talvero")),
             "Ctrl+Shift+F did not bring the search window forward");
    m_desk.Windows().Type(QStringLiteral("parcel"), 60);
    m_desk.Windows().Key(QStringLiteral("Return"));
    std::optional<XWindow> transcript;
    QTRY_VERIFY_WITH_TIMEOUT((transcript = ActiveWindowStarting(console, QStringLiteral("Archive: Zoe"))),
                             CDesktopScenario::kWindowMs);

    // The whole chat, copied from the transcript with the keyboard.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
          m_desk.Windows().Key(QStringLiteral("ctrl+a"));
          m_desk.Windows().Key(QStringLiteral("ctrl+c"));
          const QString copied = m_desk.Windows().Clipboard();
          return copied.contains(QStringLiteral("demo: ") + line) && copied.contains(QStringLiteral("Zoe: thanks!"));
        }(),
        CDesktopScenario::kWindowMs);
  }
};

QTEST_GUILESS_MAIN(tst_DesktopArchive)
#include "tst_DesktopArchive.moc"
