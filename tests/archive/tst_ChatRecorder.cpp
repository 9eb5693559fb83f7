// The recorder between the chats of a console and the archive, against
// talvero-service: both kinds of chat are written as they were shown,
// nothing is written while recording is off, and an archive that cannot
// be used leaves the chat going as before.
#include "AcceptReply.h"
#include "ChatList.h"
#include "ChatManager.h"
#include "ChatRecorder.h"
#include "OperatorChatReply.h"
#include "OperatorChatSession.h"
#include "SessionFixture.h"
#include "VisitorChatSession.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

ArchiveLine::Speaker Archived(TranscriptLine::Speaker speaker) {
  switch (speaker) {
    case TranscriptLine::Speaker::Own:
      return ArchiveLine::Speaker::Own;
    case TranscriptLine::Speaker::Other:
      return ArchiveLine::Speaker::Other;
    case TranscriptLine::Speaker::Notice:
      break;
  }
  return ArchiveLine::Speaker::Notice;
}

}  // namespace

class TestChatRecorder : public QObject {
  Q_OBJECT

  std::unique_ptr<CSessionFixture> m_pAnna, m_pBen;
  CServiceFixture* m_pService = nullptr;

  CChatManager& Anna() { return m_pAnna->Engine(); }
  QString Control(const QString& command, const QMap<QString, QString>& query) {
    return m_pService->Control(command, query);
  }

  // A visitor's chat that Anna took, not yet started.
  CChatSession* VisitorChat(const QString& name) {
    const QString visitor = Control("visitor/add", {{"name", name}, {"email", name.toLower() + "@example.com"}});
    Control("visitor/chat", {{"csesid", visitor}});
    QString reply;
    Anna().RequestSync(Anna().Catalogue().Accept(visitor, QString()), reply);
    const AcceptReply accepted = AcceptReply::Parse(reply);
    if (!accepted.accepted) return nullptr;
    return new CVisitorChatSession(Anna(), nullptr, "10.0.0.7", accepted.chatId, accepted.visitorName,
                                   accepted.visitorEmail, true);
  }
  // Anna invites Ben and he accepts: Anna's side, not yet started, and Ben's, polling.
  std::pair<CChatSession*, std::unique_ptr<CChatSession>> OperatorChat() {
    QString reply;
    Anna().RequestSync(Anna().Catalogue().InviteOperator("ben"), reply);
    const OperatorChatReply invited = OperatorChatReply::Parse(reply);
    CChatManager& ben = m_pBen->Engine();
    ben.RequestSync(ben.Catalogue().AcceptOperatorChat(invited.chatId), reply);
    auto bens = std::make_unique<COperatorChatSession>(ben, "anna", invited.chatId);
    return {new COperatorChatSession(Anna(), "ben", invited.chatId), std::move(bens)};
  }

 private slots:
  void init() {
    m_pAnna = std::make_unique<CSessionFixture>();
    CServiceConfig config = CServiceConfig::Demo();
    config.sites[0].chatPeriod = 1;
    m_pService = &m_pAnna->UseService(config);
    QVERIFY(m_pService->Login("anna", "anna").startsWith("true"));
    m_pAnna->LogIn();
    m_pBen = std::make_unique<CSessionFixture>();
    m_pBen->Engine().SetDefaultHost(m_pService->Host());
    QVERIFY(m_pService->Login("ben", "ben").startsWith("true"));
    m_pBen->LogIn({"ben"});
    for (CChatManager* engine : {&Anna(), &m_pBen->Engine()})
      engine->Session().chatPeriodMs = engine->Session().operChatPeriodMs = 200;
  }
  void cleanup() {
    m_pBen.reset();
    m_pAnna.reset();
  }

  void recordsWhatIsShown_data() {
    QTest::addColumn<bool>("operatorChat");
    QTest::addColumn<QString>("archive");  // "on", "off", or "damaged"
    for (bool operatorChat : {false, true})
      for (const char* archive : {"on", "off", "damaged"})
        QTest::addRow("%s chat, archive %s", operatorChat ? "operator" : "visitor", archive) << operatorChat
                                                                                             << QString(archive);
  }
  void recordsWhatIsShown() {
    QFETCH(bool, operatorChat);
    QFETCH(QString, archive);
    QTemporaryDir folder;
    const QString file = folder.filePath("talvero/archive.sqlite");
    if (archive == "damaged") {
      QDir().mkpath(folder.filePath("talvero"));
      QFile garbage(file);
      QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, '\x17')) == 4096);
    }
    CChatArchive store(file);
    QSignalSpy failed(&store, &CChatArchive::Failed);
    CChatList chats;
    CChatRecorder recorder(chats, store, archive != "off");

    // A few lines each way, then the chat ends.
    CChatSession* chat = nullptr;
    std::unique_ptr<CChatSession> bens;
    QString otherLine;
    if (operatorChat) {
      std::tie(chat, bens) = OperatorChat();
      otherLine = "ben: yes, at noon";
    } else {
      chat = VisitorChat("Zoe");
      otherLine = "Zoe: is the bag in stock?";
    }
    QVERIFY(chat);
    chats.Add(chat, nullptr);
    chat->Start();
    QVERIFY(chat->Send("lunch or stock?"));
    if (operatorChat) {
      bens->Start();
      QTRY_VERIFY(!bens->Lines().isEmpty());
      QVERIFY(bens->Send("yes, at noon"));
    } else {
      Control("visitor/say", {{"csesid", chat->Id()}, {"text", "is the bag in stock?"}});
    }
    const auto shown = [&](const QString& text) {
      for (const TranscriptLine& line : chat->Lines())
        if (line.text == text) return true;
      return false;
    };
    QTRY_VERIFY(shown(otherLine) && shown("anna: lunch or stock?"));
    QSignalSpy ended(chat, &CChatSession::Ended);
    chat->End();
    QTRY_COMPARE(ended.size(), 1);
    const QList<TranscriptLine> lines = chat->Lines();
    store.WaitUntilWritten();

    // The archive holds the chat as it was shown, or nothing at all.
    QList<ArchiveHit> found;
    bool answered = false;
    store.Search(ArchiveQuery(), this, [&](const QList<ArchiveHit>& hits) {
      found = hits;
      answered = true;
    });
    QTRY_VERIFY(answered);
    QCOMPARE(failed.size(), archive == "damaged" ? 1 : 0);
    if (archive != "on") {
      QVERIFY(found.isEmpty());
      return;
    }
    QCOMPARE(found.size(), 1);
    const ArchiveChat& facts = found[0].chat;
    QCOMPARE(facts.chatId, chat->Id());
    QCOMPARE(facts.operatorChat, operatorChat);
    QCOMPARE(facts.visitorName, operatorChat ? QString("ben") : QString("Zoe"));
    QCOMPARE(facts.visitorAddress, operatorChat ? QString() : QString("10.0.0.7"));
    QCOMPARE(facts.operatorName, QString("anna"));
    QCOMPARE(facts.site, QString("1001"));
    QVERIFY(facts.ended.isValid() && facts.endedHow == "closed here");
    QList<ArchiveLine> recorded;
    answered = false;
    store.Transcript(facts.id, this, [&](const QList<ArchiveLine>& transcript) {
      recorded = transcript;
      answered = true;
    });
    QTRY_VERIFY(answered);
    QCOMPARE(recorded.size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
      QCOMPARE(recorded[i].text, lines[i].text);
      QCOMPARE(recorded[i].speaker, Archived(lines[i].speaker));
      QCOMPARE(recorded[i].at, lines[i].at);
    }
    const auto own = std::find_if(recorded.cbegin(), recorded.cend(),
                                  [](const ArchiveLine& line) { return line.text == "anna: lunch or stock?"; });
    QVERIFY(own != recorded.cend() && own->IsOwn() && own->speakerName == "anna");
  }
};

QTEST_MAIN(TestChatRecorder)
#include "tst_ChatRecorder.moc"
