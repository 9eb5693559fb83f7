#pragma once

#include "ChatRegistry.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

// The open chat windows of one kind, by chat session id, kept in step with
// the session's registry of open chats. A window leaves the list when it is
// destroyed (the windows free themselves with deleteLater); asking for a
// chat that is already open raises its window. The session's end closes
// them all.
class CChatWindows : public QObject {
  Q_OBJECT

 public:
  using Factory = std::function<QWidget*()>;
  // Who brought the chat: the operator (Accept, a double-click, a notice)
  // or the service by itself (a chat handed over by a colleague). Only the
  // operator's own chats take the keyboard.
  enum class Arrival { ByOperator, ByItself };

  CChatWindows(CChatRegistry& registry, CChatRegistry::Kind kind, QObject* parent = nullptr);

  // The chat's window: the open one, or a new one made by the factory,
  // placed after the last new window and shown as the arrival says: in
  // front and active, or quietly, asking for attention. nullptr when the
  // factory makes none.
  QWidget* Open(const QString& chatId, const Factory& make, Arrival arrival = Arrival::ByOperator);
  // The open window of the chat, or nullptr.
  QWidget* Find(const QString& chatId) const;
  // Brings the chat's open window forward (quietly, for a chat that
  // arrived by itself); false when it has none.
  bool Raise(const QString& chatId, Arrival arrival = Arrival::ByOperator) const;
  QStringList Ids() const { return m_windows.keys(); }
  int Count() const { return int(m_windows.size()); }

  // Every chat window polls at once.
  void CatchUp();
  // Closes every window (through its CloseChatWindow slot where it has one);
  // each is deleted once the event loop runs.
  void CloseAll();

 signals:
  // A new window was made for a chat (not when an open one is raised).
  void Opened(QWidget* window);

 private:
  void Unlink(const QString& chatId, QWidget* window);

  CChatRegistry& m_registry;
  CChatRegistry::Kind m_kind;
  QHash<QString, QPointer<QWidget>> m_windows;
};
