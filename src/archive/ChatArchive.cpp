#include "ChatArchive.h"

#include "ArchiveStore.h"

#include <QDir>
#include <QPointer>

namespace {

// Small batches: a crash loses at most what was queued after the last
// commit, and a search waits at most for one batch.
constexpr size_t kBatchSize = 256;
constexpr int kDayMs = 24 * 60 * 60 * 1000;
// How far back a chat with the same id counts as the same chat: the
// service's chat ids are not unique for ever (a test service starts again
// from 1), and no chat lasts a day.
constexpr qint64 kContinuedWithinSecs = 24 * 60 * 60;

}  // namespace

CChatArchive::CChatArchive(const QString& filePath, int retentionDays, QObject* parent)
    : QObject(parent), m_strPath(filePath), m_nRetentionDays(std::max(0, retentionDays)) {
  m_dailyPrune.setInterval(kDayMs);
  connect(&m_dailyPrune, &QTimer::timeout, this, &CChatArchive::PruneNow);
  m_worker = std::thread([this] { Work(); });
  PruneNow();
  m_dailyPrune.start();
}

CChatArchive::~CChatArchive() {
  {
    std::lock_guard lock(m_mutex);
    m_bStop = true;
  }
  m_wake.notify_all();
  m_worker.join();
}

QString CChatArchive::DefaultFilePath() {
  QString base = qEnvironmentVariable("XDG_DATA_HOME");
  // XDG base directories must be absolute; a relative one is ignored.
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.local/share");
  return base + QStringLiteral("/talvero/archive.sqlite");
}

void CChatArchive::Enqueue(Task task) {
  if (task.kind == Task::Kind::Write && m_bFailed) return;
  {
    std::lock_guard lock(m_mutex);
    m_queue.push_back(std::move(task));
  }
  m_wake.notify_one();
}

void CChatArchive::Post(std::function<void()> call) {
  QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

CChatArchive::ChatHandle CChatArchive::BeginChat(const ArchiveChat& chat) {
  const ChatHandle handle = ++m_nLastHandle;
  Enqueue({Task::Kind::Write, [this, handle, chat](CArchiveStore& store) {
             const QDateTime started = chat.started.isValid() ? chat.started : QDateTime::currentDateTime();
             if (const qint64 earlier = store.FindChat(chat, started.addSecs(-kContinuedWithinSecs))) {
               m_mayContinue[handle] = {chat, earlier, store.LineTexts(earlier)};
               return;
             }
             if (const qint64 row = store.InsertChat(chat)) m_chatRows[handle] = row;
           }});
  return handle;
}

qint64 CChatArchive::Row(CArchiveStore& store, ChatHandle chat, const QList<ArchiveLine>& lines) {
  const auto maybe = m_mayContinue.find(chat);
  if (maybe == m_mayContinue.end()) {
    const auto row = m_chatRows.find(chat);
    return row == m_chatRows.end() ? 0 : row->second;
  }
  Continued continued = std::move(maybe->second);
  m_mayContinue.erase(maybe);
  qint64 row = 0;
  if (continued.stored.contains(lines.front().text)) {
    row = continued.earlier;
    store.ReopenChat(row);
    m_sentAgain[chat] = std::move(continued.stored);
  } else {
    row = store.InsertChat(continued.facts);
  }
  if (row) m_chatRows[chat] = row;
  return row;
}

void CChatArchive::UpdateChat(ChatHandle chat, const ArchiveChat& facts) {
  Enqueue({Task::Kind::Write, [this, chat, facts](CArchiveStore& store) {
             const auto maybe = m_mayContinue.find(chat);
             if (maybe != m_mayContinue.end()) {
               ArchiveChat& known = maybe->second.facts;
               known.visitorName = facts.visitorName;
               known.visitorEmail = facts.visitorEmail;
               known.visitorAddress = facts.visitorAddress;
               known.page = facts.page;
               return;
             }
             const auto row = m_chatRows.find(chat);
             if (row != m_chatRows.end()) store.UpdateChat(row->second, facts);
           }});
}

void CChatArchive::AddLines(ChatHandle chat, const QList<ArchiveLine>& lines) {
  if (lines.isEmpty()) return;
  Enqueue({Task::Kind::Write, [this, chat, lines](CArchiveStore& store) {
             const qint64 row = Row(store, chat, lines);
             if (!row) return;
             auto again = m_sentAgain.find(chat);
             for (const ArchiveLine& line : lines) {
               // A line stored already goes by, with the stored ones before
               // it (notices of an earlier console are not sent again); the
               // first line not stored is new, and so is every one after it.
               if (again != m_sentAgain.end()) {
                 const qsizetype stored = again->second.indexOf(line.text);
                 if (stored >= 0) {
                   again->second.remove(0, stored + 1);
                   continue;
                 }
                 m_sentAgain.erase(again);
                 again = m_sentAgain.end();
               }
               if (!store.InsertLine(row, line)) return;
             }
           }});
}

void CChatArchive::EndChat(ChatHandle chat, const QDateTime& at, const QString& how) {
  Enqueue({Task::Kind::Write, [this, chat, at, how](CArchiveStore& store) {
             // Opened again and closed before a line came: nothing new to keep.
             m_mayContinue.erase(chat);
             m_sentAgain.erase(chat);
             const auto row = m_chatRows.find(chat);
             if (row == m_chatRows.end()) return;
             store.EndChat(row->second, at, how);
             m_chatRows.erase(row);
           }});
}

void CChatArchive::Search(const ArchiveQuery& query, QObject* context, SearchDone onDone) {
  quint64 search = 0;
  {
    std::lock_guard lock(m_mutex);
    search = m_latestSearch[context] = ++m_nSearches;
  }
  Enqueue({Task::Kind::Read, [this, search, query, key = static_cast<const QObject*>(context),
                              context = QPointer<QObject>(context), onDone = std::move(onDone)](
                                 CArchiveStore& store) mutable {
             {
               std::lock_guard lock(m_mutex);
               const auto latest = m_latestSearch.find(key);
               if (latest == m_latestSearch.end() || latest->second != search) return;  // typed on meanwhile
               m_latestSearch.erase(latest);
             }
             Post([hits = store.Search(query), context = std::move(context), onDone = std::move(onDone)] {
               if (context) onDone(hits);
             });
           }});
}

void CChatArchive::Transcript(qint64 chatId, QObject* context, TranscriptDone onDone) {
  Enqueue({Task::Kind::Read, [this, chatId, context = QPointer<QObject>(context),
                              onDone = std::move(onDone)](CArchiveStore& store) mutable {
             Post([lines = store.Transcript(chatId), context = std::move(context), onDone = std::move(onDone)] {
               if (context) onDone(lines);
             });
           }});
}

void CChatArchive::SetRetentionDays(int days) {
  m_nRetentionDays = std::max(0, days);
  PruneNow();
}

void CChatArchive::PruneNow() {
  if (m_nRetentionDays <= 0) return;
  const QDateTime cutoff = QDateTime::currentDateTime().addDays(-m_nRetentionDays);
  Enqueue({Task::Kind::Write, [this, cutoff](CArchiveStore& store) {
             const int removed = store.RemoveOlderThan(cutoff);
             if (removed > 0) Post([this, removed] { emit ChatsRemoved(removed); });
           }});
}

void CChatArchive::ForgetVisitor(const ArchiveVisitor& visitor) {
  Enqueue({Task::Kind::Write, [this, visitor](CArchiveStore& store) {
             const int removed = store.Forget(visitor);
             if (removed > 0) Post([this, removed] { emit ChatsRemoved(removed); });
           }});
}

void CChatArchive::DeleteAll() {
  Enqueue({Task::Kind::Reset, [this](CArchiveStore& store) {
             // Chats under way are not recorded again.
             m_chatRows.clear();
             m_mayContinue.clear();
             m_sentAgain.clear();
             const bool ok = store.DeleteAll();
             m_bFailed = !ok;
             Post([this, ok, failure = store.Failure()] {
               emit ChatsRemoved(-1);
               if (!ok) emit Failed(failure);
             });
           }});
}

void CChatArchive::WaitUntilWritten() {
  std::unique_lock lock(m_mutex);
  m_idle.wait(lock, [this] { return m_queue.empty() && !m_bBusy; });
}

void CChatArchive::Work() {
  CArchiveStore store(m_strPath);
  if (!store.Open()) CheckFailure(store);
  std::unique_lock lock(m_mutex);
  for (;;) {
    m_wake.wait(lock, [this] { return m_bStop || !m_queue.empty(); });
    if (m_queue.empty()) break;  // stopping, with everything written
    std::deque<Task> batch;
    while (!m_queue.empty() && batch.size() < kBatchSize) {
      batch.push_back(std::move(m_queue.front()));
      m_queue.pop_front();
    }
    m_bBusy = true;
    lock.unlock();
    RunBatch(store, batch);
    batch.clear();  // the tasks' captures go before the lock is taken again
    lock.lock();
    m_bBusy = false;
    if (m_queue.empty()) m_idle.notify_all();
  }
}

void CChatArchive::RunBatch(CArchiveStore& store, std::deque<Task>& batch) {
  bool inTransaction = false;
  const auto commit = [&] {
    if (inTransaction && !store.Commit()) CheckFailure(store);
    inTransaction = false;
  };
  for (Task& task : batch) {
    if (task.kind == Task::Kind::Write) {
      if (m_bFailed || !store.IsOpen()) continue;
      if (!inTransaction && !(inTransaction = store.Begin())) {
        CheckFailure(store);
        continue;
      }
      task.run(store);
      if (!store.Failure().isEmpty()) {
        commit();  // rolls back what the failed statement left
        CheckFailure(store);
      }
    } else {
      commit();
      task.run(store);
    }
  }
  commit();
}

void CChatArchive::CheckFailure(CArchiveStore& store) {
  if (store.Failure().isEmpty() || m_bFailed.exchange(true)) return;
  Post([this, sentence = store.Failure()] { emit Failed(sentence); });
}
