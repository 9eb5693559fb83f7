#include "ChatList.h"

CChatList::CChatList(QObject* parent) : QObject(parent) {}

int CChatList::Find(const QString& chatId) const {
  for (int i = 0; i < m_chats.size(); ++i)
    if (m_chats[i].id == chatId) return i;
  return -1;
}

void CChatList::Add(const QString& chatId, Kind kind, QObject* view) {
  if (const int at = Find(chatId); at >= 0) m_chats.removeAt(at);
  m_chats.append({chatId, kind, view, view});
}

void CChatList::Remove(const QString& chatId, const QObject* view) {
  const int at = Find(chatId);
  if (at >= 0 && m_chats[at].listed == view) m_chats.removeAt(at);
}

void CChatList::RemoveAll(Kind kind) {
  m_chats.removeIf([kind](const Entry& chat) { return chat.kind == kind; });
}

QObject* CChatList::View(const QString& chatId, Kind kind) const {
  const int at = Find(chatId);
  return at >= 0 && m_chats[at].kind == kind ? m_chats[at].view.data() : nullptr;
}

QStringList CChatList::Ids(Kind kind) const {
  QStringList ids;
  for (const Entry& chat : m_chats)
    if (chat.kind == kind) ids.append(chat.id);
  return ids;
}

QList<QObject*> CChatList::Views() const {
  QList<QObject*> views;
  for (const Entry& chat : m_chats)
    if (chat.view) views.append(chat.view.data());
  return views;
}

void CChatList::CloseAll() {
  // The views close while they are still listed, so that each host finds
  // its own; whatever is left is forgotten.
  emit CloseRequested();
  m_chats.clear();
}
