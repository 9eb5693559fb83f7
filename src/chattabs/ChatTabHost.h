#pragma once

#include "ChatTabMarks.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class CChatTabBar;
class CChatWindowBase;
class QMenu;
class QStackedWidget;

// One window with a tab for each of its chats, visitor and operator chats
// alike; the chat views are the same ones a chat window of its own shows.
// Each tab carries its chat's marks (CChatTabMarks), and the window's
// title is its shown chat's, with the lines unread in the other tabs.
// A chat the operator asks for comes to the front with its tab shown and
// the caret in its entry box; one that arrives by itself gets a tab behind
// the one being typed in. The close box closes the chats one after the
// other, each with its own question.
class CChatTabHost : public QWidget {
  Q_OBJECT

 public:
  CChatTabHost();
  // The chats still in tabs go with the window.
  ~CChatTabHost() override;

  // Puts the chat in a tab at `at` (the end when out of range) and follows
  // its events for the marks. The shown tab stays, unless there was none.
  void Add(CChatWindowBase* chat, int at = -1);
  // Takes the chat out: it has no parent and is hidden. The window closes
  // itself once its last chat is gone.
  void Take(CChatWindowBase* chat);
  bool Holds(const CChatWindowBase* chat) const;
  // Shows the chat's tab and the window in front with the caret in the
  // chat's entry box (`bAskedFor`), or the window only, quietly, when the
  // chat came by itself.
  void Show(CChatWindowBase* chat, bool bAskedFor);

  // The chats in tab order.
  QList<CChatWindowBase*> Chats() const;
  CChatWindowBase* Current() const;
  CChatTabMarks Marks(const CChatWindowBase* chat) const { return m_marks.value(chat); }
  // Unread lines in the tabs not shown.
  int UnreadElsewhere() const;

 signals:
  // The operator dragged the chat's tab out to `globalDrop`.
  void DraggedOut(CChatWindowBase* chat, const QPoint& globalDrop);
  // From the tab's menu.
  void MoveToNewWindowWanted(CChatWindowBase* chat);
  void MergeWanted(CChatTabHost* into);
  // The tabs changed places, came or went.
  void Arranged();
  // The window moved or changed size.
  void Moved();
  // The window got the keyboard: new chats go here.
  void Activated(CChatTabHost* host);
  // Its last chat went: the window closes and is freed a moment later.
  void Emptied(CChatTabHost* host);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void Follow(CChatWindowBase* chat);
  void CloseIfEmpty();
  void OnLines(CChatWindowBase* chat, const QList<struct TranscriptLine>& lines);
  void OnCurrentChanged(int index);
  // The shown tab's lines are read when the window has the keyboard.
  void MarkShownSeen();
  bool IsShownToOperator(const CChatWindowBase* chat) const;
  void ShowMarks(CChatWindowBase* chat);
  void ShowTitle();
  void ShowMenu(int index, const QPoint& globalAt);

  CChatTabBar* m_pTabs;
  QStackedWidget* m_pPages;
  QHash<const CChatWindowBase*, CChatTabMarks> m_marks;
};
