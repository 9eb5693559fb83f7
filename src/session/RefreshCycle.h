#pragma once

#include "RefreshReply.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <set>

class CChatManager;

// The console's refresh: at once, then every console period it asks the
// service for the site's visitors and operators, and hands each answer on,
// parsed, in the order the requests were made. A tick while a refresh is
// still out sends nothing; a reply overtaken by a newer one is dropped. It
// also keeps the connection alert: raised by a failed refresh or by one out
// for more than three periods, cleared by the next good one. A refresh that
// failed, or whose answer cannot be read, replaces nothing: the last table
// stays, and only its age is told.
class CRefreshCycle : public QObject {
  Q_OBJECT

 public:
  explicit CRefreshCycle(CChatManager& engine, QObject* parent = nullptr);

  // Refreshes at once, then on the timer.
  void Start();
  void Stop();
  bool IsActive() const { return m_timer.isActive(); }
  void SetChatsOnly(bool bChatsOnly) { m_bChatsOnly = bChatsOnly; }

  // Sends a refresh now, whether or not one is out.
  void RefreshNow();
  // Refreshes at once for a new view, or after the machine slept or the
  // network came back: answers to the refreshes still out are dropped (they
  // were asked for the old view, or may hang on a connection that is gone),
  // so none of them holds the next tick back; the timer starts again.
  void Restart();
  // Takes one refresh reply's text, as if it had just arrived.
  void Apply(const QString& text);
  // The same with the reply already parsed (on a worker thread).
  void Apply(const QString& text, const RefreshReply& reply);

  bool IsConnectionAlert() const { return m_bConnectionAlert; }
  // A refresh is out whose answer would still be shown.
  bool IsRefreshOut() const { return !m_out.empty() && *m_out.rbegin() >= m_nOldestWanted; }
  // How long ago the table on screen arrived.
  qint64 TableAgeMs() const { return m_tableAge.elapsed(); }

 signals:
  // An answer to show: a well-formed reply.
  void Refreshed(const RefreshReply& reply);
  // A refresh failed, or its answer had another block count: the table on
  // screen stays, and is this old.
  void Failed(qint64 tableAgeMs);
  void ConnectionAlertChanged(bool bAlert);
  // A refresh has been out for more than three periods: the table on
  // screen is this old. Repeated at every tick until an answer comes.
  void Stalled(qint64 tableAgeMs);
  // The service says this operator has been logged out.
  void LoggedOutByServer();

 private:
  void OnTick();
  void OnReply(quint64 sequence, const QString& text, const RefreshReply& reply);
  void CheckStalled();
  qint64 StallLimitMs() const;
  // Times the refresh that has been out longest from now.
  void WatchOldestOut();

  CChatManager& m_engine;
  QTimer m_timer;
  bool m_bChatsOnly = false;
  bool m_bConnectionAlert = false;
  std::set<quint64> m_out;       // sequences of refreshes sent and not yet answered
  quint64 m_nNextSequence = 1;   // of the next refresh request
  quint64 m_nOldestWanted = 0;   // replies to older refreshes are dropped
  QElapsedTimer m_outSince;      // since the refresh out now was sent
  QTimer m_stallTimer;           // fires when that refresh has been out too long
  QElapsedTimer m_tableAge;      // since the table on screen arrived
  QList<CSiteVisitor> m_lastRows;  // of the last reply applied, shared with the table
};
