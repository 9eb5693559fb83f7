#include "ChatTabHosts.h"

#include "ChatList.h"
#include "ChatTabHost.h"
#include "ChatWindowBase.h"
#include "Preferences.h"
#include "SettingsStore.h"
#include "Shortcuts.h"
#include "WindowArrival.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>

#include <algorithm>

CChatTabHosts::CChatTabHosts(CChatList& chats, QObject* parent)
    : QObject(parent), m_chats(chats), m_remembered(CChatTabLayout::Load()) {
  m_saveSoon.setSingleShot(true);
  m_saveSoon.setInterval(500);
  connect(&m_saveSoon, &QTimer::timeout, this, [this] { Save(true); });
  connect(&CPreferences::Instance(), &CPreferences::ChatTabsChanged, this, &CChatTabHosts::FollowPreference);
}

CChatTabHosts::~CChatTabHosts() {
  m_bKept = true;  // the windows going now are no change of layout
  for (const QPointer<CChatTabHost>& host : m_hosts) delete host.data();
}

bool CChatTabHosts::IsOn() { return CPreferences::Instance().ChatTabs(); }

QList<CChatTabHost*> CChatTabHosts::Hosts() const {
  QList<CChatTabHost*> hosts;
  for (const QPointer<CChatTabHost>& host : m_hosts)
    if (host) hosts << host;
  return hosts;
}

CChatTabHost* CChatTabHosts::HostOf(const QWidget* chat) const {
  for (CChatTabHost* host : Hosts())
    if (host->Holds(qobject_cast<const CChatWindowBase*>(chat))) return host;
  return nullptr;
}

CChatTabHost* CChatTabHosts::NewHost(int remembered) {
  auto* host = new CChatTabHost;
  m_hosts << host;
  if (remembered >= 0) m_restored.insert(remembered, host);
  connect(host, &CChatTabHost::DraggedOut, this, &CChatTabHosts::OnDraggedOut);
  connect(host, &CChatTabHost::MoveToNewWindowWanted, this, [this](CChatWindowBase* chat) { MoveToNewWindow(chat); });
  connect(host, &CChatTabHost::MergeWanted, this, &CChatTabHosts::Merge);
  // A change of tabs is kept at once, so that even a crash right after it
  // finds it; a window being moved or sized, once it rests.
  connect(host, &CChatTabHost::Arranged, this, [this] { Save(true); });
  connect(host, &CChatTabHost::Moved, this, [this] {
    if (!m_bKept) m_saveSoon.start();
  });
  connect(host, &CChatTabHost::Activated, this, [this](CChatTabHost* active) { m_pLastActive = active; });
  // Told before the window goes, while it is still one: nothing here
  // reads a window that is being destroyed.
  connect(host, &CChatTabHost::Emptied, this, [this](CChatTabHost* emptied) {
    m_hosts.removeOne(emptied);
    Save(true);
  });
  return host;
}

void CChatTabHosts::Place(CChatWindowBase* chat, bool bOperatorChat, bool bAskedFor) {
  const QString key = CChatTabLayout::ChatKey(bOperatorChat, chat->Session() ? chat->Session()->Id() : QString());
  if (!m_keys.contains(chat)) Follow(chat);
  m_keys.insert(chat, key);
  m_closed.remove(key);
  const CChatTabLayout::Place place = m_remembered.Find(key);
  CChatTabHost* host = nullptr;
  int at = -1;
  bool bNew = false;
  if (place.window >= 0) {
    // Back where it was: among its window's chats that are back already,
    // after those that were before it.
    host = m_restored.value(place.window);
    if (host == nullptr) {
      host = NewHost(place.window);
      bNew = true;
    }
    const QStringList& order = m_remembered.windows[place.window];
    at = 0;
    for (CChatWindowBase* other : host->Chats()) {
      const qsizetype otherOrder = order.indexOf(m_keys.value(other));
      if (otherOrder >= 0 && otherOrder < place.order) ++at;
    }
  } else {
    host = m_pLastActive && !m_pLastActive->Chats().isEmpty() ? m_pLastActive.data() : nullptr;
    if (host == nullptr && !Hosts().isEmpty()) host = Hosts().last();
    if (host == nullptr) {
      // The first window of the session opens where the first one was.
      host = NewHost(m_restored.contains(0) ? -1 : 0);
      bNew = true;
    }
  }
  // A new window takes the place and size it had on these screens, or its
  // first chat's size, after the last window.
  const int slot = m_restored.key(host, -1);
  const bool bRestored = bNew && slot >= 0 && CWindowPlacement::Restore(host, CChatTabLayout::GeometryName(slot));
  host->Add(chat, at);
  if (bNew && !bRestored) CWindowPlacement::PlaceCascaded(host);
  host->Show(chat, bAskedFor);
  Save(true);
}

void CChatTabHosts::Follow(CChatWindowBase* chat) {
  connect(chat, &CChatWindowBase::ForwardWanted, this, [this, chat] {
    if (CChatTabHost* host = HostOf(chat)) host->Show(chat, true);
  });
  connect(chat, &CChatWindowBase::Closing, this, [this, chat] { OnClosing(chat); });
  connect(chat, &QObject::destroyed, this, [this, gone = static_cast<const QObject*>(chat)] { m_keys.remove(gone); });
  // Window-wide keys of the chat's, live while its tab is shown.
  connect(CShortcuts::Instance().AddKey(chat, QStringLiteral("MoveToNewWindow")), &QShortcut::activated, this,
          [this, chat] { MoveToNewWindow(chat); });
  connect(CShortcuts::Instance().AddKey(chat, QStringLiteral("MergeWindows")), &QShortcut::activated, this, [this, chat] {
    if (CChatTabHost* host = HostOf(chat)) Merge(host);
  });
}

void CChatTabHosts::OnClosing(CChatWindowBase* chat) {
  // The operator closed the chat (or it ended here): it is not kept for
  // the next log-in. At the session's end the layout is kept already.
  if (!m_bKept) m_closed.insert(m_keys.value(chat));
  if (CChatTabHost* host = HostOf(chat)) host->Take(chat);
}

void CChatTabHosts::OnDraggedOut(CChatWindowBase* chat, const QPoint& drop) {
  CChatTabHost* source = HostOf(chat);
  if (source == nullptr) return;
  auto* target = qobject_cast<CChatTabHost*>(QApplication::topLevelAt(drop));
  if (target != nullptr && target != source && Hosts().contains(target)) {
    source->Take(chat);
    target->Add(chat);
    target->Show(chat, true);
    return;
  }
  // Dropped anywhere else, its own window's page included: a window of its own.
  MoveToNewWindow(chat, drop);
}

void CChatTabHosts::MoveToNewWindow(CChatWindowBase* chat, std::optional<QPoint> at) {
  CChatTabHost* source = HostOf(chat);
  if (source == nullptr || source->Chats().size() < 2) return;
  const QSize size = source->size();
  source->Take(chat);
  CChatTabHost* host = NewHost();
  host->Add(chat);
  host->resize(size);
  if (at) {
    // The new window's tab row under the pointer, where the tab was
    // dropped, the whole frame on the screen.
    const QScreen* screen = QGuiApplication::screenAt(*at);
    const QMargins frame = CWindowPlacement::FrameMargins(host);
    const QRect framed = QRect(*at - QPoint(size.width() / 4, 8), size).marginsAdded(frame);
    const QRect area = screen ? screen->availableGeometry() : framed;
    host->move(CWindowPlacement::ClampTo(framed, area, framed.size()).marginsRemoved(frame).topLeft());
  } else {
    CWindowPlacement::PlaceCascaded(host);
  }
  host->Show(chat, true);
}

void CChatTabHosts::Merge(CChatTabHost* into) {
  if (into == nullptr) return;
  for (CChatTabHost* other : Hosts()) {
    if (other == into) continue;
    for (CChatWindowBase* chat : other->Chats()) {
      other->Take(chat);
      into->Add(chat);
    }
  }
  if (CChatWindowBase* shown = into->Current()) into->Show(shown, true);
}

QList<QWidget*> CChatTabHosts::Arrange(const QList<QWidget*>& open) const {
  QList<QWidget*> arranged;
  for (CChatTabHost* host : Hosts())
    for (CChatWindowBase* chat : host->Chats())
      if (open.contains(chat)) arranged << chat;
  for (QWidget* window : open)
    if (!arranged.contains(window)) arranged << window;
  return arranged;
}

void CChatTabHosts::FollowPreference(bool bOn) {
  if (m_bKept) return;
  if (bOn) {
    // The chats in windows of their own come into one tabbed window, in
    // the order they opened; none takes the keyboard.
    for (const CChatList::Kind kind : {CChatList::Kind::Visitor, CChatList::Kind::Operator})
      for (const QString& id : m_chats.Ids(kind))
        if (auto* chat = qobject_cast<CChatWindowBase*>(m_chats.View(id, kind)); chat && chat->IsOpen() && !HostOf(chat))
          Place(chat, kind == CChatList::Kind::Operator, false);
    return;
  }
  // Every chat out into a window of its own, cascaded, the shown ones last
  // so that they stay in front.
  for (CChatTabHost* host : Hosts()) {
    CChatWindowBase* shown = host->Current();
    QList<CChatWindowBase*> chats = host->Chats();
    chats.removeOne(shown);
    chats << shown;
    for (CChatWindowBase* chat : chats) {
      host->Take(chat);
      chat->BecomeWindow();
      CWindowPlacement::PlaceCascaded(chat);
      CWindowArrival::ShowQuietly(chat);
    }
  }
  Save(false);
}

QList<CChatTabHosts::Slot> CChatTabHosts::Slots(bool bKeepAbsent) const {
  QSet<QString> present;
  for (CChatTabHost* host : Hosts())
    for (CChatWindowBase* chat : host->Chats()) present.insert(m_keys.value(chat));
  const auto absent = [&](const QString& key) { return bKeepAbsent && !present.contains(key) && !m_closed.contains(key); };
  const auto chatsOf = [this](const CChatTabHost* host) {
    QStringList chats;
    for (CChatWindowBase* chat : host->Chats()) chats << m_keys.value(chat);
    return chats;
  };
  QList<Slot> kept;
  // The windows read at the start first, in their order, with their chats
  // that have not come back yet; then the windows opened since.
  for (int r = 0; r < m_remembered.windows.size(); ++r) {
    Slot slot{{}, m_restored.value(r), r};
    if (slot.host && !Hosts().contains(slot.host)) slot.host = nullptr;
    if (slot.host) slot.chats = chatsOf(slot.host);
    for (const QString& key : m_remembered.windows[r])
      if (absent(key)) slot.chats << key;
    kept << slot;
  }
  for (CChatTabHost* host : Hosts()) {
    const bool placed = std::any_of(kept.cbegin(), kept.cend(), [host](const Slot& slot) { return slot.host == host; });
    if (!placed) kept << Slot{chatsOf(host), host, -1};
  }
  return kept;
}

void CChatTabHosts::Save(bool bKeepAbsent) {
  if (m_bKept) return;
  CChatTabLayout layout;
  CSettingsStore store;
  for (const Slot& slot : Slots(bKeepAbsent)) {
    if (slot.chats.isEmpty()) continue;
    const QString name = CChatTabLayout::GeometryName(int(layout.windows.size()));
    // A window not shown yet has no place of its own to keep; one read at
    // the start and not back yet keeps its place under its new number.
    if (slot.host && slot.host->isVisible()) {
      CWindowPlacement::Save(slot.host, name);
    } else if (const std::optional<QString> kept =
                   store.ReadText(CWindowPlacement::kKey, CChatTabLayout::GeometryName(slot.remembered));
               kept && slot.remembered >= 0) {
      store.WriteText(CWindowPlacement::kKey, name, *kept);
    }
    layout.windows << slot.chats;
  }
  layout.Save();
}

void CChatTabHosts::Keep() {
  if (m_bKept) return;
  m_saveSoon.stop();
  // Only the chats open now: one that did not come back this time is let go.
  Save(false);
  m_bKept = true;
}
