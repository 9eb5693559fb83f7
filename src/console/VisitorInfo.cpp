#include "VisitorInfo.h"

#include "ChatManager.h"
#include "RequestTypes.h"
#include "Separators.h"
#include "SplitReply.h"

CVisitorInfo::CVisitorInfo(CChatManager& engine, QObject* parent) : QObject(parent), m_engine(engine) {}

bool CVisitorInfo::ParseDetails(const QString& reply, VisitorDetails& details) {
  return VisitorDetails::FromReplyPieces(SplitReply(reply, kSepField), details);
}

void CVisitorInfo::FetchDetails(const QString& sessionId) {
  const quint64 sequence = ++m_nDetailsAsked;
  ++m_nDetailsOut;
  m_engine.RequestAsync(m_engine.Catalogue().VisitorDetails(sessionId), REQ_VISITOR_DETAILS, this,
                        [this, sequence, sessionId](const QString& reply) {
                          --m_nDetailsOut;
                          VisitorDetails details;
                          if (sequence != m_nDetailsAsked || !ParseDetails(reply, details)) return;
                          emit DetailsArrived(sessionId, details);
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
