#include "OpenChatsQuestion.h"

#include "ChatList.h"
#include "DesktopServices.h"
#include "VisitorChatSession.h"

#include <QDeadlineTimer>
#include <QPointer>

namespace {

QList<QPointer<CVisitorChatSession>> LiveVisitorChats(const CChatList& chats) {
  QList<QPointer<CVisitorChatSession>> live;
  for (CChatSession* chat : chats.Sessions())
    if (auto* visitorChat = qobject_cast<CVisitorChatSession*>(chat); visitorChat && visitorChat->IsLive())
      live.append(visitorChat);
  return live;
}

}  // namespace

bool SettleOpenChats(QWidget* console, const CChatList& chats, int waitMs) {
  const qsizetype count = LiveVisitorChats(chats).size();
  if (count == 0) return true;
  const QString text =
      count == 1 ? QStringLiteral("A chat is still open. End it before the console closes?\n\nYes ends it, as Close "
                                  "Chat does. No leaves it open at the service, with the visitor waiting. Cancel keeps "
                                  "the console open.")
                 : QStringLiteral("%1 chats are still open. End them before the console closes?\n\nYes ends them, as "
                                  "Close Chat does. No leaves them open at the service, with the visitors waiting. "
                                  "Cancel keeps the console open.")
                       .arg(count);
  const CDesktopServices::Answer answer = CDesktopServices::Get().MessageBox(
      console, text, QStringLiteral("Talvero"), CDesktopServices::Icon::Question,
      CDesktopServices::Buttons::YesNoCancel);
  if (answer == CDesktopServices::Answer::Cancel) return false;
  if (answer != CDesktopServices::Answer::Yes) return true;
  // The box ran the event loop, where a chat may have ended or closed: the
  // chats are looked at again. The session ends right after: each request
  // is awaited, within one time for all, so a dead service holds the
  // operator no longer.
  const QDeadlineTimer deadline(waitMs);
  for (const QPointer<CVisitorChatSession>& chat : LiveVisitorChats(chats)) {
    const qint64 left = deadline.remainingTime();
    if (left <= 0) break;
    if (chat) chat->EndNow(int(left));
  }
  return true;
}
