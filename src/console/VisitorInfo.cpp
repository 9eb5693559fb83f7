#include "VisitorInfo.h"

#include "ChatManager.h"
#include "RequestTypes.h"

CVisitorInfo::CVisitorInfo(CChatManager& engine, QObject* parent) : QObject(parent), m_engine(engine) {}

void CVisitorInfo::FetchDetails(const QString& sessionId) {
  const quint64 sequence = ++m_nDetailsAsked;
  ++m_nDetailsOut;
  m_engine.RequestAsync(m_engine.Catalogue().VisitorDetails(sessionId), REQ_VISITOR_DETAILS, this,
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
  m_engine.RequestAsync(m_engine.Catalogue().FootPrints(sessionId), REQ_FOOT_PRINTS, this,
                        [this, sequence, sessionId](const QString& reply) {
                          --m_nFootPrintsOut;
                          if (sequence == m_nFootPrintsAsked) emit FootPrintsArrived(sessionId, reply);
                        });
}
