// The archive's windows reached from the console's windows against the
// stand-in service: "Earlier chats here" in a chat window (the visitor's
// archived chats, without the chat open now, which is being recorded too,
// and without other visitors'), Ctrl+Shift+F there and the console's own
// menu command.
#include "ArchiveTranscriptDlg.h"
#include "ChatArchive.h"
#include "ChatWindows.h"
#include "ConsoleController.h"
#include "MainDlg.h"
#include "SessionFixture.h"
#include "VisitorActions.h"
#include "WindowParts.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class TestArchiveFromConsole : public QObject {
  Q_OBJECT

  // A chat of days ago, as the archive kept it.
  static void Archive(CChatArchive& archive, const QString& chatId, const QString& name, const QString& email,
                      int daysAgo) {
    ArchiveChat chat;
    chat.chatId = chatId;
    chat.visitorName = name;
    chat.visitorEmail = email;
    chat.started = QDateTime::currentDateTime().addDays(-daysAgo);
    ArchiveLine line;
    line.text = name + QStringLiteral(": hello from ") + chatId;
    line.at = chat.started;
    archive.AddLines(archive.BeginChat(chat), {line});
  }

  static QWidget* ShownSearch() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == QLatin1String("archiveSearch") && w->isVisible()) return w;
    return nullptr;
  }

  int ChatsOf(CChatArchive& archive, const QString& name) {
    ArchiveQuery query;
    query.sameVisitor.name = name;
    int found = -1;
    archive.Search(query, this, [&found](const QList<ArchiveHit>& hits) { found = int(hits.size()); });
    [&] { QTRY_VERIFY(found >= 0); }();
    return found;
  }

 private slots:
  void reachedFromTheConsolesWindows() {
    CSessionFixture session;
    CServiceFixture& service = session.UseService();
    QVERIFY(service.Login("anna", "anna").startsWith("true"));
    session.LogIn();
    QTemporaryDir folder;
    CChatArchive archive(folder.filePath("archive.sqlite"), 0);
    Archive(archive, "old1", "Zoe", "zoe@example.com", 9);
    Archive(archive, "old2", "Yuri", "yuri@example.com", 5);
    session.UseArchive(&archive);
    CConsoleController& console = session.Controller();

    const QString visitor = service.Control("visitor/add", {{"name", "Zoe"}, {"email", "zoe@example.com"}});
    service.Control("visitor/chat", {{"csesid", visitor}});
    console.VisitorActions().AcceptChat(visitor);
    QTRY_COMPARE(console.ChatWindows().Count(), 1);
    QWidget* chat = console.ChatWindows().Find(console.ChatWindows().Ids().first());
    QVERIFY(chat);
    QTRY_COMPARE(ChatsOf(archive, "Zoe"), 2);  // the one open now is recorded too

    WindowParts::Button<QPushButton>(*chat, "Earlier chats here")->click();
    QMenu* menu = nullptr;
    QTRY_VERIFY((menu = WindowParts::ShownMenu()));
    QCOMPARE(menu->actions().size(), 1);
    QVERIFY2(menu->actions().first()->text().endsWith("  Zoe (zoe@example.com)"),
             qPrintable(menu->actions().first()->text()));
    menu->actions().first()->trigger();
    menu->close();
    const auto shownTranscript = []() -> CArchiveTranscriptDlg* {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<CArchiveTranscriptDlg*>(w); t && t->isVisible()) return t;
      return nullptr;
    };
    CArchiveTranscriptDlg* transcript = nullptr;
    QTRY_VERIFY((transcript = shownTranscript()));
    QCOMPARE(transcript->Chat().chatId, QString("old1"));

    // Ctrl+Shift+F in the chat window; the console's menu brings the same
    // one search window back after it was closed.
    QVERIFY(!ShownSearch());
    chat->activateWindow();
    QTRY_VERIFY(chat->isActiveWindow());
    QTest::keyClick(chat->focusWidget() ? chat->focusWidget() : chat, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QWidget* search = nullptr;
    QTRY_VERIFY((search = ShownSearch()));
    const QPointer<QWidget> first(search);
    QTest::keyClick(search, Qt::Key_Escape);
    QTRY_VERIFY(!ShownSearch());
    CMainDlg& window = console.Window();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), window.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&window, &click);
    QTRY_VERIFY((menu = WindowParts::ShownMenu()));
    QAction* command = nullptr;
    for (QAction* action : menu->actions())
      if (action->text() == "&Search the chat archive...") command = action;
    QVERIFY(command);
    command->trigger();
    menu->close();
    QTRY_VERIFY(ShownSearch());
    QCOMPARE(ShownSearch(), first.data());
  }
};

QTEST_MAIN(TestArchiveFromConsole)
#include "tst_ArchiveFromConsole.moc"
