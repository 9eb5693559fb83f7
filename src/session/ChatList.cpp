#include "ChatList.h"

CChatList::CChatList(QObject* parent) : QObject(parent) {}

int CChatList::Find(const QString& chatId) const {
  for (int i = 0; i < m_chats.size(); ++i)
    if (m_chats[i].id == chatId) return i;
  return -1;
}

void CChatList::Release(const Entry& chat) {
  if (chat.session.isNull()) return;
  chat.session->Close();
  // Not at once: the session may be the sender of the signal that led here.
  chat.session->deleteLater();
}

void CChatList::Add(CChatSession* session, QObject* view) {
  bool listed = false;
  if (const int at = Find(session->Id()); at >= 0) {
    listed = m_chats[at].session == session;
    if (!listed) Release(m_chats[at]);
    m_chats.removeAt(at);
  }
  session->setParent(this);
  m_chats.append({session, session->Id(), view, view});
  if (!listed) emit ChatAdded(session);
}

void CChatList::Remove(const QString& chatId, const QObject* view) {
  const int at = Find(chatId);
  if (at < 0 || m_chats[at].listed != view) return;
  Release(m_chats.takeAt(at));
}

void CChatList::RemoveAll(Kind kind) {
  for (int i = int(m_chats.size()) - 1; i >= 0; --i)
    if (m_chats[i].session.isNull() || m_chats[i].session->Kind() == kind) Release(m_chats.takeAt(i));
}

CChatSession* CChatList::Session(const QString& chatId) const {
  const int at = Find(chatId);
  return at >= 0 ? m_chats[at].session.data() : nullptr;
}

QObject* CChatList::View(const QString& chatId, Kind kind) const {
  const int at = Find(chatId);
  if (at < 0 || m_chats[at].session.isNull() || m_chats[at].session->Kind() != kind) return nullptr;
  return m_chats[at].view.data();
}

QStringList CChatList::Ids(Kind kind) const {
  QStringList ids;
  for (const Entry& chat : m_chats)
    if (chat.session && chat.session->Kind() == kind) ids.append(chat.id);
  return ids;
}

QList<CChatSession*> CChatList::Sessions() const {
  QList<CChatSession*> sessions;
  for (const Entry& chat : m_chats)
    if (chat.session) sessions.append(chat.session.data());
  return sessions;
}

QList<QObject*> CChatList::Views() const {
  QList<QObject*> views;
  for (const Entry& chat : m_chats)
    if (chat.view) views.append(chat.view.data());
  return views;
}

void CChatList::CatchUp() {
  // Sessions are deleted later, never during the walk: a copy of the list is enough.
  for (CChatSession* session : Sessions()) session->CatchUp();
}

void CChatList::CloseAll() {
  // The views close while they are still listed, so that each host finds
  // its own; whatever is left is forgotten.
  emit CloseRequested();
  while (!m_chats.isEmpty()) Release(m_chats.takeLast());
}
