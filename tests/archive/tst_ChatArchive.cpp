// The archive over a real SQLite file in a temporary folder: what a search
// finds and in which order, the marks it puts on the words, chats that go
// (by age, forgotten, deleted) leaving nothing in the indexes, and a file
// that is damaged, held or cannot grow.
#include "ChatArchive.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using Marks = QList<ArchiveMark>;

struct SeedChat {
  const char* visitor;
  const char* email;
  bool operatorChat;
  int daysAgo;
  QStringList lines;
};

// Oldest first; each search below names the chats it expects by visitor.
const SeedChat kSeed[] = {
    {"Zoe Adams", "zoe@example.com", false, 120, {"Zoe Adams: I want a refund", "anna: the refund is on its way"}},
    {"Yuri", "yuri@example.org", false, 30, {"Yuri: is the bag in stock?", "anna: the bag is", "Yuri: stock levels?"}},
    {"ben", "", true, 20, {"ben: lunch at the café?", "anna: CAFE sounds good"}},
    {"Zoe Adams", "zoe@example.com", false, 2, {"Zoe Adams: where is my refund?", "anna: refunded today"}},
};

QStringList Visitors(const QList<ArchiveHit>& hits) {
  QStringList names;
  for (const ArchiveHit& hit : hits) names << hit.chat.visitorName;
  return names;
}

// The searched lines of every hit, with the marked words in brackets.
QStringList Marked(const QList<ArchiveHit>& hits) {
  QStringList shown;
  for (const ArchiveHit& hit : hits)
    for (const ArchiveLine& line : hit.lines) {
      QString text = line.text;
      for (auto mark = line.marks.crbegin(); mark != line.marks.crend(); ++mark)
        text.insert(mark->start + mark->length, u']').insert(mark->start, u'[');
      shown << text;
    }
  return shown;
}

}  // namespace

class TestChatArchive : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> m_pDir;
  std::unique_ptr<CChatArchive> m_pArchive;

  QString FilePath() const { return m_pDir->filePath("talvero/archive.sqlite"); }

  // `round` tells the chats of a second seeding from the first ones.
  void Seed(int retentionDays = 0, const QString& round = QString()) {
    m_pArchive->SetRetentionDays(retentionDays);
    for (const SeedChat& seed : kSeed) {
      ArchiveChat chat;
      chat.chatId = QString("%1-%2%3").arg(seed.visitor).arg(seed.daysAgo).arg(round);
      chat.visitorName = seed.visitor;
      chat.visitorEmail = seed.email;
      chat.operatorChat = seed.operatorChat;
      chat.operatorName = "anna";
      chat.started = QDateTime::currentDateTime().addDays(-seed.daysAgo);
      const auto handle = m_pArchive->BeginChat(chat);
      QList<ArchiveLine> lines;
      for (const QString& text : seed.lines) {
        ArchiveLine line;
        line.text = text;
        line.at = chat.started;
        line.speaker = text.startsWith("anna:") ? ArchiveLine::Speaker::Own : ArchiveLine::Speaker::Other;
        lines << line;
      }
      m_pArchive->AddLines(handle, lines);
      m_pArchive->EndChat(handle, chat.started.addSecs(60), "closed here");
    }
  }

  QList<ArchiveHit> Find(const ArchiveQuery& query) {
    QList<ArchiveHit> hits;
    bool answered = false;
    m_pArchive->Search(query, this, [&](const QList<ArchiveHit>& found) {
      hits = found;
      answered = true;
    });
    [&] { QTRY_VERIFY(answered); }();
    return hits;
  }
  QList<ArchiveHit> Find(const QString& words) {
    ArchiveQuery query;
    query.words = words;
    return Find(query);
  }

  // No row of an index that its table no longer holds, nor one it lacks:
  // the index's own check against its table, on a connection of the test's.
  bool IndexesInStep() {
    m_pArchive->WaitUntilWritten();
    bool ok = false;
    {
      QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
      db.setDatabaseName(FilePath());
      ok = db.open() && QSqlQuery(db).exec("INSERT INTO lines_index(lines_index, rank) VALUES ('integrity-check', 1)") &&
           QSqlQuery(db).exec("INSERT INTO chats_index(chats_index, rank) VALUES ('integrity-check', 1)");
    }
    QSqlDatabase::removeDatabase("check");
    return ok;
  }

 private slots:
  void init() {
    m_pDir = std::make_unique<QTemporaryDir>();
    m_pArchive = std::make_unique<CChatArchive>(FilePath());
  }
  void cleanup() {
    m_pArchive.reset();
    m_pDir.reset();
  }

  void search_data() {
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("visitor");
    QTest::addColumn<bool>("operatorOnly");
    QTest::addColumn<int>("sinceDaysAgo");
    QTest::addColumn<QStringList>("chats");
    QTest::addColumn<QStringList>("marked");
    const QStringList zoeTwice{"Zoe Adams", "Zoe Adams"};
    QTest::newRow("one word, newest chat first")
        << "refund " << "" << false << 0 << zoeTwice
        << QStringList{"Zoe Adams: where is my [refund]?", "Zoe Adams: I want a [refund]",
                       "anna: the [refund] is on its way"};
    QTest::newRow("the word being typed is a prefix")
        << "refu" << "" << false << 0 << zoeTwice
        << QStringList{"Zoe Adams: where is my [refund]?", "anna: [refunded] today", "Zoe Adams: I want a [refund]",
                       "anna: the [refund] is on its way"};
    QTest::newRow("a blank ends the word") << "refu " << "" << false << 0 << QStringList() << QStringList();
    QTest::newRow("two words, both in the line")
        << "stock bag" << "" << false << 0 << QStringList{"Yuri"}
        << QStringList{"Yuri: is the [bag] in [stock]?"};
    QTest::newRow("three words") << "is the bag" << "" << false << 0 << QStringList{"Yuri"}
                                 << QStringList{"Yuri: [is] [the] [bag] in stock?", "anna: [the] [bag] [is]"};
    QTest::newRow("case and accents fold")
        << "Cafe" << "" << false << 0 << QStringList{"ben"}
        << QStringList{"ben: lunch at the [café]?", "anna: [CAFE] sounds good"};
    QTest::newRow("visitor filter by name prefix")
        << "the" << "zo ad" << false << 0 << QStringList{"Zoe Adams"}
        << QStringList{"anna: [the] refund is on its way"};
    QTest::newRow("visitor filter by e-mail")
        << "" << "yuri@example.org" << false << 0 << QStringList{"Yuri"} << QStringList();
    QTest::newRow("operator chats only") << "the" << "" << true << 0 << QStringList{"ben"}
                                         << QStringList{"ben: lunch at [the] café?"};
    QTest::newRow("from a date on") << "refund " << "" << false << 7 << QStringList{"Zoe Adams"}
                                    << QStringList{"Zoe Adams: where is my [refund]?"};
    QTest::newRow("no words: the chats, newest first")
        << "" << "" << false << 60 << QStringList{"Zoe Adams", "ben", "Yuri"} << QStringList();
    QTest::newRow("query syntax is only text")
        << "\"bag\" OR NEAR(stock* -" << "" << false << 0 << QStringList() << QStringList();
    QTest::newRow("punctuation alone is no words")
        << "?!" << "" << false << 0 << QStringList{"Zoe Adams", "ben", "Yuri", "Zoe Adams"} << QStringList();
  }
  void search() {
    QFETCH(QString, words);
    QFETCH(QString, visitor);
    QFETCH(bool, operatorOnly);
    QFETCH(int, sinceDaysAgo);
    QFETCH(QStringList, chats);
    QFETCH(QStringList, marked);
    Seed();
    ArchiveQuery query;
    query.words = words;
    query.visitor = visitor;
    query.operatorChatsOnly = operatorOnly;
    if (sinceDaysAgo) query.from = QDate::currentDate().addDays(-sinceDaysAgo);
    const QList<ArchiveHit> hits = Find(query);
    QCOMPARE(Visitors(hits), chats);
    QCOMPARE(Marked(hits), marked);
    QVERIFY(!m_pArchive->HasFailed());
  }

  // The file holds chats: its owner's alone, also when it was readable before.
  void fileIsOwnersOnly() {
    m_pArchive.reset();
    QDir().mkpath(m_pDir->filePath("talvero"));
    QFile old(FilePath());
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.close();
    ::chmod(QFile::encodeName(FilePath()).constData(), 0644);
    m_pArchive = std::make_unique<CChatArchive>(FilePath());
    Seed();
    m_pArchive->WaitUntilWritten();
    for (const QString& file : {FilePath(), FilePath() + "-wal"}) {
      struct stat info {};
      QCOMPARE(::stat(QFile::encodeName(file).constData(), &info), 0);
      QCOMPARE(info.st_mode & 0777, 0600u);
    }
  }

  // Chats past the retention period, a forgotten visitor's and a deleted
  // archive's go from the tables and the indexes alike.
  void chatsThatGo_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("older than 90 days") << "retention" << QStringList{"Zoe Adams", "ben", "Yuri"};
    QTest::newRow("forget by e-mail") << "forget" << QStringList{"ben", "Yuri"};
    QTest::newRow("delete the archive") << "delete" << QStringList();
    QTest::newRow("reopened keeping a year") << "reopen" << QStringList{"Zoe Adams", "ben", "Yuri", "Zoe Adams"};
    // A name is shared by many: with another address it is someone else.
    QTest::newRow("forget a namesake") << "namesake" << QStringList{"Zoe Adams", "ben", "Yuri", "Zoe Adams"};
  }
  void chatsThatGo() {
    QFETCH(QString, how);
    QFETCH(QStringList, left);
    Seed();
    if (how == "reopen") {
      m_pArchive.reset();
      m_pArchive = std::make_unique<CChatArchive>(FilePath(), 365);
    }
    QSignalSpy removed(m_pArchive.get(), &CChatArchive::ChatsRemoved);
    if (how == "retention") m_pArchive->SetRetentionDays(CChatArchive::kDefaultRetentionDays);
    if (how == "forget") m_pArchive->ForgetVisitor({"", "ZOE@example.com", ""});
    if (how == "namesake") m_pArchive->ForgetVisitor({"zoe adams", "", "10.0.0.9"});
    if (how == "delete") m_pArchive->DeleteAll();
    m_pArchive->WaitUntilWritten();
    QTRY_COMPARE(removed.size(), left.size() == 4 ? 0 : 1);
    ArchiveQuery all;
    QCOMPARE(Visitors(Find(all)), left);
    QCOMPARE(Find("refund").isEmpty(), how == "forget" || how == "delete");
    QVERIFY(IndexesInStep());
    all.visitor = "zoe";
    QCOMPARE(Find(all).size(), left.count("Zoe Adams"));
    // Recording goes on afterwards.
    Seed(0, "again");
    QCOMPARE(Find(ArchiveQuery()).size(), left.size() + 4);
  }

  // A chat opened again (a new login, a restart) gets all its lines from
  // the service again: they go on the chat already kept, not into a copy.
  // The same chat id with other lines, or long ago, is another chat.
  void chatOpenedAgain_data() {
    QTest::addColumn<int>("hoursBefore");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("kept");
    const QStringList first{"Ann: hi", "anna: hello", "Notice: Ann is typing again"};
    const QStringList again{"Ann: hi", "anna: hello", "Ann: still there?"};
    QTest::newRow("sent again") << 1 << first << again << QStringList{first + QStringList{"Ann: still there?"}};
    QTest::newRow("other lines, same id") << 1 << first << QStringList{"Bob: hey"}
                                          << QStringList{first + QStringList{"Bob: hey"}};
    QTest::newRow("same lines two days later") << 48 << first << again << QStringList{first + again};
  }
  void chatOpenedAgain() {
    QFETCH(int, hoursBefore);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QStringList, kept);
    const auto record = [this](const QDateTime& started, const QStringList& texts, bool end) {
      ArchiveChat chat;
      chat.chatId = "42";
      chat.site = "1001";
      chat.visitorName = "Ann";
      chat.started = started;
      const auto handle = m_pArchive->BeginChat(chat);
      for (const QString& text : texts) {
        ArchiveLine line;
        line.text = text;
        line.at = started;
        m_pArchive->AddLines(handle, {line});
      }
      if (end) m_pArchive->EndChat(handle, started.addSecs(60), "closed here");
    };
    const QDateTime now = QDateTime::currentDateTime();
    record(now.addSecs(-3600 * hoursBefore), before, true);
    record(now, after, false);
    QStringList lines;
    const QList<ArchiveHit> chats = Find(ArchiveQuery());
    for (const ArchiveHit& hit : chats) {
      bool answered = false;
      m_pArchive->Transcript(hit.chat.id, this, [&](const QList<ArchiveLine>& transcript) {
        QStringList texts;
        for (const ArchiveLine& line : transcript) texts << line.text;
        lines = texts + lines;  // the older chat's lines first
        answered = true;
      });
      QTRY_VERIFY(answered);
    }
    QCOMPARE(lines, kept);
    QCOMPARE(chats.size(), kept.size() == before.size() + after.size() ? 2 : 1);
    // The chat goes on: it no longer reads as ended.
    QCOMPARE(chats.first().chat.ended.isValid(), false);
  }

  // A file that cannot be used is said once, in a sentence; recording
  // then stops without a wait and without another word.
  void unusableFile_data() {
    QTest::addColumn<QString>("trouble");
    QTest::addColumn<QString>("said");
    QTest::newRow("damaged") << "damaged" << "damaged";
    QTest::newRow("held by another program") << "locked" << "in use by another program";
    QTest::newRow("disk full") << "full" << "cannot be written";
  }
  void unusableFile() {
    QFETCH(QString, trouble);
    QFETCH(QString, said);
    Seed();
    m_pArchive->WaitUntilWritten();
    QSqlDatabase other;
    rlimit limit{};
    if (trouble == "damaged") {
      m_pArchive.reset();
      QFile file(FilePath());
      QVERIFY(file.open(QIODevice::ReadWrite));
      file.write(QByteArray(8192, '\x5a'));
      file.close();
      QFile::remove(FilePath() + "-wal");
      m_pArchive = std::make_unique<CChatArchive>(FilePath());
    } else if (trouble == "locked") {
      other = QSqlDatabase::addDatabase("QSQLITE", "other");
      other.setDatabaseName(FilePath());
      QVERIFY(other.open() && QSqlQuery(other).exec("BEGIN IMMEDIATE"));
    } else {
      // The file may not grow past its size now.
      ::signal(SIGXFSZ, SIG_IGN);
      QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
      rlimit tight = limit;
      tight.rlim_cur = QFileInfo(FilePath()).size() + QFileInfo(FilePath() + "-wal").size();
      QCOMPARE(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    }
    QSignalSpy failed(m_pArchive.get(), &CChatArchive::Failed);
    for (int i = 0; i < 40 && !m_pArchive->HasFailed(); ++i) {
      Seed();
      m_pArchive->WaitUntilWritten();
    }
    if (trouble == "full") QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    QTRY_COMPARE(failed.size(), 1);
    QVERIFY2(failed[0][0].toString().contains(said), qPrintable(failed[0][0].toString()));
    Seed();
    m_pArchive->WaitUntilWritten();
    QCoreApplication::processEvents();
    QCOMPARE(failed.size(), 1);
    if (other.isOpen()) {
      QSqlQuery(other).exec("ROLLBACK");
      other.close();
      other = QSqlDatabase();
      QSqlDatabase::removeDatabase("other");
    }
    // Deleting the archive starts a sound one.
    QSignalSpy removed(m_pArchive.get(), &CChatArchive::ChatsRemoved);
    m_pArchive->DeleteAll();
    QTRY_COMPARE(removed.size(), 1);
    QVERIFY(!m_pArchive->HasFailed());
    Seed();
    QCOMPARE(Find("refund").size(), 2);
  }
};

QTEST_MAIN(TestChatArchive)
#include "tst_ChatArchive.moc"
