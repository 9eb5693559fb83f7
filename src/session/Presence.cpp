#include "Presence.h"

#include "ChatManager.h"
#include "RequestTypes.h"

CPresence::CPresence(CChatManager& engine, QObject* parent) : QObject(parent), m_engine(engine) {}

void CPresence::Send(bool bOnline) {
  m_engine.RequestAsync(m_engine.Catalogue().Status(bOnline), REQ_STATUS, this,
                        [this](const QString& reply) { OnStatusReply(reply); });
}

void CPresence::Announce() {
  if (m_bManualOffline || m_bAnnouncementOut) return;
  m_bAnnouncementOut = true;
  m_engine.RequestAsync(m_engine.Catalogue().Status(true), REQ_STATUS, this, [this](const QString& reply) {
    m_bAnnouncementOut = false;
    OnStatusReply(reply);
  });
}

void CPresence::ChooseOnline() {
  m_bManualOffline = false;
  Send(true);
}

void CPresence::ChooseOffline() {
  Send(false);
  m_bManualOffline = true;
}

void CPresence::OnStatusReply(const QString& reply) {
  if (reply == QLatin1String("online"))
    m_bOnline = true;
  else if (reply == QLatin1String("offline"))
    m_bOnline = false;
  else
    return;
  if (!m_bManualOffline) emit Confirmed(m_bOnline);
}
