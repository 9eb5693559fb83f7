#pragma once

#include "ChatList.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

class CChatTabHosts;
class CChatWindowBase;

// The chat windows of one kind: each is the view of its chat in the
// session's list of chats, and leaves the list when it is destroyed (the
// windows free themselves with deleteLater). Asking for a chat that is
// already open raises its window. The session's end closes them all.
class CChatWindows : public QObject {
  Q_OBJECT

 public:
  // Makes the chat's window, bound to its new session.
  using Factory = std::function<CChatWindowBase*()>;
  // Who brought the chat: the operator (Accept, a double-click, a notice)
  // or the service by itself (a chat handed over by a colleague). Only the
  // operator's own chats take the keyboard.
  enum class Arrival { ByOperator, ByItself };

  CChatWindows(CChatList& chats, CChatList::Kind kind, QObject* parent = nullptr);
  // The tabbed windows new chats go into while the operator keeps his
  // chats in tabs.
  void SetTabs(CChatTabHosts* tabs);

  // The chat's view: the open one, or a new one made by the factory,
  // placed after the last new window (or in a tab) and shown as the
  // arrival says: in front and active, or quietly, asking for attention.
  // nullptr when the factory makes none.
  QWidget* Open(const QString& chatId, const Factory& make, Arrival arrival = Arrival::ByOperator);
  // The open window of the chat, or nullptr.
  QWidget* Find(const QString& chatId) const;
  // Brings the chat's open window forward (quietly, for a chat that
  // arrived by itself); false when it has none.
  bool Raise(const QString& chatId, Arrival arrival = Arrival::ByOperator) const;
  QStringList Ids() const { return m_chats.Ids(m_kind); }
  int Count() const { return int(Ids().size()); }

  // Closes every window (a chat window by its CloseChatWindow);
  // each is deleted once the event loop runs.
  void CloseAll();

 signals:
  // A new window was made for a chat (not when an open one is raised).
  void Opened(CChatWindowBase* window);

 private:
  // The windows of this kind, in the order their chats opened.
  QList<QPointer<QWidget>> Windows() const;

  CChatList& m_chats;
  CChatList::Kind m_kind;
  QPointer<CChatTabHosts> m_pTabs;
};
