#include "Alerts.h"

#include "ChatWindowBase.h"
#include "ChatWindows.h"
#include "ConsoleTray.h"
#include "DesktopServices.h"
#include "EventSound.h"
#include "OutsideText.h"
#include "PopUpDlg.h"
#include "Preferences.h"
#include "Presence.h"
#include "ResourceArt.h"
#include "ResourceIds.h"
#include "WindowArrival.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

namespace {

constexpr int kBlinkMs = 700;

QIcon RequestIcon() {
  return QIcon(ResourceArt::StripPart(ResourceArt::Pixmap(ResourceArt::BitmapPath(IDB_ROW_IMAGES)), 0, 16));
}

}  // namespace

CAlerts::CAlerts(CConsoleSession& session, QWidget* console)
    : QObject(console), m_session(session), m_pConsole(console) {
  connect(&m_blink, &QTimer::timeout, this, &CAlerts::BlinkTray);
  connect(&m_repeat, &QTimer::timeout, this, [] { PlayEventSound(EVENT_CHAT_REQUEST); });
  connect(&session, &CConsoleSession::ChatRequested, this, [this] { m_bNewVisitorRequest = m_bNewRequest = true; });
  connect(&session, &CConsoleSession::OperatorAsksForChat, this,
          [this] { m_bNewOperatorRequest = m_bNewRequest = true; });
  // One sound for any number of new visitors: each would cut the last.
  connect(&session, &CConsoleSession::RefreshArriving, this, [this] {
    m_bInRefresh = true;
    m_rungInRefresh = 0;
  });
  connect(&session, &CConsoleSession::VisitorsArrived, this, [this] { Ring(ServiceSound::NewVisitor); });
  connect(&session, &CConsoleSession::TransferOffered, this, [this] { Ring(ServiceSound::ChatTransfer); });
  connect(&session, &CConsoleSession::Refreshed, this, &CAlerts::OnRefreshed);
  connect(&session, &CConsoleSession::ChatTakenElsewhere, this, &CAlerts::Withdraw);
  connect(&session, &CConsoleSession::SessionEnded, this, &CAlerts::CloseNotices);
  connect(&session.Presence(), &CPresence::Changed, this, &CAlerts::UpdateTray);
  connect(&session, &CConsoleSession::ConnectionLost, this, &CAlerts::UpdateTray);
  connect(&session, &CConsoleSession::ConnectionBack, this, &CAlerts::UpdateTray);
}

CAlerts::~CAlerts() { CloseNotices(); }

bool CAlerts::IsConsoleVisible() const { return m_pConsole && m_pConsole->isVisible() && !m_pConsole->isMinimized(); }

bool CAlerts::IsOnline() const { return m_session.Presence().IsOnline(); }

void CAlerts::RequestFailed() { PlayEventSound(EVENT_CONNECTION_FAILURE); }

void CAlerts::Watch(CChatWindows& windows) {
  // The chats say what the service rang for, their windows when a line
  // wants the operator's eye; what follows is decided here.
  connect(&windows, &CChatWindows::Opened, this, [this](CChatWindowBase* chat) {
    connect(chat->Session(), &CChatSession::SoundRung, this, &CAlerts::Ring);
    connect(chat, &CChatWindowBase::AttentionWanted, this, [this, chat] { ChatWindowWantsAttention(chat); });
  });
}

void CAlerts::ChatWindowWantsAttention(QWidget* window) {
  // A chat in a tab flashes the window that holds it.
  if (window != nullptr && !window->isActiveWindow()) CDesktopServices::Get().FlashWindow(window->window());
}

void CAlerts::OnRefreshed(const RefreshReply& reply) {
  FollowWaitingRequests(reply);
  if (reply.wellFormed) WithdrawNotices();
  // Which requests are new, and the notices for them while the console is
  // hidden, before the request's sound brings it forward.
  NoticeRequestsWhileHidden(reply);
  // A new chat request while the operator looks at the operators: back to
  // the visitors; the next refresh fills them. Once per new request: a
  // click on Operators while it waits stays.
  const bool backToVisitors = m_session.CurrentView() == CConsoleSession::View::Operators && reply.anyChatRequest &&
                              IsConsoleVisible() && m_bNewVisitorRequest;
  // A chat's new line rings from the chat, never from the table.
  if (reply.sound != ServiceSound::NewChatLine) Ring(reply.sound);
  if (backToVisitors) {
    PlayEventSound(EVENT_CHAT_REQUEST);
    m_session.SetView(CConsoleSession::View::AllVisitors);
  } else {
    OperatorRequestAlerts(reply);
  }
  m_bNewVisitorRequest = m_bNewOperatorRequest = false;
  m_bInRefresh = false;
}

void CAlerts::Ring(ServiceSound sound) {
  const unsigned bit = 1u << unsigned(sound);
  if (sound == ServiceSound::None || (m_bInRefresh && (m_rungInRefresh & bit) != 0)) return;
  if (m_bInRefresh) m_rungInRefresh |= bit;
  // A chat request and the busy sound ring only while the operator is
  // online; a new chat request also brings the console forward, without
  // the keyboard.
  const bool online = IsOnline();
  if (online && sound == ServiceSound::ChatRequest) {
    PlayEventSound(EVENT_CHAT_REQUEST);
    // A request that rings while the console is hidden shows the visitors
    // when it comes forward.
    if (!IsConsoleVisible() && m_session.CurrentView() == CConsoleSession::View::Operators && m_bNewVisitorRequest)
      m_session.SetView(CConsoleSession::View::AllVisitors);
    // The service rings on every refresh while a request waits; the console
    // comes forward once for each new one, not at every ring.
    if (m_bNewRequest) BringConsoleForward();
    m_bNewRequest = false;
  } else if (online && sound == ServiceSound::ChatRequestBusy) {
    PlayEventSound(EVENT_CHAT_REQUEST_BUSY);
  } else if (sound == ServiceSound::Message) {
    PlayEventSound(EVENT_MESSAGE_FROM_CSR);
  } else if (sound == ServiceSound::NewVisitor) {
    PlayEventSound(EVENT_NEW_VISITOR);
  } else if (sound == ServiceSound::ChatTransfer) {
    PlayEventSound(EVENT_CHAT_TRANSFER);
  } else if (sound == ServiceSound::NewChatLine) {
    PlayEventSound(EVENT_NEW_CHAT_LINE);
  }
}

void CAlerts::BringConsoleForward() {
  if (!m_pConsole) return;
  // Out of the tray or the task bar without the keyboard, which stays with
  // whatever window the operator is typing in; over another window of the
  // program only when none of them is in use.
  QWidget* active = QApplication::activeWindow();
  const bool busyElsewhere = active != nullptr && active != m_pConsole;
  if (!IsConsoleVisible()) CWindowArrival::ShowQuietly(m_pConsole);
  if (!busyElsewhere) m_pConsole->raise();
  if (!m_pConsole->isActiveWindow()) CDesktopServices::Get().FlashWindow(m_pConsole);
}

void CAlerts::FollowWaitingRequests(const RefreshReply& reply) {
  const bool waiting = reply.anyChatRequest || reply.anyOperatorRequest;
  // Repeated until the request is taken, if the operator asked for it.
  if (waiting && IsOnline() && CPreferences::Instance().RepeatRequestSound()) {
    if (!m_repeat.isActive()) m_repeat.start(kRepeatMs);
  } else {
    m_repeat.stop();
  }
  // The tray blinks while a request waits and the console is out of sight.
  if (waiting && !CWindowArrival::IsInSight(m_pConsole)) {
    if (!m_blink.isActive()) m_blink.start(kBlinkMs);
  } else if (m_blink.isActive()) {
    m_blink.stop();
    m_bRequestIconShown = false;
  }
  UpdateTray();
}

void CAlerts::UpdateTray() {
  if (m_bRequestIconShown) return;  // blinking: the next blink shows the rest
  const int waiting = int(m_session.WaitingRequests().size());
  CDesktopServices& desktop = CDesktopServices::Get();
  desktop.SetTrayIcon(CConsoleTray::Picture(IsOnline(), waiting));
  desktop.SetTrayToolTip(CConsoleTray::ToolTip(IsOnline(), waiting, m_session.IsConnectionAlert()));
}

void CAlerts::NoticeRequestsWhileHidden(const RefreshReply& reply) {
  const bool consoleInFront = m_pConsole && m_pConsole->isActiveWindow();
  // Where the program cannot tell a put-away console, a request shows its
  // notice and notification unless the console has the keyboard.
  if (!IsOnline() || CWindowArrival::IsInSight(m_pConsole) || consoleInFront) return;
  const auto taken = [this](const QString& chatId) { return m_taken.contains(chatId) || m_session.Chats().Contains(chatId); };
  for (const CSiteVisitor& row : reply.rows) {
    const VisitorLine& line = row.m_line;
    if (line.IsChatRequest() && !taken(line.sessionId))
      Notice(line.sessionId, line.name.isEmpty() ? line.ip : line.name, line.page, false);
  }
  for (const OperatorEntry& entry : reply.operators) {
    if (!entry.AsksForChat() || taken(entry.chatId)) continue;
    if (!m_noticed.contains(entry.chatId)) PlayEventSound(EVENT_CHAT_REQUEST);
    Notice(entry.chatId, entry.name, QString(), true);
  }
}

void CAlerts::WithdrawNotices() {
  m_taken.intersect(m_session.WaitingRequests());
  const QStringList noticed = m_noticed.keys();
  for (const QString& chatId : noticed)
    if (!m_session.WaitingRequests().contains(chatId)) Withdraw(chatId);
}

void CAlerts::Withdraw(const QString& chatId) {
  const auto it = m_noticed.find(chatId);
  if (it == m_noticed.end()) return;
  const QPointer<CPopUpDlg> notice = it->notice;
  m_noticed.erase(it);
  CDesktopServices::Get().Withdraw(chatId);
  if (notice) notice->close();
}

void CAlerts::OperatorRequestAlerts(const RefreshReply& reply) {
  bool asked = false;
  for (const OperatorEntry& entry : reply.operators) asked = asked || entry.AsksForChat();
  if (!asked) return;
  // The view changes, and the console comes forward, once per new request:
  // a view the operator chose while it waits stays.
  const bool fresh = m_bNewOperatorRequest;
  const bool visible = IsConsoleVisible();
  if (m_session.CurrentView() == CConsoleSession::View::Operators) {
    PlayEventSound(EVENT_CHAT_REQUEST);
    if (fresh && !visible) BringConsoleForward();
  } else if (!visible) {
    PlayEventSound(EVENT_CHAT_REQUEST);
    if (!fresh) return;
    BringConsoleForward();
    m_session.SetView(CConsoleSession::View::Operators);
  } else if (!reply.anyChatRequest && fresh) {
    m_session.SetView(CConsoleSession::View::Operators);
  }
}

void CAlerts::Notice(const QString& chatId, const QString& who, const QString& page, bool bOperator) {
  // The notification's body: the same fields as the notice shows them.
  const QString text = page.isEmpty() ? DisplayedField(who) : DisplayedField(who) + u'\n' + DisplayedField(page);
  const auto noticed = m_noticed.constFind(chatId);
  // One notice and one notification per request: seen again, it is
  // replaced where something changed, never shown twice.
  if (noticed != m_noticed.constEnd() && noticed->text == text) return;
  // Both the notice and the notification act on the chat they were made
  // for, whatever the table shows by the time of the click; either one
  // taken, both go.
  auto accept = [self = QPointer<CAlerts>(this), chatId, bOperator] {
    if (!self) return;
    self->Withdraw(chatId);
    self->m_taken.insert(chatId);
    if (bOperator)
      emit self->AcceptOperatorChat(chatId);
    else
      emit self->AcceptVisitorChat(chatId);
  };
  QPointer<CPopUpDlg> notice = noticed != m_noticed.constEnd() ? noticed->notice : nullptr;
  // Where the compositor places windows (Wayland) the notice would land
  // anywhere and take the keyboard: the desktop notification, placed and
  // kept quiet by its daemon, stands alone there when the desktop has one.
  CDesktopServices& desktop = CDesktopServices::Get();
  const bool cornerNotice = CWindowArrival::PlacesWindows() || !desktop.HasNotifications();
  if (!notice && cornerNotice) {
    QList<QRect> shown;
    for (const CPopUpDlg* open : OpenNotices())
      if (open->isVisible()) shown.append(open->frameGeometry());
    notice = new CPopUpDlg(who, bOperator, accept, shown);
    notice->show();
  }
  m_noticed.insert(chatId, {notice, text});
  const QString title = bOperator ? QStringLiteral("Chat Request from Operator") : QStringLiteral("Chat Request");
  desktop.Notify(chatId, title, text, accept);
}

QList<CPopUpDlg*> CAlerts::OpenNotices() const {
  QList<CPopUpDlg*> open;
  for (const Noticed& noticed : m_noticed)
    if (noticed.notice) open.append(noticed.notice);
  return open;
}

void CAlerts::CloseNotices() {
  m_blink.stop();
  m_repeat.stop();
  const QStringList noticed = m_noticed.keys();
  for (const QString& chatId : noticed) Withdraw(chatId);
}

void CAlerts::BlinkTray() {
  m_bRequestIconShown = !m_bRequestIconShown;
  if (m_bRequestIconShown)
    CDesktopServices::Get().SetTrayIcon(RequestIcon());
  else
    UpdateTray();
}
