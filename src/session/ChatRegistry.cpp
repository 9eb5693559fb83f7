#include "ChatRegistry.h"

CChatRegistry::CChatRegistry(QObject* parent) : QObject(parent) {}

void CChatRegistry::Add(const QString& chatId, Kind kind, const void* token) { m_chats.insert(chatId, {kind, token}); }

void CChatRegistry::Remove(const QString& chatId, const void* token) {
  const auto it = m_chats.constFind(chatId);
  if (it != m_chats.constEnd() && it->token == token) m_chats.erase(it);
}

QStringList CChatRegistry::Ids(Kind kind) const {
  QStringList ids;
  for (auto it = m_chats.cbegin(); it != m_chats.cend(); ++it)
    if (it->kind == kind) ids.append(it.key());
  return ids;
}

void CChatRegistry::CloseAll() {
  m_chats.clear();
  emit CloseRequested();
}
