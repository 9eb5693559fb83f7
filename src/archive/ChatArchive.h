#pragma once

#include "ArchiveRecords.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

class CArchiveStore;

// The local archive of this console's chats. Every call returns at once:
// the work goes into a queue that the archive's own worker thread takes
// in small batches, each committed before the next (what was written
// survives a crash), on its own connection to the file. Searches run on
// the worker too and answer on the archive's thread. When the file is
// damaged, held by another program or cannot grow, the archive says so
// once (Failed) and stops recording; it never throws and never waits on
// the caller's thread, and chatting goes on without it.
class CChatArchive : public QObject {
  Q_OBJECT

 public:
  // A chat being recorded, as the caller knows it.
  using ChatHandle = qint64;
  using SearchDone = std::function<void(const QList<ArchiveHit>&)>;
  using TranscriptDone = std::function<void(const QList<ArchiveLine>&)>;

  static constexpr int kDefaultRetentionDays = 90;

  // `filePath`: the file to keep the chats in (made when missing). Chats
  // older than `retentionDays` go at once and daily (0: kept for ever).
  explicit CChatArchive(const QString& filePath, int retentionDays = kDefaultRetentionDays,
                        QObject* parent = nullptr);
  // Writes what is queued, then stops the worker.
  ~CChatArchive() override;

  // $XDG_DATA_HOME/talvero/archive.sqlite (under ~/.local/share when unset).
  static QString DefaultFilePath();
  const QString& FilePath() const { return m_strPath; }
  // The archive failed and records nothing until it is deleted.
  bool HasFailed() const { return m_bFailed; }

  // Recording: a chat's facts first, then its lines and its end.
  ChatHandle BeginChat(const ArchiveChat& chat);
  // The visitor's name, e-mail or page became known.
  void UpdateChat(ChatHandle chat, const ArchiveChat& facts);
  void AddLines(ChatHandle chat, const QList<ArchiveLine>& lines);
  void EndChat(ChatHandle chat, const QDateTime& at, const QString& how);

  // Answers `onDone` on the archive's own thread unless `context` is gone by then;
  // a newer search for the same context makes an older one still queued
  // answer nothing.
  void Search(const ArchiveQuery& query, QObject* context, SearchDone onDone);
  void Transcript(qint64 chatId, QObject* context, TranscriptDone onDone);

  // A new retention period, applied at once.
  void SetRetentionDays(int days);
  void ForgetVisitor(const ArchiveVisitor& visitor);
  // Removes every chat and starts an empty file; a failed archive works again.
  void DeleteAll();

  // Waits until everything queued so far is written: for the benchmark and
  // tests, never for the user-interface thread of the program.
  void WaitUntilWritten();

 signals:
  // The archive stopped recording; `sentence` tells the operator why.
  void Failed(const QString& sentence);
  // Chats went: forgotten or past the retention period (how many), or all
  // of them deleted (-1).
  void ChatsRemoved(int count);

 private:
  struct Task {
    // Writes share their batch's transaction and stop when the archive
    // failed; reads run on their own; a reset runs whatever happened.
    enum class Kind { Write, Read, Reset } kind = Kind::Write;
    std::function<void(CArchiveStore&)> run;
  };

  void Enqueue(Task task);
  void Work();
  // Runs one batch: writes inside one transaction, searches after it.
  void RunBatch(CArchiveStore& store, std::deque<Task>& batch);
  void CheckFailure(CArchiveStore& store);
  // The chat's row in the file, deciding first whether a chat that may go
  // on an earlier one does, by the lines it begins with.
  qint64 Row(CArchiveStore& store, ChatHandle chat, const QList<ArchiveLine>& lines);
  // Runs `call` on the archive's own thread.
  void Post(std::function<void()> call);
  void PruneNow();

  const QString m_strPath;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::condition_variable m_idle;
  std::deque<Task> m_queue;
  bool m_bBusy = false;
  bool m_bStop = false;
  std::atomic<bool> m_bFailed{false};
  std::map<const QObject*, quint64> m_latestSearch;  // guarded by m_mutex
  quint64 m_nSearches = 0;
  ChatHandle m_nLastHandle = 0;
  std::map<ChatHandle, qint64> m_chatRows;  // the worker's only
  // A chat opened again after a restart or a new login is the same chat at
  // the service, which sends all its lines again. Until its first lines say
  // whether it goes on the earlier one, its facts wait here; then the lines
  // sent again are passed over in order. The worker's only.
  struct Continued {
    ArchiveChat facts;
    qint64 earlier = 0;
    QStringList stored;
  };
  std::map<ChatHandle, Continued> m_mayContinue;
  std::map<ChatHandle, QStringList> m_sentAgain;
  int m_nRetentionDays;
  QTimer m_dailyPrune;
  std::thread m_worker;
};
