#pragma once

#include "ArchiveRecords.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>

class QSqlQuery;

// The archive's SQLite file through one connection, used by one thread
// only (the archive's worker): the tables of chats and lines, the
// full-text indexes that follow them (kept in step by triggers in the
// file itself, so no writer can forget them), and every statement the
// archive runs. A statement that fails leaves a plain sentence saying why
// in Failure(); nothing throws.
class CArchiveStore {
 public:
  explicit CArchiveStore(QString filePath);
  ~CArchiveStore();
  CArchiveStore(const CArchiveStore&) = delete;
  CArchiveStore& operator=(const CArchiveStore&) = delete;

  // Opens (or makes) the file, readable by its owner only, and its tables.
  bool Open();
  void Close();
  bool IsOpen() const;
  // Closes and removes the file with its journal, then starts a new one.
  bool DeleteAll();
  // Why the last statement failed; empty while all is well.
  const QString& Failure() const { return m_strFailure; }

  bool Begin();
  bool Commit();

  // The chat's number in the file, 0 when it could not be stored.
  qint64 InsertChat(const ArchiveChat& chat);
  bool UpdateChat(qint64 chat, const ArchiveChat& facts);
  bool InsertLine(qint64 chat, const ArchiveLine& line);
  bool EndChat(qint64 chat, const QDateTime& at, const QString& how);
  // The latest chat with the same chat id at the same site and of the same
  // kind that started at `since` or later; 0 when there is none.
  qint64 FindChat(const ArchiveChat& chat, const QDateTime& since);
  // The texts of a chat's lines, in order.
  QStringList LineTexts(qint64 chat);
  // The chat goes on: it has not ended after all.
  bool ReopenChat(qint64 chat);

  QList<ArchiveHit> Search(const ArchiveQuery& query);
  // Every line of one chat, in order.
  QList<ArchiveLine> Transcript(qint64 chat);
  // Removes the chats that started before `cutoff`; how many went.
  int RemoveOlderThan(const QDateTime& cutoff);
  // Removes every chat of the visitor; how many went (-1 on failure).
  int Forget(const ArchiveVisitor& visitor);

 private:
  bool Exec(const QString& sql);
  bool Run(QSqlQuery& query);
  void Fail(const QSqlQuery& query);
  bool CreateTables();
  QList<ArchiveChat> ChatsById(const QList<qint64>& ids);
  QList<ArchiveLine> LinesById(const QList<qint64>& ids);
  int RemoveChats(const QString& where, const QVariantList& values);

  const QString m_strPath;
  const QString m_strConnection;
  QString m_strFailure;
  std::unique_ptr<QSqlQuery> m_pInsertLine;  // prepared once: the one statement run per line
};
