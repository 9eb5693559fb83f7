#include "VisitorInfo.h"

#include "ChatManager.h"

CVisitorInfo::CVisitorInfo(CChatManager& engine, QObject* parent) : QObject(parent), m_engine(engine) {}

void CVisitorInfo::FetchDetails(const QString& sessionId) {
  const quint64 sequence = ++m_nDetailsAsked;
  ++m_nDetailsOut;
  m_engine.RequestAsync(m_engine.Catalogue().VisitorDetails(sessionId), this,
                        [this, sequence, sessionId](const QString& reply) {
                          --m_nDetailsOut;
                          if (sequence != m_nDetailsAsked) return;
                          const VisitorDetails details = VisitorDetails::Parse(reply);
                          if (details.wellFormed) emit DetailsArrived(sessionId, details);
                        });
}

void CVisitorInfo::FetchFootPrints(const QString& sessionId) {
  const quint64 sequence = ++m_nFootPrintsAsked;
  ++m_nFootPrintsOut;
  m_engine.RequestAsync(m_engine.Catalogue().FootPrints(sessionId), this,
                        [this, sequence, sessionId](const QString& reply) {
                          --m_nFootPrintsOut;
                          if (sequence == m_nFootPrintsAsked) emit FootPrintsArrived(sessionId, reply);
                        });
}
