#include "RefreshCycle.h"

#include "ChatManager.h"
#include "RequestTypes.h"
#include "Separators.h"

#include <memory>

CRefreshCycle::CRefreshCycle(CChatManager& engine, QObject* parent) : QObject(parent), m_engine(engine) {
  connect(&m_timer, &QTimer::timeout, this, &CRefreshCycle::OnTick);
}

void CRefreshCycle::Start() { m_timer.start(m_engine.Session().consolePeriodMs); }

void CRefreshCycle::Stop() { m_timer.stop(); }

void CRefreshCycle::OnTick() {
  // A slow server must not pile up refreshes: the next one waits for the
  // answer (or the failure) of the last.
  if (m_nOut == 0) RefreshNow();
}

void CRefreshCycle::RefreshNow() {
  const quint64 sequence = m_nNextSequence++;
  ++m_nOut;
  // A large reply is cut into records on the request's worker thread, so
  // that the user-interface thread only applies them; the worker has
  // written the records before the hand-over, which it waits for.
  auto parsed = std::make_shared<RefreshReply>();
  m_engine.RequestAsync(
      m_engine.Catalogue().Refresh(m_bChatsOnly), REQ_REFRESH, this,
      [this, sequence, parsed](const QString& reply) { OnReply(sequence, reply, *parsed); },
      [parsed](const QString& reply) { *parsed = RefreshReply::Parse(reply); });
}

void CRefreshCycle::OnReply(quint64 sequence, const QString& text, const RefreshReply& reply) {
  --m_nOut;
  // An older reply that arrives after a newer one would show an older table.
  if (sequence < m_nNewestApplied) return;
  m_nNewestApplied = sequence;
  Apply(text, reply);
}

void CRefreshCycle::Apply(const QString& text) {
  if (m_engine.IsClosing()) return;
  Apply(text, RefreshReply::Parse(text));
}

void CRefreshCycle::Apply(const QString& text, const RefreshReply& reply) {
  if (m_engine.IsClosing()) return;
  if (!reply.wellFormed && text == QStringLiteral("logout")) {
    Stop();
    emit LoggedOutByServer();
    return;
  }
  const bool alert = reply.wellFormed ? false : (text == kDisconnect || m_bConnectionAlert);
  if (alert != m_bConnectionAlert) {
    m_bConnectionAlert = alert;
    emit ConnectionAlertChanged(alert);
  }
  emit Refreshed(reply);
}
