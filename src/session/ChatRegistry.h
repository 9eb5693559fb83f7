#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

// The chats open in this console, by chat session id: visitor chats and
// operator chats. It knows ids, not windows; the windows register as they
// open and leave as they are destroyed, and the session's end closes them
// all through CloseAll.
class CChatRegistry : public QObject {
  Q_OBJECT

 public:
  enum class Kind { Visitor, Operator };

  explicit CChatRegistry(QObject* parent = nullptr);

  // Registers a chat; a token tells this registration from an earlier one
  // of the same chat, whose window may still wait for its deletion.
  void Add(const QString& chatId, Kind kind, const void* token);
  // Removes the chat only while the token is the one registered: the old
  // window of a reopened chat leaves nothing behind when it goes.
  void Remove(const QString& chatId, const void* token);

  bool Contains(const QString& chatId) const { return m_chats.contains(chatId); }
  QStringList Ids(Kind kind) const;
  int Count() const { return int(m_chats.size()); }

  // Forgets every chat and asks their windows to close.
  void CloseAll();

 signals:
  void CloseRequested();

 private:
  struct Entry {
    Kind kind;
    const void* token;
  };
  QHash<QString, Entry> m_chats;
};
