#include "Alerts.h"

#include "AppIdentity.h"
#include "DesktopServices.h"
#include "EventSound.h"
#include "PopUpDlg.h"
#include "Preferences.h"
#include "RefreshReply.h"
#include "WindowArrival.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

namespace {

constexpr int kBlinkMs = 700;

QIcon RequestIcon() { return QIcon(QPixmap(QStringLiteral(":/bitmaps/170.png")).copy(0, 0, 16, 16)); }

}  // namespace

CAlerts::CAlerts(QWidget* console) : QObject(console), m_pConsole(console) {
  connect(&m_blink, &QTimer::timeout, this, &CAlerts::BlinkTray);
  connect(&m_repeat, &QTimer::timeout, this, [] { PlayEventSound(EVENT_CHAT_REQUEST); });
}

CAlerts::~CAlerts() { CloseNotices(); }

bool CAlerts::IsConsoleVisible() const { return m_pConsole && m_pConsole->isVisible() && !m_pConsole->isMinimized(); }

void CAlerts::HandleSoundName(const QString& name, bool bOnline) {
  if (name.isEmpty()) return;
  if (bOnline && name == QStringLiteral("sound1")) {
    PlayEventSound(EVENT_CHAT_REQUEST);
    if (!IsConsoleVisible()) emit ChatRequestWhileHidden();
    // The service rings on every refresh while a request waits; the console
    // comes forward once for each new one, not at every ring.
    if (m_bNewRequest) BringConsoleForward();
    m_bNewRequest = false;
  } else if (bOnline && name == QStringLiteral("sound2")) {
    PlayEventSound(EVENT_CHAT_REQUEST_BUSY);
  } else if (name == QStringLiteral("sound3")) {
    PlayEventSound(EVENT_MESSAGE_FROM_CSR);
  } else if (name == QStringLiteral("NewVisitor")) {
    PlayEventSound(EVENT_NEW_VISITOR);
  } else if (name == QStringLiteral("chat_tran_snd")) {
    PlayEventSound(EVENT_CHAT_TRANSFER);
  }
}

void CAlerts::NewVisitorsSeen() { PlayEventSound(EVENT_NEW_VISITOR); }

void CAlerts::ChatRequestInOperatorsView() { PlayEventSound(EVENT_CHAT_REQUEST); }

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

void CAlerts::ChatRequestsSeen(const RefreshReply& reply, bool bOnline) {
  const bool waiting = reply.anyChatRequest || reply.anyOperatorRequest;
  NoteWaitingRequests(reply);
  // Repeated until the request is taken, if the operator asked for it.
  if (waiting && bOnline && CPreferences::Instance().RepeatRequestSound()) {
    if (!m_repeat.isActive()) m_repeat.start(kRepeatMs);
  } else {
    m_repeat.stop();
  }
  // The tray blinks while a request waits and the console is out of sight.
  if (waiting && !IsConsoleVisible()) {
    if (!m_blink.isActive()) m_blink.start(kBlinkMs);
  } else if (m_blink.isActive()) {
    m_blink.stop();
    m_bRequestIconShown = false;
    CDesktopServices::Get().SetTrayIcon(AppIcon());
  }
  const bool consoleInFront = m_pConsole && m_pConsole->isActiveWindow();
  if (!bOnline || IsConsoleVisible() || consoleInFront) return;
  for (const CSiteVisitor& row : reply.rows) {
    const VisitorLine& line = row.m_line;
    if (line.status != QStringLiteral("Chat Request") || line.sessionId == m_strLastNoticeId) continue;
    m_strLastNoticeId = line.sessionId;
    Notice(line.ip, line.sessionId, false);
  }
  for (const OperatorEntry& entry : reply.operators) {
    if (entry.chatId.isEmpty() || entry.chatState != QStringLiteral("op_chat") || entry.chatId == m_strLastNoticeId)
      continue;
    m_strLastNoticeId = entry.chatId;
    PlayEventSound(EVENT_CHAT_REQUEST);
    Notice(entry.name, entry.chatId, true);
  }
}

void CAlerts::NoteWaitingRequests(const RefreshReply& reply) {
  m_bNewVisitorRequest = m_bNewOperatorRequest = false;
  // A failed refresh says nothing about the requests: those waiting before
  // are not new again at the next good one.
  if (!reply.wellFormed) return;
  QSet<QString> waiting;
  for (const CSiteVisitor& row : reply.rows) {
    const VisitorLine& line = row.m_line;
    if (line.status != QStringLiteral("Chat Request")) continue;
    waiting.insert(line.sessionId);
    if (!m_waitingRequests.contains(line.sessionId)) m_bNewVisitorRequest = true;
  }
  for (const OperatorEntry& entry : reply.operators) {
    if (entry.chatId.isEmpty() || entry.chatState != QStringLiteral("op_chat")) continue;
    waiting.insert(entry.chatId);
    if (!m_waitingRequests.contains(entry.chatId)) m_bNewOperatorRequest = true;
  }
  if (m_bNewVisitorRequest || m_bNewOperatorRequest) m_bNewRequest = true;
  m_waitingRequests = std::move(waiting);
}

void CAlerts::Notice(const QString& text, const QString& chatId, bool bOperator) {
  // Both the notice and the notification act on the chat they were made
  // for, whatever the table shows by the time of the click.
  auto accept = [this, chatId, bOperator] {
    if (bOperator)
      emit AcceptOperatorChat(chatId);
    else
      emit AcceptVisitorChat(chatId);
  };
  auto* notice = new CPopUpDlg(text, bOperator, accept);
  m_notices.append(notice);
  notice->show();
  const QString title = bOperator ? QStringLiteral("Chat Request from Operator") : QStringLiteral("Chat Request");
  CDesktopServices::Get().Notify(title, text, [self = QPointer<CAlerts>(this), accept] {
    if (self) accept();
  });
}

QList<CPopUpDlg*> CAlerts::OpenNotices() const {
  QList<CPopUpDlg*> open;
  for (const QPointer<CPopUpDlg>& notice : m_notices)
    if (notice) open.append(notice);
  return open;
}

void CAlerts::CloseNotices() {
  m_blink.stop();
  m_repeat.stop();
  const QList<QPointer<CPopUpDlg>> notices = m_notices;
  m_notices.clear();
  for (const QPointer<CPopUpDlg>& notice : notices)
    if (notice) notice->close();
}

void CAlerts::BlinkTray() {
  m_bRequestIconShown = !m_bRequestIconShown;
  CDesktopServices::Get().SetTrayIcon(m_bRequestIconShown ? RequestIcon() : AppIcon());
}
