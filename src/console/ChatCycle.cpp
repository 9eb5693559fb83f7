#include "ChatCycle.h"

#include "ChatList.h"
#include "ChatWindowBase.h"
#include "ChatWindows.h"
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
  // A closed chat window hides at once and is deleted a moment later.
  for (QObject* view : m_chats.Views())
    if (auto* window = qobject_cast<QWidget*>(view); window && window->isVisible()) open.append(window);
  return open;
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
  // boxes and the transcript take neither Ctrl+Tab nor Ctrl+digit for
  // themselves.
  const auto key = [this, window](const QKeySequence& sequence, auto&& action) {
    auto* shortcut = new QShortcut(sequence, window);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, action);
  };
  key(QKeySequence(Qt::CTRL | Qt::Key_Tab), [this, window] { Bring(Neighbour(window, 1)); });
  // Shift+Tab arrives as Backtab where the keyboard map has that key at the
  // shift level, and as Tab with Shift elsewhere.
  for (const Qt::Key tab : {Qt::Key_Backtab, Qt::Key_Tab})
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | tab), [this, window] { Bring(Neighbour(window, -1)); });
  for (int n = 1; n <= 9; ++n) {
    key(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + n)), [this, n] {
      const QList<QWidget*> open = Windows();
      if (n <= open.size()) Bring(open[n - 1]);
    });
  }
  if (window != m_pConsole) key(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { Bring(m_pConsole); });
}
