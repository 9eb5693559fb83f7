#pragma once

#include "ChatTabLayout.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <optional>

class CChatList;
class CChatTabHost;
class CChatWindowBase;
class QWidget;

// The tabbed chat windows of a session, when the operator keeps his chats
// in tabs (the preference): which window a new chat goes to, moving a chat
// to a window of its own and merging the windows back, and the layout kept
// across a log-out and a restart (CChatTabLayout). A chat that comes back
// (still open at the service, taken again after the log-in) goes to the
// window and the place among its tabs it had; any other goes to the
// window last used.
class CChatTabHosts : public QObject {
  Q_OBJECT

 public:
  explicit CChatTabHosts(CChatList& chats, QObject* parent = nullptr);
  // The chats stay where they are; the windows go with them.
  ~CChatTabHosts() override;

  static bool IsOn();

  // A new chat view goes into a tab and comes into view as it arrived: in
  // front, its tab shown, for the operator's own chat; quietly behind the
  // tab being typed in for one that came by itself.
  void Place(CChatWindowBase* chat, bool bOperatorChat, bool bAskedFor);
  // The tabbed window holding the chat, or nullptr (a window of its own).
  CChatTabHost* HostOf(const QWidget* chat) const;
  QList<CChatTabHost*> Hosts() const;

  // The chat leaves its window for a new one of its own, placed at `at`
  // (a drop) or after the last window; nothing when it is alone already.
  void MoveToNewWindow(CChatWindowBase* chat, std::optional<QPoint> at = std::nullopt);
  // The chats of every other tabbed window come into `into`, after its own.
  void Merge(CChatTabHost* into);
  // The open chat views in the order the keyboard goes through them: the
  // tabbed windows' in tab order, then the others as given.
  QList<QWidget*> Arrange(const QList<QWidget*>& open) const;

  // The session ends: the layout is kept as it is now, and nothing the
  // closing chats do changes it.
  void Keep();

 private:
  CChatTabHost* NewHost(int remembered = -1);
  void OnDraggedOut(CChatWindowBase* chat, const QPoint& drop);
  void OnClosing(CChatWindowBase* chat);
  void Follow(CChatWindowBase* chat);
  // Tabs for all open chats, or a window for each.
  void FollowPreference(bool bOn);
  // The windows to keep, in order: those read at the start (with their
  // chats not back yet, when `bKeepAbsent`), then those opened since.
  struct Slot {
    QStringList chats;
    CChatTabHost* host;  // nullptr: a window read at the start, not back
    int remembered;      // its number in the layout read, or -1
  };
  QList<Slot> Slots(bool bKeepAbsent) const;
  void Save(bool bKeepAbsent);

  CChatList& m_chats;
  QList<QPointer<CChatTabHost>> m_hosts;  // in the order they opened
  // The layout read at the start, and this session's window for each of its
  // windows that has come back.
  CChatTabLayout m_remembered;
  QHash<int, QPointer<CChatTabHost>> m_restored;
  QHash<const QObject*, QString> m_keys;  // of the chats placed, by view
  QSet<QString> m_closed;                 // chats the operator closed: forgotten
  QPointer<CChatTabHost> m_pLastActive;
  QTimer m_saveSoon;
  bool m_bKept = false;
};
