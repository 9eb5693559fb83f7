#include "RefreshCycle.h"

#include "ChatManager.h"
#include "RequestTypes.h"
#include "Separators.h"

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
  m_engine.RequestAsync(m_engine.Catalogue().Refresh(m_bChatsOnly), REQ_REFRESH, this,
                        [this, sequence](const QString& reply) { OnReply(sequence, reply); });
}

void CRefreshCycle::OnReply(quint64 sequence, const QString& text) {
  --m_nOut;
  // An older reply that arrives after a newer one would show an older table.
  if (sequence < m_nNewestApplied) return;
  m_nNewestApplied = sequence;
  Apply(text);
}

void CRefreshCycle::Apply(const QString& text) {
  if (m_engine.IsClosing()) return;
  const RefreshReply reply = RefreshReply::Parse(text);
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
