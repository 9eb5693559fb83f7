#include "ChatWindows.h"

#include "ChatWindowBase.h"
#include "WindowArrival.h"
#include "WindowPlacement.h"

CChatWindows::CChatWindows(CChatRegistry& registry, CChatRegistry::Kind kind, QObject* parent)
    : QObject(parent), m_registry(registry), m_kind(kind) {
  connect(&registry, &CChatRegistry::CloseRequested, this, &CChatWindows::CloseAll);
}

QWidget* CChatWindows::Find(const QString& chatId) const {
  QWidget* window = m_windows.value(chatId).data();
  // A closed window waits for its deletion; for the console it is gone.
  return window != nullptr && window->isVisible() ? window : nullptr;
}

bool CChatWindows::Raise(const QString& chatId, Arrival arrival) const {
  QWidget* open = Find(chatId);
  if (open == nullptr) return false;
  auto* chat = qobject_cast<CChatWindowBase*>(open);
  if (chat && arrival == Arrival::ByOperator)
    chat->BringForward();
  else
    CWindowArrival::Show(open, arrival == Arrival::ByOperator);
  return true;
}

QWidget* CChatWindows::Open(const QString& chatId, const Factory& make, Arrival arrival) {
  if (Raise(chatId, arrival)) return Find(chatId);
  Unlink(chatId, m_windows.value(chatId).data());
  QWidget* window = make();
  if (window == nullptr) return nullptr;
  m_windows.insert(chatId, window);
  m_registry.Add(chatId, m_kind, window);
  connect(window, &QObject::destroyed, this, [this, chatId, window] { Unlink(chatId, window); });
  emit Opened(window);
  CWindowPlacement::PlaceCascaded(window);
  CWindowArrival::Show(window, arrival == Arrival::ByOperator);
  return window;
}

void CChatWindows::Unlink(const QString& chatId, QWidget* window) {
  const auto it = m_windows.find(chatId);
  // A newer window of the same chat stays.
  if (it != m_windows.end() && (it->isNull() || it->data() == window)) m_windows.erase(it);
  m_registry.Remove(chatId, window);
}

void CChatWindows::CatchUp() {
  // Each poll reply may reach back into this list: work on a copy.
  const QList<QPointer<QWidget>> windows = m_windows.values();
  for (const QPointer<QWidget>& window : windows)
    if (auto* chat = qobject_cast<CChatWindowBase*>(window.data())) chat->CatchUp();
}

void CChatWindows::CloseAll() {
  // Closing runs the windows' own handlers, which may reach back into this
  // list: work on a copy.
  const QList<QPointer<QWidget>> windows = m_windows.values();
  for (auto it = m_windows.cbegin(); it != m_windows.cend(); ++it) m_registry.Remove(it.key(), it->data());
  m_windows.clear();
  for (const QPointer<QWidget>& window : windows) {
    if (window.isNull()) continue;
    // A chat window closes by its own slot, which tells the service nothing.
    if (!QMetaObject::invokeMethod(window, "CloseChatWindow", Qt::DirectConnection)) window->close();
    if (!window.isNull()) window->deleteLater();
  }
}
