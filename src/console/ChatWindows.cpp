#include "ChatWindows.h"

#include "ChatTabHost.h"
#include "ChatTabHosts.h"
#include "ChatWindowBase.h"
#include "WindowArrival.h"
#include "WindowPlacement.h"

CChatWindows::CChatWindows(CChatList& chats, CChatList::Kind kind, QObject* parent)
    : QObject(parent), m_chats(chats), m_kind(kind) {
  connect(&chats, &CChatList::CloseRequested, this, &CChatWindows::CloseAll);
}

QList<QPointer<QWidget>> CChatWindows::Windows() const {
  QList<QPointer<QWidget>> windows;
  for (const QString& chatId : m_chats.Ids(m_kind))
    if (auto* window = qobject_cast<QWidget*>(m_chats.View(chatId, m_kind))) windows.append(window);
  return windows;
}

QWidget* CChatWindows::Find(const QString& chatId) const {
  auto* window = qobject_cast<QWidget*>(m_chats.View(chatId, m_kind));
  // A closed window waits for its deletion; for the console it is gone.
  // A chat in a tab not shown is open all the same.
  return CChatWindowBase::IsOpenView(window) ? window : nullptr;
}

bool CChatWindows::Raise(const QString& chatId, Arrival arrival) const {
  QWidget* open = Find(chatId);
  if (open == nullptr) return false;
  auto* chat = qobject_cast<CChatWindowBase*>(open);
  if (chat && arrival == Arrival::ByOperator)
    chat->BringForward();
  else if (CChatTabHost* host = m_pTabs ? m_pTabs->HostOf(open) : nullptr)
    host->Show(chat, false);
  else
    CWindowArrival::Show(open, arrival == Arrival::ByOperator);
  return true;
}

QWidget* CChatWindows::Open(const QString& chatId, const Factory& make, Arrival arrival) {
  if (Raise(chatId, arrival)) return Find(chatId);
  CChatWindowBase* window = make();
  if (window == nullptr || window->Session() == nullptr) return nullptr;
  // A closed window of the same chat may still wait for its deletion: this
  // one takes its place, and its going leaves this one listed.
  m_chats.Add(window->Session(), window);
  connect(window, &QObject::destroyed, this, [this, chatId, window] { m_chats.Remove(chatId, window); });
  emit Opened(window);
  // The chat starts before its window shows: the canned responses are
  // asked for while the window maps, and are there when the operator types.
  window->Session()->Start();
  if (m_pTabs && CChatTabHosts::IsOn()) {
    m_pTabs->Place(window, m_kind == CChatList::Kind::Operator, arrival == Arrival::ByOperator);
    return window;
  }
  CWindowPlacement::PlaceCascaded(window);
  CWindowArrival::Show(window, arrival == Arrival::ByOperator);
  return window;
}

void CChatWindows::CloseAll() {
  // Closing runs the windows' own handlers, which may reach back into the
  // list: work on a copy, taken out of the list first.
  const QList<QPointer<QWidget>> windows = Windows();
  // The tabs' layout is kept as it is before the chats leave it.
  if (m_pTabs) m_pTabs->Keep();
  m_chats.RemoveAll(m_kind);
  for (const QPointer<QWidget>& window : windows) {
    if (window.isNull()) continue;
    // A chat window closes by its own handler, which tells the service nothing.
    if (auto* chat = qobject_cast<CChatWindowBase*>(window.data()))
      chat->CloseChatWindow();
    else
      window->close();
    if (!window.isNull()) window->deleteLater();
  }
}

void CChatWindows::SetTabs(CChatTabHosts* tabs) { m_pTabs = tabs; }
