#include "ChatTabHost.h"

#include "AppIdentity.h"
#include "ChatSession.h"
#include "ChatTabBar.h"
#include "ChatWindowBase.h"
#include "MySpellEditCtrl.h"
#include "Shortcuts.h"
#include "ThemeColours.h"
#include "WindowArrival.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

// The tab of a chat waiting for an answer: this red where it reads, with
// the waiting sign beside it for those who do not see the colour.
const QColor kWaitingColour(176, 0, 32);

}  // namespace

CChatTabHost::CChatTabHost() : QWidget(nullptr, Qt::Window) {
  setWindowIcon(AppIcon());
  m_pTabs = new CChatTabBar(this);
  m_pTabs->setFocusPolicy(Qt::NoFocus);  // the keyboard stays in the chat; Ctrl+Tab moves between chats
  m_pPages = new QStackedWidget(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(m_pTabs);
  layout->addWidget(m_pPages, 1);
  connect(m_pTabs, &QTabBar::currentChanged, this, &CChatTabHost::OnCurrentChanged);
  connect(m_pTabs, &QTabBar::tabMoved, this, &CChatTabHost::Arranged);
  connect(m_pTabs, &CChatTabBar::DraggedOut, this, [this](QWidget* page, const QPoint& drop) {
    if (auto* chat = qobject_cast<CChatWindowBase*>(page)) emit DraggedOut(chat, drop);
  });
  ThemeColours::FollowPalette(this, [this] {
    for (CChatWindowBase* chat : Chats()) ShowMarks(chat);
  });
}

CChatTabHost::~CChatTabHost() {
  // Their ends must not reach this window's own parts, gone by then.
  for (CChatWindowBase* chat : Chats()) disconnect(chat, nullptr, this, nullptr);
}

void CChatTabHost::Add(CChatWindowBase* chat, int at) {
  if (Holds(chat)) return;
  // A window not sized yet takes its first chat's size.
  if (m_pPages->count() == 0 && !testAttribute(Qt::WA_Resized))
    resize(chat->size() + QSize(0, m_pTabs->sizeHint().height()));
  chat->setParent(m_pPages);  // a child now: its own frame and title go
  m_pPages->addWidget(chat);
  if (at < 0 || at > m_pTabs->count()) at = m_pTabs->count();
  // The shown tab stays shown: inserting before it must not change the page.
  const QSignalBlocker quiet(m_pTabs);
  QWidget* shown = m_pPages->currentWidget();
  const int index = m_pTabs->insertTab(at, QString());
  m_pTabs->SetPage(index, chat);
  if (shown == nullptr || shown == chat) {
    m_pTabs->setCurrentIndex(index);
    m_pPages->setCurrentWidget(chat);
  } else {
    m_pTabs->setCurrentIndex(m_pTabs->IndexOf(shown));
  }
  Follow(chat);
  // A chat deleted while in its tab (not closed) takes its tab with it.
  // (Only its address is used: the object is not a chat any more.)
  connect(chat, &QObject::destroyed, this, [this, chat, gone = static_cast<const QObject*>(chat)] {
    m_marks.remove(chat);
    if (const int index = m_pTabs->IndexOf(gone); index >= 0) m_pTabs->removeTab(index);
    CloseIfEmpty();
  });
  m_marks.insert(chat, CChatTabMarks());
  if (CChatSession* session = chat->Session()) OnLines(chat, session->Lines());
  ShowMarks(chat);
  ShowTitle();
  emit Arranged();
}

void CChatTabHost::Follow(CChatWindowBase* chat) {
  chat->installEventFilter(this);  // its title: the tab's name
  CChatSession* session = chat->Session();
  if (session == nullptr) return;
  // Everything from the chat goes when it leaves this window (Take).
  connect(session, &CChatSession::LinesArrived, this,
          [this, chat](const QList<TranscriptLine>& lines) { OnLines(chat, lines); });
  connect(session, &CChatSession::TypingChanged, this, [this, chat](const QString& typist) {
    m_marks[chat].SetTyping(!typist.isEmpty());
    ShowMarks(chat);
  });
  connect(session, &CChatSession::Ended, this, [this, chat](CChatSession::EndReason reason, const QString& other) {
    const bool transferred = reason == CChatSession::EndReason::Transferred;
    m_marks[chat].SetEnded(transferred ? CChatTabMarks::End::Transferred : CChatTabMarks::End::Ended, other);
    ShowMarks(chat);
  });
}

void CChatTabHost::Take(CChatWindowBase* chat) {
  const int index = m_pTabs->IndexOf(chat);
  if (index < 0) return;
  chat->removeEventFilter(this);
  disconnect(chat, nullptr, this, nullptr);
  if (CChatSession* session = chat->Session()) disconnect(session, nullptr, this, nullptr);
  m_marks.remove(chat);
  m_pPages->removeWidget(chat);
  chat->hide();
  chat->setParent(nullptr);
  m_pTabs->removeTab(index);  // the page shown next follows the tab row's choice
  emit Arranged();
  CloseIfEmpty();
}

void CChatTabHost::CloseIfEmpty() {
  if (m_pTabs->count() > 0) return;
  hide();
  emit Emptied(this);
  deleteLater();
}

bool CChatTabHost::Holds(const CChatWindowBase* chat) const { return m_pTabs->IndexOf(chat) >= 0; }

void CChatTabHost::Show(CChatWindowBase* chat, bool bAskedFor) {
  const int index = m_pTabs->IndexOf(chat);
  if (index < 0) return;
  if (bAskedFor) {
    m_pTabs->setCurrentIndex(index);
    CWindowArrival::ShowInFront(this);
    if (chat->EntryBox()) chat->EntryBox()->setFocus(Qt::ActiveWindowFocusReason);
  } else {
    CWindowArrival::ShowQuietly(this);
  }
}

QList<CChatWindowBase*> CChatTabHost::Chats() const {
  QList<CChatWindowBase*> chats;
  for (int i = 0; i < m_pTabs->count(); ++i)
    if (auto* chat = qobject_cast<CChatWindowBase*>(m_pTabs->Page(i))) chats << chat;
  return chats;
}

CChatWindowBase* CChatTabHost::Current() const { return qobject_cast<CChatWindowBase*>(m_pPages->currentWidget()); }

int CChatTabHost::UnreadElsewhere() const {
  int unread = 0;
  for (auto it = m_marks.cbegin(); it != m_marks.cend(); ++it)
    if (it.key() != Current()) unread += it.value().Unread();
  return unread;
}

bool CChatTabHost::IsShownToOperator(const CChatWindowBase* chat) const {
  return chat == Current() && isActiveWindow() && !isMinimized();
}

void CChatTabHost::OnLines(CChatWindowBase* chat, const QList<TranscriptLine>& lines) {
  CChatTabMarks& marks = m_marks[chat];
  for (const TranscriptLine& line : lines) {
    if (line.speaker == TranscriptLine::Speaker::Other) marks.OtherLine(IsShownToOperator(chat));
    if (line.speaker == TranscriptLine::Speaker::Own) marks.OwnLine();
  }
  ShowMarks(chat);
  ShowTitle();
}

void CChatTabHost::OnCurrentChanged(int index) {
  auto* chat = qobject_cast<CChatWindowBase*>(m_pTabs->Page(index));
  if (chat == nullptr) return;
  m_pPages->setCurrentWidget(chat);
  MarkShownSeen();
  // The operator turned to this chat, or the one shown went: the keyboard
  // goes to its entry box, now or when the window next has it (a question
  // may be in front), never to whatever control comes first.
  if (chat->EntryBox()) chat->EntryBox()->setFocus(Qt::TabFocusReason);
  ShowTitle();
}

void CChatTabHost::MarkShownSeen() {
  CChatWindowBase* chat = Current();
  if (chat == nullptr || !IsShownToOperator(chat)) return;
  m_marks[chat].Seen();
  ShowMarks(chat);
  ShowTitle();
}

void CChatTabHost::ShowMarks(CChatWindowBase* chat) {
  const int index = m_pTabs->IndexOf(chat);
  if (index < 0) return;
  const CChatTabMarks marks = m_marks.value(chat);
  const QString name = chat->PartnerName();
  m_pTabs->setTabText(index, marks.Label(name).replace(u'&', QStringLiteral("&&")));
  m_pTabs->setTabToolTip(index, chat->windowTitle());
  m_pTabs->setAccessibleTabName(index, marks.AccessibleName(name));
  const QPalette palette = ThemeColours::InheritedPalette(m_pTabs);
  m_pTabs->setTabTextColor(index, marks.IsWaiting() ? ThemeColours::Readable(kWaitingColour, palette.window().color(), palette)
                                                    : QColor());
}

void CChatTabHost::ShowTitle() {
  const CChatWindowBase* chat = Current();
  QString title = chat ? chat->windowTitle() : QString();
  if (const int unread = UnreadElsewhere(); unread > 0)
    title += unread == 1 ? QStringLiteral(" \u2013 1 unread line in another tab")
                         : QStringLiteral(" \u2013 %1 unread lines in other tabs").arg(unread);
  setWindowTitle(title);
}

void CChatTabHost::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
  CChatWindowBase* shown = Current();
  if (shown && shown->EntryBox() && !shown->isAncestorOf(focusWidget())) shown->EntryBox()->setFocus(Qt::ActiveWindowFocusReason);
  MarkShownSeen();
  emit Activated(this);
}

void CChatTabHost::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (isVisible()) emit Moved();
}

void CChatTabHost::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (isVisible()) emit Moved();
}

bool CChatTabHost::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::WindowTitleChange)
    if (auto* chat = qobject_cast<CChatWindowBase*>(watched); chat && Holds(chat)) {
      ShowMarks(chat);
      ShowTitle();
    }
  return QWidget::eventFilter(watched, event);
}

void CChatTabHost::closeEvent(QCloseEvent* event) {
  // Each chat asks its own question; one the operator keeps keeps the window.
  QPointer<CChatTabHost> self(this);
  QList<QPointer<CChatWindowBase>> chats;
  for (CChatWindowBase* chat : Chats()) chats << chat;
  for (const QPointer<CChatWindowBase>& chat : chats) {
    if (!self) return;
    if (chat && Holds(chat)) {
      m_pTabs->setCurrentIndex(m_pTabs->IndexOf(chat));
      chat->reject();
    }
  }
  if (self && m_pTabs->count() > 0) event->ignore();
}

void CChatTabHost::contextMenuEvent(QContextMenuEvent* event) {
  // The tab row's menu, for the tab under the pointer; the chats' own
  // controls have menus of their own.
  const int index = m_pTabs->geometry().contains(event->pos()) ? m_pTabs->tabAt(m_pTabs->mapFrom(this, event->pos())) : -1;
  if (index < 0) {
    event->ignore();
    return;
  }
  ShowMenu(index, event->globalPos());
}

void CChatTabHost::ShowMenu(int index, const QPoint& globalAt) {
  QPointer<CChatWindowBase> chat = qobject_cast<CChatWindowBase*>(m_pTabs->Page(index));
  if (!chat) return;
  QMenu menu(this);
  QAction* move = menu.addAction(QStringLiteral("Move to &New Window"));
  move->setEnabled(m_pTabs->count() > 1);
  CShortcuts::Instance().Bind(move, QStringLiteral("MoveToNewWindow"));
  QAction* merge = menu.addAction(QStringLiteral("&Merge All Windows Here"));
  CShortcuts::Instance().Bind(merge, QStringLiteral("MergeWindows"));
  menu.addSeparator();
  QAction* close = menu.addAction(QStringLiteral("&Close"));
  CShortcuts::Instance().Bind(close, QStringLiteral("CloseTab"));
  // The menu's own loop: the chat, even this window, may go meanwhile.
  QPointer<CChatTabHost> self(this);
  QAction* chosen = menu.exec(globalAt);
  if (!self || !chat || chosen == nullptr) return;
  if (chosen == move) emit MoveToNewWindowWanted(chat);
  if (chosen == merge) emit MergeWanted(this);
  if (chosen == close) chat->reject();
}
