// "Earlier chats here" in a chat window taken from the console against the
// stand-in service: the visitor's archived chats, without the chat open
// now (which is being recorded too) and without other visitors'.
#include "ArchiveTranscriptDlg.h"
#include "ChatArchive.h"
#include "ChatWindows.h"
#include "ConsoleController.h"
#include "MainDlg.h"
#include "SessionFixture.h"
#include "VisitorActions.h"
#include "WindowParts.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class TestEarlierChats : public QObject {
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

  int ChatsOf(CChatArchive& archive, const QString& name) {
    ArchiveQuery query;
    query.sameVisitor.name = name;
    int found = -1;
    archive.Search(query, this, [&found](const QList<ArchiveHit>& hits) { found = int(hits.size()); });
    [&] { QTRY_VERIFY(found >= 0); }();
    return found;
  }

 private slots:
  void listsThisVisitorsOtherChats() {
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
  }
};

QTEST_MAIN(TestEarlierChats)
#include "tst_EarlierChats.moc"
