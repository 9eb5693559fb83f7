#pragma once

#include <QList>
#include <QObject>
#include <QWidget>

#include <functional>

class CChatList;
class CChatWindows;

// The keyboard between the open chats, visitor and operator chats alike, in
// the order they opened: in a chat window Ctrl+Tab and Ctrl+Shift+Tab bring
// the next and the previous one forward, Ctrl+1 to Ctrl+9 the nth, and
// Ctrl+0 the console. In the console Ctrl+1 to Ctrl+9 reach the chats too,
// and Ctrl+Tab and Ctrl+Shift+Tab the first and the last. Those are the
// defaults: the keys are the operator's (CShortcuts).
class CChatCycle : public QObject {
  Q_OBJECT

 public:
  // chats: the session's list, whose order the keys follow.
  CChatCycle(QWidget* console, const CChatList& chats);

  // The chat windows of this list get the keys as they open.
  void Watch(CChatWindows& windows);
  // The order the keys go through the open chats in, from the order they
  // opened (the tabs' order, where chats are in tabs).
  void SetOrder(std::function<QList<QWidget*>(const QList<QWidget*>&)> order) { m_order = std::move(order); }

  // The open chat windows, in the order they opened.
  QList<QWidget*> Windows() const;
  // The window `steps` on from `from` (wrapping; from the console, the
  // first or the last), or nullptr when no chat is open.
  QWidget* Neighbour(QWidget* from, int steps) const;

 private:
  void AddKeys(QWidget* window);
  void Bring(QWidget* window) const;

  QWidget* m_pConsole;
  const CChatList& m_chats;
  std::function<QList<QWidget*>(const QList<QWidget*>&)> m_order;
};
