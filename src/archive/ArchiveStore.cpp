#include "ArchiveStore.h"

#include "ArchiveWords.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

QAtomicInteger<quint64> g_nConnections;

// SQLite's primary result codes that say something the operator can act on.
constexpr int kBusy = 5, kLocked = 6, kReadOnly = 8, kIoError = 10, kCorrupt = 11, kFull = 13, kCantOpen = 14,
              kNotADatabase = 26;

QString Sentence(const QSqlError& error) {
  switch (error.nativeErrorCode().toInt() & 0xff) {
    case kCorrupt:
    case kNotADatabase:
      return QStringLiteral("The chat archive is damaged, so chats are not recorded.");
    case kBusy:
    case kLocked:
      return QStringLiteral("The chat archive is in use by another program, so chats are not recorded.");
    case kFull:
    case kIoError:
      return QStringLiteral("The chat archive cannot be written (the disk may be full), so chats are not recorded.");
    case kReadOnly:
    case kCantOpen:
      return QStringLiteral("The chat archive cannot be opened for writing, so chats are not recorded.");
    default:
      return QStringLiteral("The chat archive failed (%1), so chats are not recorded.").arg(error.text());
  }
}

// Qt binds a null text as SQL NULL; the tables hold empty texts instead.
QVariant Text(const QString& text) { return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text); }

qint64 Ms(const QDateTime& at) { return at.isValid() ? at.toMSecsSinceEpoch() : 0; }
QDateTime FromMs(const QVariant& ms) {
  return ms.isNull() ? QDateTime() : QDateTime::fromMSecsSinceEpoch(ms.toLongLong());
}

// The file and the journals SQLite keeps beside it hold the chats: only
// their owner may read them, whatever mode they had before.
bool OwnerOnly(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool ok = ::fchmod(fd, 0600) == 0;
  ::close(fd);
  for (const char* journal : {"-wal", "-shm", "-journal"})
    ::chmod((name + journal).constData(), 0600);  // where one exists
  return ok;
}

const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS chats ("
    " id INTEGER PRIMARY KEY, chat_id TEXT NOT NULL, operator_chat INTEGER NOT NULL,"
    " visitor_name TEXT NOT NULL, visitor_email TEXT NOT NULL, visitor_address TEXT NOT NULL,"
    " page TEXT NOT NULL, site TEXT NOT NULL, operator TEXT NOT NULL,"
    " started INTEGER NOT NULL, ended INTEGER, ended_how TEXT NOT NULL DEFAULT '')",
    "CREATE INDEX IF NOT EXISTS chats_started ON chats(started)",
    "CREATE TABLE IF NOT EXISTS lines ("
    " id INTEGER PRIMARY KEY, chat INTEGER NOT NULL, at INTEGER NOT NULL,"
    " speaker INTEGER NOT NULL, speaker_name TEXT NOT NULL, text TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS lines_chat ON lines(chat)",
    // The indexes keep no copy of the text (it is in the tables) and no
    // word positions: a search needs only which lines hold which words,
    // and the marks are found in the few lines shown.
    "CREATE VIRTUAL TABLE IF NOT EXISTS lines_index USING fts5("
    " text, content='lines', content_rowid='id', detail='none', tokenize='unicode61 remove_diacritics 2')",
    "CREATE VIRTUAL TABLE IF NOT EXISTS chats_index USING fts5("
    " visitor_name, visitor_email, content='chats', content_rowid='id', detail='none',"
    " tokenize='unicode61 remove_diacritics 2')",
    "CREATE TRIGGER IF NOT EXISTS lines_added AFTER INSERT ON lines BEGIN"
    " INSERT INTO lines_index(rowid, text) VALUES (new.id, new.text); END",
    "CREATE TRIGGER IF NOT EXISTS lines_removed AFTER DELETE ON lines BEGIN"
    " INSERT INTO lines_index(lines_index, rowid, text) VALUES ('delete', old.id, old.text); END",
    "CREATE TRIGGER IF NOT EXISTS chats_added AFTER INSERT ON chats BEGIN"
    " INSERT INTO chats_index(rowid, visitor_name, visitor_email)"
    " VALUES (new.id, new.visitor_name, new.visitor_email); END",
    "CREATE TRIGGER IF NOT EXISTS chats_removed AFTER DELETE ON chats BEGIN"
    " INSERT INTO chats_index(chats_index, rowid, visitor_name, visitor_email)"
    " VALUES ('delete', old.id, old.visitor_name, old.visitor_email); END",
    "CREATE TRIGGER IF NOT EXISTS chats_renamed AFTER UPDATE OF visitor_name, visitor_email ON chats BEGIN"
    " INSERT INTO chats_index(chats_index, rowid, visitor_name, visitor_email)"
    " VALUES ('delete', old.id, old.visitor_name, old.visitor_email);"
    " INSERT INTO chats_index(rowid, visitor_name, visitor_email)"
    " VALUES (new.id, new.visitor_name, new.visitor_email); END",
};

const QString kChatColumns = QStringLiteral(
    "id, chat_id, operator_chat, visitor_name, visitor_email, visitor_address, page, site, operator, started, ended, "
    "ended_how");
const QString kLineColumns = QStringLiteral("id, chat, at, speaker, speaker_name, text");

ArchiveChat ReadChat(const QSqlQuery& q) {
  ArchiveChat chat;
  chat.id = q.value(0).toLongLong();
  chat.chatId = q.value(1).toString();
  chat.operatorChat = q.value(2).toInt() != 0;
  chat.visitorName = q.value(3).toString();
  chat.visitorEmail = q.value(4).toString();
  chat.visitorAddress = q.value(5).toString();
  chat.page = q.value(6).toString();
  chat.site = q.value(7).toString();
  chat.operatorName = q.value(8).toString();
  chat.started = FromMs(q.value(9));
  chat.ended = FromMs(q.value(10));
  chat.endedHow = q.value(11).toString();
  return chat;
}

ArchiveLine ReadLine(const QSqlQuery& q) {
  ArchiveLine line;
  line.id = q.value(0).toLongLong();
  line.at = FromMs(q.value(2));
  line.speaker = ArchiveLine::Speaker(std::clamp(q.value(3).toInt(), 0, 2));
  line.speakerName = q.value(4).toString();
  line.text = q.value(5).toString();
  return line;
}

QString Placeholders(qsizetype n) {
  QStringList marks(n, QStringLiteral("?"));
  return marks.join(QLatin1Char(','));
}

// How sure a condition must be that a chat is the visitor's. Listing his
// earlier chats may show one too many; forgetting must not remove someone
// else's: an e-mail address is the visitor's own, while a name ("Guest")
// or an address (an office behind one router) is shared by many, so only
// the two together say who he is.
enum class VisitorMatch { AnyFact, Identity };

// The condition on the chats table that picks the visitor's chats (none
// when no fact is given), and its values.
QString VisitorCondition(const ArchiveVisitor& visitor, VisitorMatch match, const QString& prefix,
                         QVariantList& values) {
  const auto same = [&](const char* column, const QString& value) {
    values << value.trimmed();
    return QStringLiteral("%1%2 = ? COLLATE NOCASE").arg(prefix, QLatin1String(column));
  };
  QStringList any;
  if (!visitor.email.trimmed().isEmpty()) any << same("visitor_email", visitor.email);
  QStringList others;
  if (!visitor.name.trimmed().isEmpty()) others << same("visitor_name", visitor.name);
  if (!visitor.address.trimmed().isEmpty()) others << same("visitor_address", visitor.address);
  if (match == VisitorMatch::AnyFact)
    any += others;
  else if (!others.isEmpty())
    any << QLatin1Char('(') + others.join(QStringLiteral(" AND ")) + QLatin1Char(')');
  if (any.isEmpty()) return QString();
  return QStringLiteral("%1operator_chat = 0 AND (%2)").arg(prefix, any.join(QStringLiteral(" OR ")));
}

}  // namespace

CArchiveStore::CArchiveStore(QString filePath)
    : m_strPath(std::move(filePath)),
      m_strConnection(QStringLiteral("talvero-archive-%1").arg(++g_nConnections)) {}

CArchiveStore::~CArchiveStore() { Close(); }

bool CArchiveStore::IsOpen() const {
  return QSqlDatabase::contains(m_strConnection) && QSqlDatabase::database(m_strConnection, false).isOpen();
}

bool CArchiveStore::Open() {
  m_strFailure.clear();
  if (!QDir().mkpath(QFileInfo(m_strPath).absolutePath()) || !OwnerOnly(m_strPath)) {
    m_strFailure = QStringLiteral("The chat archive cannot be opened for writing, so chats are not recorded.");
    return false;
  }
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_strConnection);
    db.setDatabaseName(m_strPath);
    // A colleague's program holding the file waits this long on the
    // worker, never on the user-interface thread.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=1500"));
    if (!db.open()) {
      m_strFailure = Sentence(db.lastError());
      Close();
      return false;
    }
  }
  // Write-ahead journal: what is committed survives a crash of the
  // program, and searches read while lines are written.
  if (!Exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !Exec(QStringLiteral("PRAGMA synchronous=NORMAL")) ||
      !CreateTables()) {
    Close();
    return false;
  }
  OwnerOnly(m_strPath);  // the journals made just now
  return true;
}

bool CArchiveStore::CreateTables() {
  if (!Begin()) return false;
  for (const char* statement : kSchema)
    if (!Exec(QString::fromLatin1(statement))) return false;
  return Commit();
}

void CArchiveStore::Close() {
  m_pInsertLine.reset();
  if (!QSqlDatabase::contains(m_strConnection)) return;
  QSqlDatabase::database(m_strConnection, false).close();
  QSqlDatabase::removeDatabase(m_strConnection);
}

bool CArchiveStore::DeleteAll() {
  Close();
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
    const QString file = m_strPath + QLatin1String(suffix);
    if (QFile::exists(file) && !QFile::remove(file)) {
      m_strFailure = QStringLiteral("The chat archive could not be deleted (%1).").arg(file);
      return false;
    }
  }
  return Open();
}

bool CArchiveStore::Exec(const QString& sql) {
  QSqlQuery query(QSqlDatabase::database(m_strConnection, false));
  if (query.exec(sql)) return true;
  Fail(query);
  return false;
}

bool CArchiveStore::Run(QSqlQuery& query) {
  if (query.exec()) return true;
  Fail(query);
  return false;
}

void CArchiveStore::Fail(const QSqlQuery& query) {
  if (m_strFailure.isEmpty()) m_strFailure = Sentence(query.lastError());
}

bool CArchiveStore::Begin() { return Exec(QStringLiteral("BEGIN IMMEDIATE")); }

bool CArchiveStore::Commit() {
  if (Exec(QStringLiteral("COMMIT"))) return true;
  Exec(QStringLiteral("ROLLBACK"));
  return false;
}

qint64 CArchiveStore::InsertChat(const ArchiveChat& chat) {
  QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
  q.prepare(QStringLiteral("INSERT INTO chats (chat_id, operator_chat, visitor_name, visitor_email, visitor_address,"
                           " page, site, operator, started, ended, ended_how) VALUES (?,?,?,?,?,?,?,?,?,?,?)"));
  for (const QVariant& value :
       {Text(chat.chatId), QVariant(chat.operatorChat ? 1 : 0), Text(chat.visitorName),
        Text(chat.visitorEmail), Text(chat.visitorAddress), Text(chat.page), Text(chat.site),
        Text(chat.operatorName), QVariant(Ms(chat.started)),
        chat.ended.isValid() ? QVariant(Ms(chat.ended)) : QVariant(QMetaType::fromType<qint64>()),
        Text(chat.endedHow)})
    q.addBindValue(value);
  return Run(q) ? q.lastInsertId().toLongLong() : 0;
}

bool CArchiveStore::UpdateChat(qint64 chat, const ArchiveChat& facts) {
  QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
  q.prepare(QStringLiteral("UPDATE chats SET visitor_name = ?, visitor_email = ?, visitor_address = ?, page = ?"
                           " WHERE id = ?"));
  for (const QVariant& value : {Text(facts.visitorName), Text(facts.visitorEmail),
                                Text(facts.visitorAddress), Text(facts.page), QVariant(chat)})
    q.addBindValue(value);
  return Run(q);
}

bool CArchiveStore::InsertLine(qint64 chat, const ArchiveLine& line) {
  if (!m_pInsertLine) {
    m_pInsertLine = std::make_unique<QSqlQuery>(QSqlDatabase::database(m_strConnection, false));
    m_pInsertLine->prepare(
        QStringLiteral("INSERT INTO lines (chat, at, speaker, speaker_name, text) VALUES (?,?,?,?,?)"));
  }
  QSqlQuery& q = *m_pInsertLine;
  q.bindValue(0, chat);
  q.bindValue(1, Ms(line.at));
  q.bindValue(2, int(line.speaker));
  q.bindValue(3, Text(line.speakerName));
  q.bindValue(4, Text(line.text));
  return Run(q);
}

bool CArchiveStore::EndChat(qint64 chat, const QDateTime& at, const QString& how) {
  QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
  q.prepare(QStringLiteral("UPDATE chats SET ended = ?, ended_how = ? WHERE id = ?"));
  q.addBindValue(Ms(at));
  q.addBindValue(Text(how));
  q.addBindValue(chat);
  return Run(q);
}

qint64 CArchiveStore::FindChat(const ArchiveChat& chat, const QDateTime& since) {
  if (chat.chatId.isEmpty()) return 0;
  QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
  q.prepare(QStringLiteral("SELECT id FROM chats WHERE chat_id = ? AND site = ? AND operator_chat = ? AND started >= ?"
                           " ORDER BY id DESC LIMIT 1"));
  for (const QVariant& value : {Text(chat.chatId), Text(chat.site), QVariant(chat.operatorChat ? 1 : 0),
                                QVariant(Ms(since))})
    q.addBindValue(value);
  return Run(q) && q.next() ? q.value(0).toLongLong() : 0;
}

QStringList CArchiveStore::LineTexts(qint64 chat) {
  QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
  q.prepare(QStringLiteral("SELECT text FROM lines WHERE chat = ? ORDER BY id"));
  q.addBindValue(chat);
  QStringList texts;
  if (Run(q))
    while (q.next()) texts << q.value(0).toString();
  return texts;
}

bool CArchiveStore::ReopenChat(qint64 chat) {
  QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
  q.prepare(QStringLiteral("UPDATE chats SET ended = NULL, ended_how = '' WHERE id = ?"));
  q.addBindValue(chat);
  return Run(q);
}

QList<ArchiveHit> CArchiveStore::Search(const ArchiveQuery& query) {
  if (!IsOpen()) return {};
  const CArchiveWords words(query.words);
  const CArchiveWords visitor(query.visitor);
  QStringList where;
  QVariantList values;
  if (query.from.isValid()) {
    where << QStringLiteral("c.started >= ?");
    values << Ms(query.from.startOfDay());
  }
  if (query.to.isValid()) {
    where << QStringLiteral("c.started < ?");
    values << Ms(query.to.addDays(1).startOfDay());
  }
  if (query.operatorChatsOnly) where << QStringLiteral("c.operator_chat = 1");
  if (!visitor.IsEmpty()) {
    // Every word of the filter is a prefix: "jo sm" finds John Smith.
    where << QStringLiteral("c.id IN (SELECT rowid FROM chats_index WHERE chats_index MATCH ?)");
    values << visitor.MatchExpression(CArchiveWords::EveryWordAPrefix);
  }
  {
    QVariantList sameValues;
    const QString same = VisitorCondition(query.sameVisitor, VisitorMatch::AnyFact, QStringLiteral("c."), sameValues);
    if (!same.isEmpty()) {
      where << same;
      values << sameValues;
    }
  }
  QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
  q.setForwardOnly(true);
  QList<qint64> chatOrder;
  QHash<qint64, QList<qint64>> linesOf;
  if (words.IsEmpty()) {
    q.prepare(QStringLiteral("SELECT c.id FROM chats c") +
              (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "))) +
              QStringLiteral(" ORDER BY c.started DESC, c.id DESC LIMIT ?"));
    for (const QVariant& value : values) q.addBindValue(value);
    q.addBindValue(query.maxChats);
    if (!Run(q)) return {};
    while (q.next()) chatOrder << q.value(0).toLongLong();
  } else {
    // Newest lines first straight from the index, so a common word costs
    // no more than a rare one: reading stops once enough chats are found.
    where.prepend(QStringLiteral("lines_index MATCH ?"));
    values.prepend(words.MatchExpression());
    q.prepare(QStringLiteral("SELECT l.id, l.chat FROM lines_index JOIN lines l ON l.id = lines_index.rowid"
                             " JOIN chats c ON c.id = l.chat WHERE ") +
              where.join(QStringLiteral(" AND ")) + QStringLiteral(" ORDER BY lines_index.rowid DESC"));
    for (const QVariant& value : values) q.addBindValue(value);
    if (!Run(q)) return {};
    while (q.next()) {
      const qint64 chat = q.value(1).toLongLong();
      auto found = linesOf.find(chat);
      if (found == linesOf.end()) {
        if (chatOrder.size() == query.maxChats) break;
        chatOrder << chat;
        found = linesOf.insert(chat, {});
      }
      if (found->size() < query.maxLinesPerChat) found->append(q.value(0).toLongLong());
    }
  }
  q.finish();

  QList<qint64> lineIds;
  for (const QList<qint64>& ids : std::as_const(linesOf)) lineIds += ids;
  QHash<qint64, ArchiveLine> lines;
  for (ArchiveLine& line : LinesById(lineIds)) {
    line.marks = words.Marks(line.text);
    lines.insert(line.id, line);
  }
  QList<ArchiveHit> hits;
  for (const ArchiveChat& chat : ChatsById(chatOrder)) {
    ArchiveHit hit{chat, {}};
    QList<qint64> ids = linesOf.value(chat.id);
    std::sort(ids.begin(), ids.end());
    for (qint64 id : ids) hit.lines << lines.value(id);
    hits << hit;
  }
  std::stable_sort(hits.begin(), hits.end(), [](const ArchiveHit& a, const ArchiveHit& b) {
    return a.chat.started > b.chat.started;
  });
  return hits;
}

QList<ArchiveChat> CArchiveStore::ChatsById(const QList<qint64>& ids) {
  QList<ArchiveChat> chats;
  if (ids.isEmpty()) return chats;
  QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
  q.setForwardOnly(true);
  q.prepare(QStringLiteral("SELECT %1 FROM chats WHERE id IN (%2)").arg(kChatColumns, Placeholders(ids.size())));
  for (qint64 id : ids) q.addBindValue(id);
  if (!Run(q)) return chats;
  while (q.next()) chats << ReadChat(q);
  return chats;
}

QList<ArchiveLine> CArchiveStore::LinesById(const QList<qint64>& ids) {
  QList<ArchiveLine> lines;
  if (ids.isEmpty()) return lines;
  QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
  q.setForwardOnly(true);
  q.prepare(QStringLiteral("SELECT %1 FROM lines WHERE id IN (%2)").arg(kLineColumns, Placeholders(ids.size())));
  for (qint64 id : ids) q.addBindValue(id);
  if (!Run(q)) return lines;
  while (q.next()) lines << ReadLine(q);
  return lines;
}

QList<ArchiveLine> CArchiveStore::Transcript(qint64 chat) {
  QList<ArchiveLine> lines;
  if (!IsOpen()) return lines;
  QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
  q.setForwardOnly(true);
  q.prepare(QStringLiteral("SELECT %1 FROM lines WHERE chat = ? ORDER BY id").arg(kLineColumns));
  q.addBindValue(chat);
  if (!Run(q)) return lines;
  while (q.next()) lines << ReadLine(q);
  return lines;
}

int CArchiveStore::RemoveChats(const QString& where, const QVariantList& values) {
  QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
  q.prepare(QStringLiteral("SELECT id FROM chats WHERE ") + where);
  for (const QVariant& value : values) q.addBindValue(value);
  if (!Run(q)) return -1;
  QList<qint64> ids;
  while (q.next()) ids << q.value(0).toLongLong();
  q.finish();
  // Lines first, each through the trigger that takes its words out of the index.
  for (qsizetype i = 0; i < ids.size(); i += 500) {
    const QList<qint64> part = ids.mid(i, 500);
    for (const QString& table : {QStringLiteral("lines WHERE chat"), QStringLiteral("chats WHERE id")}) {
      QSqlQuery remove(QSqlDatabase::database(m_strConnection, false));
      remove.prepare(QStringLiteral("DELETE FROM %1 IN (%2)").arg(table, Placeholders(part.size())));
      for (qint64 id : part) remove.addBindValue(id);
      if (!Run(remove)) return -1;
    }
  }
  return int(ids.size());
}

int CArchiveStore::RemoveOlderThan(const QDateTime& cutoff) {
  return RemoveChats(QStringLiteral("started < ?"), {Ms(cutoff)});
}

int CArchiveStore::Forget(const ArchiveVisitor& visitor) {
  QVariantList values;
  const QString condition = VisitorCondition(visitor, VisitorMatch::Identity, QString(), values);
  if (condition.isEmpty()) return 0;
  return RemoveChats(condition, values);
}
