#include "Presence.h"

#include "ChatManager.h"
#include "ShortReplies.h"

CPresence::CPresence(CChatManager& engine, QObject* parent) : QObject(parent), m_engine(engine) {}

void CPresence::Send(bool bOnline) {
  // The operator's choice: answers to what was sent before it no longer count.
  const quint64 choice = ++m_nChoice;
  m_engine.RequestAsync(m_engine.Catalogue().Status(bOnline), this, [this, choice](const QString& reply) {
    if (choice == m_nChoice) OnStatusReply(reply);
  });
}

void CPresence::Announce() {
  if (m_bManualOffline || m_bAnnouncementOut) return;
  AnnounceNow();
}

void CPresence::AnnounceNow() {
  if (m_bManualOffline) return;
  m_bAnnouncementOut = true;
  const quint64 choice = m_nChoice;
  const quint64 announcement = ++m_nAnnouncement;
  m_engine.RequestAsync(m_engine.Catalogue().Status(true), this, [this, choice, announcement](const QString& reply) {
    if (announcement == m_nAnnouncement) m_bAnnouncementOut = false;
    // An "online" overtaken by the operator's Offline must not make him
    // online again.
    if (choice == m_nChoice) OnStatusReply(reply);
  });
}

void CPresence::ChooseOnline() {
  m_bManualOffline = false;
  Send(true);
}

void CPresence::ChooseOffline() {
  m_bManualOffline = true;
  Send(false);
}

void CPresence::OnStatusReply(const QString& reply) {
  const StatusReply status = StatusReply::Parse(reply);
  if (!status.wellFormed) return;
  const bool before = m_bOnline;
  m_bOnline = status.online;
  if (m_bOnline != before) emit Changed(m_bOnline);
  if (!m_bManualOffline) emit Confirmed(m_bOnline);
}
