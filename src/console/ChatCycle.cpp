#include "ChatCycle.h"

#include "ChatList.h"
#include "ChatWindowBase.h"
#include "ChatWindows.h"
#include "Shortcuts.h"
#include "WindowArrival.h"

#include <QShortcut>

CChatCycle::CChatCycle(QWidget* console, const CChatList& chats)
    : QObject(console), m_pConsole(console), m_chats(chats) {
  AddKeys(console);
}

void CChatCycle::Watch(CChatWindows& windows) {
  connect(&windows, &CChatWindows::Opened, this, &CChatCycle::AddKeys);
}

QList<QWidget*> CChatCycle::Windows() const {
  QList<QWidget*> open;
  // A closed chat window hides at once and is deleted a moment later; a
  // chat in a tab not shown is hidden but open.
  for (QObject* view : m_chats.Views())
    if (CChatWindowBase::IsOpenView(view)) open.append(qobject_cast<QWidget*>(view));
  return m_order ? m_order(open) : open;
}

QWidget* CChatCycle::Neighbour(QWidget* from, int steps) const {
  const QList<QWidget*> open = Windows();
  if (open.isEmpty()) return nullptr;
  const qsizetype at = open.indexOf(from);
  if (at < 0) return steps > 0 ? open.first() : open.last();
  const qsizetype n = open.size();
  return open[((at + steps) % n + n) % n];
}

void CChatCycle::Bring(QWidget* window) const {
  if (auto* chat = qobject_cast<CChatWindowBase*>(window))
    chat->BringForward();
  else if (window)
    CWindowArrival::ShowInFront(window);
}

void CChatCycle::AddKeys(QWidget* window) {
  // Window-wide, so they work whichever control has the keyboard; the entry
  // boxes and the transcript take none of the keys the store allows. Each
  // follows the operator's choice of key, in open windows too.
  const auto key = [this, window](const QString& command, auto&& action) {
    connect(CShortcuts::Instance().AddKey(window, command), &QShortcut::activated, this, action);
  };
  key(QStringLiteral("NextChat"), [this, window] { Bring(Neighbour(window, 1)); });
  key(QStringLiteral("PreviousChat"), [this, window] { Bring(Neighbour(window, -1)); });
  for (int n = 1; n <= 9; ++n) {
    key(CShortcuts::ChatId(n), [this, n] {
      const QList<QWidget*> open = Windows();
      if (n <= open.size()) Bring(open[n - 1]);
    });
  }
  if (window != m_pConsole) key(QStringLiteral("Console"), [this] { Bring(m_pConsole); });
}
