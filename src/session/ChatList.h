#pragma once

#include "ChatSession.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

// The chats open in this console, visitor and operator chats alike, in the
// order they opened: the one list that the chat hosts, the keyboard's order
// of chats and the alert room read. The list owns each chat's session and
// knows the object that shows it, its view. A chat opened again while its
// old view waits for deletion takes the new session and view and goes to
// the end; the old view going then leaves it listed. The session's end
// closes them all.
class CChatList : public QObject {
  Q_OBJECT

 public:
  using Kind = ChatKind;

  explicit CChatList(QObject* parent = nullptr);

  // Lists the session's chat, shown by `view`; the list owns the session.
  void Add(CChatSession* session, QObject* view);
  // Takes the chat out only while `view` is the one listed; its session
  // closes and is deleted once the event loop runs.
  void Remove(const QString& chatId, const QObject* view);
  void RemoveAll(Kind kind);

  bool Contains(const QString& chatId) const { return Find(chatId) >= 0; }
  CChatSession* Session(const QString& chatId) const;
  // The chat's view, if it is listed as of this kind and its view lives.
  QObject* View(const QString& chatId, Kind kind) const;
  // In the order the chats opened.
  QStringList Ids(Kind kind) const;
  QList<CChatSession*> Sessions() const;
  QList<QObject*> Views() const;
  int Count() const { return int(m_chats.size()); }

  // Every chat polls at once (after sleep, or the network coming back).
  void CatchUp();
  // Asks every chat's view to close, then forgets them all.
  void CloseAll();

 signals:
  void CloseRequested();
  // A chat's session joined the list (its first lines may already be there).
  void ChatAdded(CChatSession* session);

 private:
  struct Entry {
    QPointer<CChatSession> session;
    QString id;
    QPointer<QObject> view;
    const QObject* listed;  // the view as added: told apart even while it is destroyed
  };
  int Find(const QString& chatId) const;
  static void Release(const Entry& chat);

  QList<Entry> m_chats;
};
