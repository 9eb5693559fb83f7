#include "RefreshCycle.h"

#include "ChatManager.h"
#include "ShortReplies.h"
#include "Separators.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <utility>

CRefreshCycle::CRefreshCycle(CChatManager& engine, QObject* parent) : QObject(parent), m_engine(engine) {
  connect(&m_timer, &QTimer::timeout, this, &CRefreshCycle::OnTick);
  m_stallTimer.setSingleShot(true);
  m_stallTimer.setTimerType(Qt::PreciseTimer);  // a coarse one may fire before the limit
  connect(&m_stallTimer, &QTimer::timeout, this, &CRefreshCycle::CheckStalled);
}

qint64 CRefreshCycle::StallLimitMs() const { return 3 * qint64(m_engine.Session().consolePeriodMs); }

void CRefreshCycle::WatchOldestOut() {
  m_outSince.start();
  m_stallTimer.start(int(std::min<qint64>(StallLimitMs() + 1, INT_MAX)));
}

void CRefreshCycle::Start() {
  m_tableAge.start();
  // The operator should not look at an empty console for a whole period.
  RefreshNow();
  m_timer.start(m_engine.Session().consolePeriodMs);
}

void CRefreshCycle::Restart() {
  m_nOldestWanted = m_nNextSequence;
  RefreshNow();
  m_timer.start(m_engine.Session().consolePeriodMs);
}

void CRefreshCycle::Stop() {
  m_timer.stop();
  m_stallTimer.stop();
}

void CRefreshCycle::OnTick() {
  // A slow server must not pile up refreshes: the next one waits for the
  // answer (or the failure) of the last.
  if (!IsRefreshOut())
    RefreshNow();
  else
    CheckStalled();
}

void CRefreshCycle::CheckStalled() {
  // A server that took the request and says nothing would leave the last
  // table on screen as if it were live until the request times out.
  if (!IsRefreshOut() || m_outSince.elapsed() <= StallLimitMs()) return;
  if (!m_bConnectionAlert) {
    m_bConnectionAlert = true;
    emit ConnectionAlertChanged(true);
  }
  emit Stalled(m_tableAge.elapsed());
}

void CRefreshCycle::RefreshNow() {
  if (!IsRefreshOut()) WatchOldestOut();
  const quint64 sequence = m_nNextSequence++;
  m_out.insert(sequence);
  // A large reply is cut into records on the request's worker thread, so
  // that the user-interface thread only applies them; the worker has
  // written the records before the hand-over, which it waits for. The rows
  // shown are lent to the worker, to share their unchanged texts; it lets
  // go of them when done, so that the table's list is again its own when
  // the next reply replaces it and can be freed off this thread.
  auto parsed = std::make_shared<RefreshReply>();
  m_engine.RequestAsync(
      m_engine.Catalogue().Refresh(m_bChatsOnly), this,
      [this, sequence, parsed](const QString& reply) { OnReply(sequence, reply, *parsed); },
      [parsed, previous = m_lastRows](const QString& reply) mutable {
        *parsed = RefreshReply::Parse(reply, std::exchange(previous, {}));
      });
}

void CRefreshCycle::OnReply(quint64 sequence, const QString& text, const RefreshReply& reply) {
  m_out.erase(sequence);
  if (IsRefreshOut())
    WatchOldestOut();  // the one still out is younger
  else
    m_stallTimer.stop();
  // An older reply that arrives after a newer one would show an older table.
  if (sequence < m_nOldestWanted) return;
  m_nOldestWanted = sequence;
  Apply(text, reply);
}

void CRefreshCycle::Apply(const QString& text) {
  if (m_engine.IsClosing()) return;
  Apply(text, RefreshReply::Parse(text, m_lastRows));
}

void CRefreshCycle::Apply(const QString& text, const RefreshReply& reply) {
  if (m_engine.IsClosing()) return;
  if (!reply.wellFormed && IsLoggedOutByService(text)) {
    Stop();
    emit LoggedOutByServer();
    return;
  }
  const bool alert = reply.wellFormed ? false : (text == kDisconnect || m_bConnectionAlert);
  if (alert != m_bConnectionAlert) {
    m_bConnectionAlert = alert;
    emit ConnectionAlertChanged(alert);
  }
  if (!reply.wellFormed) {
    emit Failed(m_tableAge.elapsed());
    return;
  }
  m_tableAge.start();
  m_lastRows = reply.rows;
  emit Refreshed(reply);
}
