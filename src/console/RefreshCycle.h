#pragma once

#include "RefreshReply.h"

#include <QObject>
#include <QTimer>

class CChatManager;

// The console's refresh: every console period it asks the service for the
// site's visitors and operators, and hands each answer on, parsed, in the
// order the requests were made. A tick while a refresh is still out sends
// nothing; a reply overtaken by a newer one is dropped. It also keeps the
// connection alert: raised by a failed refresh, cleared by the next good one.
class CRefreshCycle : public QObject {
  Q_OBJECT

 public:
  explicit CRefreshCycle(CChatManager& engine, QObject* parent = nullptr);

  // The first refresh comes after one period, not at once.
  void Start();
  void Stop();
  bool IsActive() const { return m_timer.isActive(); }
  void SetChatsOnly(bool bChatsOnly) { m_bChatsOnly = bChatsOnly; }

  // Sends a refresh now, whether or not one is out.
  void RefreshNow();
  // Takes one refresh reply's text, as if it had just arrived.
  void Apply(const QString& text);
  // The same with the reply already parsed (on a worker thread).
  void Apply(const QString& text, const RefreshReply& reply);

  bool IsConnectionAlert() const { return m_bConnectionAlert; }
  bool IsRefreshOut() const { return m_nOut > 0; }

 signals:
  // A reply to show; a reply of another block count arrives with
  // wellFormed false and no rows, and empties the table.
  void Refreshed(const RefreshReply& reply);
  void ConnectionAlertChanged(bool bAlert);
  // The service says this operator has been logged out.
  void LoggedOutByServer();

 private:
  void OnTick();
  void OnReply(quint64 sequence, const QString& text, const RefreshReply& reply);

  CChatManager& m_engine;
  QTimer m_timer;
  bool m_bChatsOnly = false;
  bool m_bConnectionAlert = false;
  int m_nOut = 0;                // refreshes sent and not yet answered
  quint64 m_nNextSequence = 1;   // of the next refresh request
  quint64 m_nNewestApplied = 0;  // of the newest reply applied
};
